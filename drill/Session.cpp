#include "Session.h"

#include "Exception.h"
#include "FilterText.h"
#include "LearningRecord.h"
#include "Scoring.h"
#include "Search.h"
#include "Settings.h"
#include "Table.h"
#include "Layouts.h"

#include <QCoreApplication>

#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace field = layouts::field;

namespace drill {

Session::Session(Table& bank, Table& history, Table& advice)
    : search(&SearchQuestion), bank_(bank), history_(history), advice_(advice)
{
}

Statistics Session::Stats() const
{
    return {Sei, Ans, PercentText(Sei, Ans), PercentInteger(Sei, Ans)};
}

int Session::RightAnswer() { return bank_.FieldByName(field::Seikai).AsInteger(); }

// ---- Start ----------------------------------------------------------------------------------

bool Session::Start()
{
    // Whether a question qualifies depends on difficulties and stage markers only, never on the
    // settled counts: asked first, so that a drill that cannot happen changes nothing.
    if (!FindQuestion(bank_, DrillLevel, 0).found)
        return false;
    advice_.SetFilter(FilterText().Equals(field::Nani, -1));
    advice_.SetFiltered(true);
    ClearForStart();
    if (!ShowNextQuestion())
        return false;
    answered_ = false;
    // The filter text stays; the advice shows the table's first record.
    advice_.SetFiltered(false);
    recordSession_ = 0;
    const int level = DrillLevel;
    ToRecord([&] { recordSession_ = record_->BeginSession({record::kDrill, level, std::nullopt}); });
    return true;
}

void Session::ClearForStart()
{
    Total = 1;
    Ans = 0;
    Sei = 0;
    LKaisu = 0;
    // A drill's history holds its own answers only.
    while (!history_.Eof())
        history_.Delete();
    // Every posted record leaves the "NKaisu > 0" view, so the loop ends.
    if (ResetSettledCounts) {
        bank_.SetFilter(FilterText().Above(field::NKaisu, 0));
        bank_.SetFiltered(true);
        while (!bank_.Eof()) {
            bank_.Edit();
            bank_.FieldByName(field::NKaisu).SetAsInteger(0);
            bank_.Post();
        }
    }
}

std::string Session::TakeRecordFailure() { return std::exchange(recordFailure_, std::string()); }

template <typename F> void Session::ToRecord(F write)
{
    if (!record_)
        return;
    try {
        write();
    } catch (const std::exception& e) {
        record_ = nullptr;
        recordFailure_ = e.what();
    }
}

void Session::RecordAnswer(const std::string& bango, int answer, bool right)
{
    if (!record_ || recordSession_ == 0)
        return;
    record::Answer a;
    a.source = record::kSourceBank;
    a.bango = bango;
    a.item = 0;
    const int bunrui = bank_.FieldIndex(field::Bunrui);
    if (bunrui >= 0 && !bank_.FieldByName(field::Bunrui).IsNull())
        a.bunrui = bank_.FieldByName(field::Bunrui).AsInteger();
    a.answer = answer;
    a.correct = right;
    a.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - shownAt_).count();
    ToRecord([&] { record_->AddAnswer(recordSession_, a); });
}

bool Session::ShowNextQuestion()
{
    if (!search(bank_, DrillLevel, LKaisu))
        return false;
    // Narrow the bank to the question found.
    const std::string bango = bank_.FieldByName(field::Bango).AsString();
    bank_.SetFilter(FilterText().Equals(field::Bango, bango));
    bank_.SetFiltered(true);
    shownAt_ = std::chrono::steady_clock::now();
    return true;
}

// ---- Judge ----------------------------------------------------------------------------------

