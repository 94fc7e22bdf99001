#include "Client.h"

#include "Connection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>

namespace school {

namespace {

QJsonValue Json(const std::optional<int>& v) { return v ? QJsonValue(*v) : QJsonValue(); }
QJsonValue Json(const std::optional<std::int64_t>& v)
{
    return v ? QJsonValue(static_cast<qint64>(*v)) : QJsonValue();
}
QJsonValue Json(const std::string& s) { return QString::fromStdString(s); }

std::optional<int> OptInt(const Result& r, int row, int col)
{
    return r.IsNull(row, col) ? std::nullopt : std::optional<int>(r.Int(row, col));
}

std::optional<std::string> OptText(const Result& r, int row, int col)
{
    return r.IsNull(row, col) ? std::nullopt : std::optional<std::string>(r.Text(row, col));
}

// The server's float8 text, whatever the PC's locale says a decimal point is.
std::optional<double> OptDouble(const Result& r, int row, int col)
{
    if (r.IsNull(row, col))
        return std::nullopt;
    const std::string text = r.Text(row, col);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        throw Exception("サーバーの答えが読めません: " + text);
    return v;
}

std::string Text(const QJsonArray& rows)
{
    return QJsonDocument(rows).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace

Client::Client(std::string conninfo) : conninfo_(std::move(conninfo)) {}
Client::~Client() = default;

void Client::Connect()
{
    if (!IsConnected())
        db_ = std::make_unique<Connection>(conninfo_);
}

bool Client::IsConnected() const { return db_ && db_->IsOk(); }

void Client::Disconnect() { db_.reset(); }

SignInResult Client::SignIn(const std::string& number, const std::string& pin, const std::string& pcName,
                            bool takeOver)
{
    Connect();
    const Result r = db_->Exec("SELECT status, token, name, furigana, bank_version, attempts_left, "
                               "to_char(locked_until AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), other_pc "
                               "FROM lentavo.sign_in($1, $2, $3, $4)",
                               {number, pin, pcName, std::string(takeOver ? "true" : "false")});
    SignInResult s;
    const std::string status = r.Text(0, 0);
    if (status == "signed-in") {
        s.status = SignInResult::Status::SignedIn;
        s.token = r.Text(0, 1);
        s.name = r.Text(0, 2);
        s.furigana = r.Text(0, 3);
        if (!r.IsNull(0, 4))
            s.bankVersion = r.Int(0, 4);
    } else if (status == "wrong-pin") {
        s.status = SignInResult::Status::WrongPin;
        s.attemptsLeft = r.Int(0, 5);
    } else if (status == "locked") {
        s.status = SignInResult::Status::Locked;
        s.lockedUntil = r.Text(0, 6);
    } else if (status == "elsewhere") {
        s.status = SignInResult::Status::SignedInElsewhere;
        s.otherPc = r.Text(0, 7);
    } else {
        s.status = SignInResult::Status::UnknownPupil;
    }
    return s;
}

BankFiles Client::FetchBank(const std::string& token, int version)
{
    Connect();
    const Result r = db_->Exec("SELECT mondai, advice, kiken FROM lentavo.bank($1, $2)",
                               {token, std::to_string(version)}, true);
    BankFiles b;
    b.version = version;
    b.mondai = r.Text(0, 0);
    b.advice = r.Text(0, 1);
    b.kiken = r.Text(0, 2);
    return b;
}

std::vector<Counter> Client::Counters(const std::string& token)
{
    Connect();
    const Result r = db_->Exec("SELECT bango, kaisu, seikaisu, nkaisu, nani FROM lentavo.counters($1)", {token});
    std::vector<Counter> counters;
    counters.reserve(static_cast<std::size_t>(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i)
        counters.push_back({r.Text(i, 0), r.Int(i, 1), r.Int(i, 2), r.Int(i, 3), r.Int(i, 4)});
    return counters;
}

void Client::DeliverSessions(const std::string& token, const std::vector<SessionRow>& sessions)
{
    if (sessions.empty())
        return;
    QJsonArray rows;
    for (const SessionRow& s : sessions)
        rows.append(QJsonObject{{"uuid", Json(s.uuid)},
                                {"kind", Json(s.session.kind)},
                                {"started_at", Json(s.session.startedAt)},
                                {"ended_at", s.session.endedAt ? Json(*s.session.endedAt) : QJsonValue()},
                                {"level", Json(s.session.level)},
                                {"seed", Json(s.session.seed)},
                                {"score", Json(s.session.score)},
                                {"max_score", Json(s.session.maxScore)},
                                {"pass_mark", Json(s.session.passMark)}});
    Connect();
    db_->Exec("SELECT lentavo.deliver_sessions($1, $2::jsonb)", {token, Text(rows)});
}

int Client::DeliverAnswers(const std::string& token, const std::vector<AnswerRow>& answers)
{
    if (answers.empty())
        return 0;
    QJsonArray rows;
    for (const AnswerRow& a : answers)
        rows.append(QJsonObject{{"uuid", Json(a.uuid)},
                                {"session_uuid", Json(a.sessionUuid)},
                                {"answered_at", Json(a.answeredAt)},
                                {"source", Json(a.answer.source)},
                                {"bango", Json(a.answer.bango)},
                                {"item", a.answer.item},
                                {"bunrui", Json(a.answer.bunrui)},
                                {"answer", a.answer.answer},
                                {"correct", a.answer.correct},
                                {"seconds", a.answer.seconds ? QJsonValue(*a.answer.seconds) : QJsonValue()}});
    Connect();
    return db_->Exec("SELECT lentavo.deliver_answers($1, $2::jsonb)", {token, Text(rows)}).Int(0, 0);
}

void Client::DeliverCounters(const std::string& token, std::int64_t seq, const std::vector<Counter>& contribution)
{
    QJsonArray rows;
    for (const Counter& c : contribution)
        rows.append(QJsonObject{{"bango", Json(c.bango)},
                                {"kaisu", c.kaisu},
                                {"seikaisu", c.seikaisu},
                                {"nkaisu", c.nkaisu},
                                {"nani", c.nani}});
    Connect();
    db_->Exec("SELECT lentavo.deliver_counters($1, $2, $3::jsonb)", {token, std::to_string(seq), Text(rows)});
}

std::vector<SessionRow> Client::PupilSessions(const std::string& token)
{
    Connect();
    const Result r = db_->Exec("SELECT uuid, seq, kind, started_at, ended_at, level, seed, score, max_score, "
                               "pass_mark FROM lentavo.my_sessions($1)",
                               {token});
    std::vector<SessionRow> rows(static_cast<std::size_t>(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i) {
        SessionRow& s = rows[std::size_t(i)];
        s.uuid = r.Text(i, 0);
        s.seq = r.Int64(i, 1);
        s.session.kind = r.Text(i, 2);
        s.session.startedAt = r.Text(i, 3);
        s.session.endedAt = OptText(r, i, 4);
        s.session.level = OptInt(r, i, 5);
        if (!r.IsNull(i, 6))
            s.session.seed = r.Int64(i, 6);
        s.session.score = OptInt(r, i, 7);
        s.session.maxScore = OptInt(r, i, 8);
        s.session.passMark = OptInt(r, i, 9);
    }
    return rows;
}

std::vector<AnswerRow> Client::PupilAnswers(const std::string& token)
{
    Connect();
    const Result r = db_->Exec("SELECT uuid, seq, session_uuid, answered_at, source, bango, item, bunrui, answer, "
                               "correct, seconds FROM lentavo.my_answers($1)",
                               {token});
    std::vector<AnswerRow> rows(static_cast<std::size_t>(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i) {
        AnswerRow& a = rows[std::size_t(i)];
        a.uuid = r.Text(i, 0);
        a.seq = r.Int64(i, 1);
        a.sessionUuid = r.Text(i, 2);
        a.answeredAt = r.Text(i, 3);
        a.answer.source = r.Text(i, 4);
        a.answer.bango = r.Text(i, 5);
        a.answer.item = r.Int(i, 6);
        a.answer.bunrui = OptInt(r, i, 7);
        a.answer.answer = r.Int(i, 8);
        a.answer.correct = r.Text(i, 9) == "t";
        a.answer.seconds = OptDouble(r, i, 10);
    }
    return rows;
}

std::optional<TestDate> Client::PupilTestDate(const std::string& token)
{
    Connect();
    const Result r = db_->Exec("SELECT test, test_date FROM lentavo.my_test_date($1)", {token});
    if (r.Rows() == 0)
        return std::nullopt;
    return TestDate{r.Text(0, 0), r.Text(0, 1)};
}

void Client::DeliverTestDate(const std::string& token, const TestDate& date)
{
    const auto value = [](const std::string& s) { return s.empty() ? Param() : Param(s); };
    Connect();
    db_->Exec("SELECT lentavo.deliver_test_date($1, $2, $3::date)", {token, value(date.test), value(date.date)});
}

SignInState Client::SignInStatus(const std::string& token)
{
    Connect();
    const std::string status = db_->Exec("SELECT lentavo.signin_status($1)", {token}).Text(0, 0);
    if (status == "active")
        return SignInState::Active;
    if (status == "taken-over")
        return SignInState::TakenOver;
    if (status == "signed-out")
        return SignInState::SignedOut;
    if (status == "expired")
        return SignInState::Expired;
    return SignInState::Unknown;
}

void Client::SignOut(const std::string& token)
{
    Connect();
    db_->Exec("SELECT lentavo.sign_out($1)", {token});
}

}  // namespace school
