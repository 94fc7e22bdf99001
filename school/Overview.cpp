#include "Overview.h"

#include "Admin.h"
#include "Csv.h"
#include "Directory.h"
#include "Exception.h"
#include "Layouts.h"
#include "SafeFile.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>

namespace school {

namespace {

// The program's test definitions as the server's summary functions take them: the server counts,
// the points and pass rules stay in exam/'s definitions.
std::string TestsJson()
{
    QJsonArray tests;
    for (const exam::TestDefinition& t : exam::Tests())
        tests.append(QJsonObject{{"kind", t.sessionKind},
                                 {"statement_points", t.statementPoints},
                                 {"hazard_points", t.hazardPoints},
                                 {"numerator", t.pass.numerator},
                                 {"denominator", t.pass.denominator}});
    return QJsonDocument(tests).toJson(QJsonDocument::Compact).toStdString();
}

std::string Iso(const char* column)
{
    return std::string("to_char(") + column + " AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";
}

QJsonValue ParseJson(const std::string& text)
{
    const QJsonDocument d = QJsonDocument::fromJson(QByteArray::fromStdString(text));
    return d.isObject() ? QJsonValue(d.object()) : QJsonValue(d.array());
}

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

// "46/50○": a score, its maximum, and whether it passed.
QString ScoreText(const progress::MockResult& m)
{
    return QStringLiteral("%1/%2%3").arg(m.score).arg(m.maxScore).arg(m.passed() ? QStringLiteral("○") : QStringLiteral("×"));
}

constexpr int kFixedColumns = 6;   // 番号 氏名 最終学習日 解答数 学習日数 模試回数
int TestColumns() { return 2 * int(exam::Tests().size()); }

}  // namespace

bool TestScores::Ready() const
{
    int passed = 0;
    for (std::size_t i = 0; i < last.size() && i < std::size_t(progress::kReadinessMocks); ++i)
        passed += last[i].passed() ? 1 : 0;
    return progress::IsReady(mocks, passed);
}

const TestScores& OverviewRow::Scores(exam::Test test) const
{
    for (const TestScores& t : tests)
        if (t.test == test)
            return t;
    throw Exception("定義のない試験です。");
}

void RequireTeacher(Connection& db)
{
    const Result r = db.Exec("SELECT current_user, "
                             "coalesce(pg_has_role(current_user, 'lentavo_teacher', 'MEMBER'), false) "
                             "FROM pg_roles WHERE rolname = 'lentavo_teacher' "
                             "UNION ALL SELECT current_user, false LIMIT 1");
    if (r.Text(0, 1) != "t")
        throw Exception("ユーザー " + r.Text(0, 0) +
                        " は教官用のユーザーではありません。教官用 一覧は lentavo_teacher に属するユーザーで開いてください。\n"
                        "User " + r.Text(0, 0) + " is not a teacher (not a member of lentavo_teacher).");
}

std::vector<OverviewRow> LoadOverview(Connection& db, const QTimeZone& zone)
{
    const Result r = db.Exec("SELECT number, name, furigana, coalesce(to_char(last_day, 'YYYY-MM-DD'), ''), answers, "
                             "days, mocks, tests::text, items::text FROM lentavo.overview($1::jsonb, $2, $3, $4)",
                             {TestsJson(), std::to_string(progress::kReadinessMocks),
                              std::to_string(progress::kItemWindow), zone.id().toStdString()});
    std::vector<OverviewRow> rows;
    rows.reserve(std::size_t(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i) {
        OverviewRow row;
        row.number = r.Text(i, 0);
        row.name = r.Text(i, 1);
        row.furigana = r.Text(i, 2);
        row.lastDay = QDate::fromString(Utf8(r.Text(i, 3)), Qt::ISODate);
        row.answers = r.Int64(i, 4);
        row.days = r.Int64(i, 5);
        row.mocks = r.Int64(i, 6);
        const QJsonObject tests = ParseJson(r.Text(i, 7)).toObject();
        for (const exam::TestDefinition& t : exam::Tests()) {
            TestScores scores;
            scores.test = t.test;
            const QJsonObject o = tests.value(QString::fromUtf8(t.sessionKind)).toObject();
            scores.mocks = o.value("n").toInt();
            for (const QJsonValue& v : o.value("last").toArray()) {
                const QJsonArray m = v.toArray();
                progress::MockResult mock;
                mock.test = t.test;
                mock.score = m.at(0).toInt();
                mock.maxScore = m.at(1).toInt();
                mock.passMark = m.at(2).toInt();
                scores.last.push_back(mock);
            }
            row.tests.push_back(std::move(scores));
        }
        std::vector<record::CategoryRate> rates;
        for (const QJsonValue& v : ParseJson(r.Text(i, 8)).toArray()) {
            const QJsonArray a = v.toArray();
            rates.push_back({a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt()});
        }
        row.weakest = progress::WeakestFirst(rates);
        if (row.weakest.size() > std::size_t(kWeakest))
            row.weakest.resize(kWeakest);
        rows.push_back(std::move(row));
    }
    return rows;
}

progress::Snapshot LoadPupilSnapshot(Connection& db, const std::string& number)
{
    progress::Snapshot s;
    const Result sessions = db.Exec("SELECT kind, " + Iso("started_at") + ", " + Iso("ended_at") +
                                        ", level, seed, answers, correct, score, max_score, pass_mark "
                                        "FROM lentavo.pupil_sessions($1::jsonb, $2)",
                                    {TestsJson(), number});
    const auto optInt = [](const Result& r, int row, int col) {
        return r.IsNull(row, col) ? std::optional<int>() : std::optional<int>(r.Int(row, col));
    };
    for (int i = 0; i < sessions.Rows(); ++i) {
        record::SessionSummary x;
        x.id = i + 1;
        x.kind = sessions.Text(i, 0);
        x.startedAt = sessions.Text(i, 1);
        if (!sessions.IsNull(i, 2))
            x.endedAt = sessions.Text(i, 2);
        x.level = optInt(sessions, i, 3);
        if (!sessions.IsNull(i, 4))
            x.seed = sessions.Int64(i, 4);
        x.answers = sessions.Int(i, 5);
        x.correct = sessions.Int(i, 6);
        x.score = optInt(sessions, i, 7);
        x.maxScore = optInt(sessions, i, 8);
        x.passMark = optInt(sessions, i, 9);
        s.sessions.push_back(std::move(x));
    }
    const Result items = db.Exec("SELECT bunrui, answers, correct FROM lentavo.pupil_items($1, $2)",
                                 {std::to_string(progress::kItemWindow), number});
    for (int i = 0; i < items.Rows(); ++i)
        s.rates.push_back({items.Int(i, 0), items.Int(i, 1), items.Int(i, 2)});
    const Result latest = db.Exec("SELECT source, bango, item, bunrui, correct, " + Iso("answered_at") +
                                      " FROM lentavo.pupil_latest($1)",
                                  {number});
    for (int i = 0; i < latest.Rows(); ++i)
        s.latest.push_back({latest.Text(i, 0), latest.Text(i, 1), latest.Int(i, 2), optInt(latest, i, 3),
                            latest.Text(i, 4) == "t", latest.Text(i, 5)});

    // The statements the pupil could have answered: those of the bank the PCs take now.
    const Result bank = db.Exec("SELECT mondai, kiken FROM lentavo.latest_bank()", {}, true);
    if (bank.Rows() > 0) {
        QTemporaryDir dir;
        if (!dir.isValid())
            throw Exception("一時フォルダを作れません / cannot make a temporary folder");
        const std::string path = QFile::encodeName(dir.path()).toStdString() + "/";
        safefile::Write(path + layouts::kBankFile, bank.Text(0, 0));
        safefile::Write(path + layouts::kHazardFile, bank.Text(0, 1));
        s.statements = progress::BankStatements(data::Directory(path));
    }
    return s;
}

bool Matches(const OverviewRow& row, const OverviewFilter& filter, const QDate& today)
{
    if (filter.ready && !row.Scores(*filter.ready).Ready())
        return false;
    if (filter.idleDays > 0 && row.lastDay.isValid() && row.lastDay.daysTo(today) < filter.idleDays)
        return false;
    const QString text = filter.text.trimmed();
    if (!text.isEmpty() && !Utf8(row.number).contains(text) && !Utf8(row.name).contains(text, Qt::CaseInsensitive) &&
        !Utf8(row.furigana).contains(text, Qt::CaseInsensitive))
        return false;
    return true;
}

namespace {
QString Words(const char* japanese, Wording wording)
{
    return wording == Wording::Shown ? QCoreApplication::translate("school::Overview", japanese)
                                     : QString::fromUtf8(japanese);
}

QString TestName(const exam::TestDefinition& t, Wording wording)
{
    return wording == Wording::Shown ? exam::Name(t) : QString::fromUtf8(t.name);
}
}  // namespace

QString Describe(const OverviewFilter& filter)
{
    QStringList parts;
    if (filter.ready)
        parts << QCoreApplication::translate("school::Overview", "%1 合格圏").arg(exam::Name(exam::Definition(*filter.ready)));
    if (filter.idleDays > 0)
        parts << QCoreApplication::translate("school::Overview", "%1日以上学習なし").arg(filter.idleDays);
    if (!filter.text.trimmed().isEmpty())
        parts << QCoreApplication::translate("school::Overview", "「%1」を含む").arg(filter.text.trimmed());
    return parts.isEmpty() ? QCoreApplication::translate("school::Overview", "絞り込みなし")
                           : parts.join(QCoreApplication::translate("school::Overview", "・"));
}

int ColumnCount() { return kFixedColumns + TestColumns() + 1; }

QString Heading(int column, Wording wording)
{
    static const char* fixed[kFixedColumns] = {
        QT_TRANSLATE_NOOP("school::Overview", "番号"),       QT_TRANSLATE_NOOP("school::Overview", "氏名"),
        QT_TRANSLATE_NOOP("school::Overview", "最終学習日"), QT_TRANSLATE_NOOP("school::Overview", "解答数"),
        QT_TRANSLATE_NOOP("school::Overview", "学習日数"),   QT_TRANSLATE_NOOP("school::Overview", "模試回数")};
    if (column < kFixedColumns)
        return Words(fixed[column], wording);
    if (column < kFixedColumns + TestColumns()) {
        const exam::TestDefinition& t = exam::Tests()[std::size_t((column - kFixedColumns) / 2)];
        return (column - kFixedColumns) % 2 == 0
                   ? Words(QT_TRANSLATE_NOOP("school::Overview", "%1 直近3回"), wording).arg(TestName(t, wording))
                   : Words(QT_TRANSLATE_NOOP("school::Overview", "%1 判定"), wording).arg(TestName(t, wording));
    }
    return Words(QT_TRANSLATE_NOOP("school::Overview", "苦手項目"), wording);
}

QString CellText(const OverviewRow& row, int column, Wording wording)
{
    switch (column) {
    case 0: return Utf8(row.number);
    case 1: return Utf8(row.name);
    case 2: return row.lastDay.isValid() ? row.lastDay.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    case 3: return QString::number(row.answers);
    case 4: return QString::number(row.days);
    case 5: return QString::number(row.mocks);
    default: break;
    }
    if (column < kFixedColumns + TestColumns()) {
        const TestScores& t = row.tests[std::size_t((column - kFixedColumns) / 2)];
        if ((column - kFixedColumns) % 2 == 0) {
            QStringList scores;
            for (const progress::MockResult& m : t.last)
                scores << ScoreText(m);
            return scores.join(' ');
        }
        return t.Ready()     ? Words(QT_TRANSLATE_NOOP("school::Overview", "合格圏"), wording)
               : t.mocks > 0 ? Words(QT_TRANSLATE_NOOP("school::Overview", "まだ"), wording)
                             : QString();
    }
    QStringList names;
    for (const progress::ItemShare& item : row.weakest)
        names << QStringLiteral("%1(%2%)").arg(item.name).arg(qRound(item.percent()));
    return names.join(QStringLiteral("、"));
}

QVariant SortValue(const OverviewRow& row, int column)
{
    switch (column) {
    case 0: return Utf8(row.number);
    // By reading, as a Japanese list is ordered; the written name where none was given.
    case 1: return Utf8(row.furigana.empty() ? row.name : row.furigana);
    case 2: return row.lastDay.isValid() ? row.lastDay.toJulianDay() : -1;
    case 3: return row.answers;
    case 4: return row.days;
    case 5: return row.mocks;
    default: break;
    }
    if (column < kFixedColumns + TestColumns()) {
        const TestScores& t = row.tests[std::size_t((column - kFixedColumns) / 2)];
        if ((column - kFixedColumns) % 2 == 0)
            return t.last.empty() ? -1.0 : t.last.front().percent();
        return t.Ready() ? 2 : t.mocks > 0 ? 1 : 0;
    }
    return row.weakest.empty() ? 101.0 : row.weakest.front().percent();
}

std::string OverviewCsv(const std::vector<const OverviewRow*>& rows)
{
    csv::Record header;
    for (int c = 0; c < ColumnCount(); ++c)
        header.push_back(Heading(c, Wording::Japanese).toStdString());
    std::string out = "\xEF\xBB\xBF" + csv::Format(header);
    for (const OverviewRow* row : rows) {
        csv::Record cells;
        for (int c = 0; c < ColumnCount(); ++c)
            cells.push_back(CellText(*row, c, Wording::Japanese).toStdString());
        out += csv::Format(cells);
    }
    return out;
}

void AddPupil(Connection& db, const Pupil& pupil)
{
    const Result r = db.Exec("SELECT lentavo.add_pupil($1, $2, $3, $4)", {pupil.number, pupil.name, pupil.furigana, pupil.pin});
    if (r.Text(0, 0) != "t")
        throw Exception("教習生番号 " + pupil.number + " はもう使われています / the number " + pupil.number +
                        " is taken");
}

void MarkLeft(Connection& db, const std::string& number)
{
    if (db.Exec("SELECT lentavo.mark_left($1)", {number}).Text(0, 0) != "t")
        throw Exception("教習生番号 " + number + " の在籍中の教習生はいません / no pupil at the school has the number " +
                        number);
}

}  // namespace school