Verdict Session::Judge(int answer)
{
    bank_.Edit();
    // Everything the answer is judged on is read before anything is written.
    Counters before;
    before.kaisu = bank_.FieldByName(field::Kaisu).AsInteger();
    before.seikaisu = bank_.FieldByName(field::Seikaisu).AsInteger();
    before.nkaisu = bank_.FieldByName(field::NKaisu).AsInteger();
    before.nani = bank_.FieldByName(field::Nani).AsInteger();
    const std::string bango = bank_.FieldByName(field::Bango).AsString();
    const std::string mondai = bank_.FieldByName(field::Mondai).AsString();
    const bool right = bank_.FieldByName(field::Seikai).AsInteger() == answer;
    const Counters after = AfterAnswer(before, right);
    bank_.FieldByName(field::Kaisu).SetAsInteger(after.kaisu);
    ++Ans;

    if (right) {
        bank_.FieldByName(field::NKaisu).SetAsInteger(after.nkaisu);
        ++Sei;
        bank_.FieldByName(field::Seikaisu).SetAsInteger(after.seikaisu);
        AppendHistory(bango, 1, mondai);
        adviceField_ = field::Seikai;
        if (Total > 10)
            FilterAdvice();
    } else {
        AppendHistory(bango, 0, mondai);
        --DrillLevel;   // held within 0..100 by the next question, or from the 11th at once
        if (after.nkaisu != before.nkaisu)
            bank_.FieldByName(field::NKaisu).SetAsInteger(after.nkaisu);
        adviceField_ = field::Fuseikai;
        if (Total > 10) {
            if (DrillLevel < 0)
                DrillLevel = 0;
            FilterAdvice();
        }
    }
    bank_.FieldByName(field::Nani).SetAsInteger(after.nani);
    bank_.Post();
    answered_ = true;
    // Beside the history: the same answer, kept across drills.
    RecordAnswer(bango, answer, right);
    return {right, right ? answer : 1 - answer, adviceField_};
}

void Session::AppendHistory(const std::string& bango, int seihi, const std::string& mondai)
{
    // By field name, so that the field order of the file cannot swap values.
    Row row(history_.Fields().size());
    row[std::size_t(history_.FieldIndex(field::Bango))] = Value(bango);
    row[std::size_t(history_.FieldIndex(field::Seihi))] = Value(seihi);
    row[std::size_t(history_.FieldIndex(field::Mondai))] = Value(mondai);
    history_.AppendRecord(row);
}

void Session::FilterAdvice()
{
    advice_.SetFilter(FilterText().Equals(field::Nani, DrillLevel));
    advice_.SetFiltered(true);
}

// ---- Next -----------------------------------------------------------------------------------

bool Session::Next()
{
    ++Total;
    const RecentAnswers recent = LastAnswers(history_);
    DrillLevel = MoveLevel(DrillLevel, recent.sum, recent.count);
    answered_ = false;
    return ShowNextQuestion();
}

// ---- A drill stored again from the learning record ------------------------------------------

namespace {
bool IsDrillAnswer(const record::Answer& a)
{
    return a.source == record::kSourceBank && a.item == 0 && (a.answer == 0 || a.answer == 1);
}
}  // namespace

void Session::Replay(const std::vector<record::Answer>& answers)
{
    // The record holds these answers already.
    record_ = nullptr;
    recordSession_ = 0;
    for (const record::Answer& a : answers)
        if (!IsDrillAnswer(a))
            throw Exception("学習記録の答えが練習の答えではありません: " + a.bango);
    ClearForStart();
    for (const record::Answer& a : answers) {
        bank_.SetFilter(FilterText().Equals(field::Bango, a.bango));
        bank_.SetFiltered(true);
        if (bank_.RecordCount() != 1)
            throw Exception("学習記録の問題 " + a.bango + " が問題データにありません");
        Judge(a.answer);
        ++Total;
    }
    answered_ = false;
}

// ---- End ------------------------------------------------------------------------------------

void Session::CheckWritable(const Table& table) const
{
    if (!table.Active() || !table.Modified())
        return;
    // A write-back makes its rollback journal beside the file, so the folder must take it too.
    const std::string& file = table.FileName();
    const std::string folder = settings::DirectoryPart(file);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(file.c_str(), W_OK) != 0
        || ::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        throw Exception(QCoreApplication::translate("drill::Session",
                                                    "「%1」に書き込めないため、練習の結果を保存できません。"
                                                    "ファイルを確かめてから、もう一度終了してください。")
                            .arg(QString::fromStdString(file.substr(folder.size())))
                            .toStdString());
}

void Session::End()
{
    // One unit: the bank's counters and the history's answers are stored together in one
    // transaction or not at all. A failure leaves every table open on the question on screen,
    // so the drill goes on and End can be tried again.
    CheckWritable(bank_);
    CheckWritable(history_);

    const bool filtered = bank_.Filtered();
    bank_.SetFiltered(false);
    try {
        Table::CloseTogether({&bank_, &history_});
    } catch (...) {
        bank_.SetFiltered(filtered);   // back on the question on screen
        throw;
    }
    advice_.Close();
    if (recordSession_ != 0)
        ToRecord([&] { record_->EndSession(recordSession_); });
    recordSession_ = 0;
}

}  // namespace drill
