#include "DrillReplay.h"

#include "Exception.h"
#include "Layouts.h"
#include "Peers.h"
#include "Scoring.h"
#include "Search.h"
#include "Settings.h"

namespace replay {

Drill::Drill()
{
    bank.SetRequiredFields(layouts::Bank());
    history.SetRequiredFields(layouts::History());
    advice.SetRequiredFields(layouts::Advice());
}

bool Drill::Start(const std::string& settingsFile)
{
    const auto directory = settings::ReadDataDirectory(settingsFile);
    if (!directory)
        throw Exception("設定ファイルがありません: " + settingsFile);
    for (auto [table, name] : {std::pair{&bank, layouts::kBankFile}, std::pair{&history, layouts::kHistoryFile},
                               std::pair{&advice, layouts::kAdviceFile}}) {
        table->Close();
        table->SetFileName(*directory + name);
        table->Open();
    }
    advice.SetFilter("Nani = -1");
    advice.SetFiltered(true);
    Total = 1;
    Ans = 0;
    Sei = 0;
    LKaisu = 0;
    while (!history.Eof())
        history.Delete();
    if (!ShowNextQuestion())
        return false;
    advice.SetFiltered(false);
    return true;
}

int Drill::RightAnswer() { return bank.FieldByName("Seikai").AsInteger(); }

bool Drill::Judge(int answer)
{
    bank.Edit();
    drill::Counters before;
    before.kaisu = bank.FieldByName("Kaisu").AsInteger();
    before.seikaisu = bank.FieldByName("Seikaisu").AsInteger();
    before.nkaisu = bank.FieldByName("NKaisu").AsInteger();
    const std::string bango = bank.FieldByName("Bango").AsString();
    const std::string mondai = bank.FieldByName("Mondai").AsString();
    before.nani = bank.FieldByName("Nani").AsInteger();
    const bool right = bank.FieldByName("Seikai").AsInteger() == answer;
    const drill::Counters after = drill::AfterAnswer(before, right);
    bank.FieldByName("Kaisu").SetAsInteger(after.kaisu);
    ++Ans;

    Row row(history.Fields().size());
    row[std::size_t(history.FieldIndex("Bango"))] = Value(bango);
    row[std::size_t(history.FieldIndex("Seihi"))] = Value(right ? 1 : 0);
    row[std::size_t(history.FieldIndex("Mondai"))] = Value(mondai);
    if (right) {
        bank.FieldByName("NKaisu").SetAsInteger(after.nkaisu);
        ++Sei;
        bank.FieldByName("Seikaisu").SetAsInteger(after.seikaisu);
        history.AppendRecord(row);
    } else {
        history.AppendRecord(row);
        --DrillLevel;
        if (after.nkaisu != before.nkaisu)
            bank.FieldByName("NKaisu").SetAsInteger(after.nkaisu);
        if (Total > 10 && DrillLevel < 0)
            DrillLevel = 0;
    }
    if (Total > 10) {
        advice.SetFilter("Nani = " + std::to_string(DrillLevel));
        advice.SetFiltered(true);
    }
    bank.FieldByName("Nani").SetAsInteger(after.nani);
    bank.Post();
    return right;
}

bool Drill::Next()
{
    ++Total;
    const drill::RecentAnswers recent = drill::LastAnswers(history);
    DrillLevel = drill::MoveLevel(DrillLevel, recent.sum, recent.count);
    return ShowNextQuestion();
}

bool Drill::ShowNextQuestion()
{
    bool found;
    if (search == SearchKind::OneScan) {
        found = drill::SearchQuestion(bank, DrillLevel, LKaisu);
    } else {
        // The loop can stop once the limit passes the largest settled count in the bank.
        int maxSettled = 0;
        const int nkaisu = bank.FieldIndex("NKaisu");
        for (std::size_t r = 0; r < bank.StoredCount(); ++r)
            maxSettled = std::max(maxSettled, bank.StoredValue(r, nkaisu).integer);
        found = LiteralSearch(bank, DrillLevel, LKaisu, std::max(maxSettled, LKaisu));
    }
    if (!found)
        return false;
    const std::string bango = bank.FieldByName("Bango").AsString();
    bank.SetFilter("Bango = " + bango);
    bank.SetFiltered(true);
    return true;
}

void Drill::End()
{
    bank.SetFiltered(false);
    bank.Close();
    history.Close();
    advice.Close();
}

}  // namespace replay
