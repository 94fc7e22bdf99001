#include "ReadBack.h"

#include "Delivery.h"
#include "Directory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "SafeFile.h"

#include <QUuid>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <map>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;

namespace school {
namespace {

constexpr std::size_t kMaxListBytes = 256u << 20;
// Rows the folder has and the server lacks sort after the server's rows of the same second.
constexpr std::int64_t kLocalSeq = std::numeric_limits<std::int64_t>::max() / 2;

std::string ListFile(const std::string& folder, const std::string& folderId)
{
    return Dir(folder) + "school-uuids-" + folderId + ".tsv";
}

std::string MadeUuid(const std::string& folderId, const char* kind, std::int64_t id)
{
    return QUuid::createUuidV5(QUuid(QString::fromStdString(folderId)), QString("%1/%2").arg(kind).arg(id))
        .toString(QUuid::WithoutBraces)
        .toStdString();
}

[[noreturn]] void Damaged(const std::string& path)
{
    throw Exception(path + " が壊れています / is damaged");
}

// What a session may still change on the server: its end and its grade.
std::string Print(const record::SessionSummary& s)
{
    auto n = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("-"); };
    return s.endedAt.value_or("-") + "|" + n(s.score) + "|" + n(s.maxScore) + "|" + n(s.passMark);
}

struct Session {
    std::string uuid;
    std::int64_t seq = 0;
    bool own = false;
    record::SessionSummary s;
};

struct Answer {
    std::string uuid, sessionUuid, answeredAt;
    std::int64_t seq = 0;
    record::Answer a;
};

// The folder's record as uuids and rows, in its id order.
struct Local {
    std::vector<Session> sessions;
    std::vector<Answer> answers;
    record::PupilProfile pupil;
};

Local ReadLocal(const std::string& folder, const RecordMarks& marks)
{
    Local local;
    std::error_code ec;
    if (!fs::exists(Dir(folder) + record::kFileName, ec))
        return local;
    record::LearningRecord rec;
    rec.Open(Dir(folder) + record::kFileName);
    RowNames names(folder, marks);
    for (record::SessionSummary& s : rec.Sessions()) {
        const std::int64_t id = s.id;
        local.sessions.push_back({names.Session(id), kLocalSeq + id, names.OwnSession(id), std::move(s)});
    }
    rec.ForEachAnswer([&](const record::AnswerInSession& a) {
        local.answers.push_back({names.Answer(a.id), names.Session(a.session), a.answeredAt, kLocalSeq + a.id, a.answer});
    });
    local.pupil = rec.Pupil();
    return local;
}

// True when the folder's record already is the server's, row for row and in the same order.
bool Same(const Local& local, const std::vector<SessionRow>& sessions, const std::vector<AnswerRow>& answers)
{
    if (local.sessions.size() != sessions.size() || local.answers.size() != answers.size())
        return false;
    for (std::size_t i = 0; i < sessions.size(); ++i)
        if (local.sessions[i].uuid != sessions[i].uuid || Print(local.sessions[i].s) != Print(sessions[i].session))
            return false;
    for (std::size_t i = 0; i < answers.size(); ++i)
        if (local.answers[i].uuid != answers[i].uuid)
            return false;
    return true;
}

void WriteList(const std::string& path, const std::vector<Session>& sessions, const std::vector<Answer>& answers)
{
    std::string text = "lentavo-uuids 1\n" + std::to_string(sessions.size()) + "\n";
    text.reserve(text.size() + 40 * (sessions.size() + answers.size()));
    for (const Session& s : sessions)
        text += s.uuid + (s.own ? " 1\n" : " 0\n");
    text += std::to_string(answers.size()) + "\n";
    for (const Answer& a : answers)
        text += a.uuid + "\n";
    safefile::Write(path, text);
}

void RemoveRecordFiles(const std::string& path)
{
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path + suffix, ec);
}

}  // namespace

// ---- RowNames -------------------------------------------------------------------------------

RowNames::RowNames(std::string folder, const RecordMarks& marks) : folder_(std::move(folder)), marks_(marks) {}

std::string RowNames::Session(std::int64_t id)
{
    if (id > marks_.readSessions)
        return MadeUuid(marks_.folderId, "session", id);
    Load();
    return sessions_.at(std::size_t(id - 1));
}

std::string RowNames::Answer(std::int64_t id)
{
    if (id > marks_.readAnswers)
        return MadeUuid(marks_.folderId, "answer", id);
    Load();
    return answers_.at(std::size_t(id - 1));
}

bool RowNames::OwnSession(std::int64_t id)
{
    if (id > marks_.readSessions)
        return true;
    Load();
    return own_.at(std::size_t(id - 1));
}

void RowNames::Load()
{
    if (loaded_)
        return;
    const std::string path = ListFile(folder_, marks_.folderId);
    std::istringstream in(safefile::Read(path, kMaxListBytes));
    std::string line;
    std::size_t count = 0;
    if (!std::getline(in, line) || line != "lentavo-uuids 1" || !(in >> count) || count != std::size_t(marks_.readSessions))
        Damaged(path);
    for (std::size_t i = 0; i < count; ++i) {
        std::string uuid, own;
        if (!(in >> uuid >> own) || QUuid(QString::fromStdString(uuid)).isNull() || (own != "0" && own != "1"))
            Damaged(path);
        sessions_.push_back(uuid);
        own_.push_back(own == "1");
    }
    if (!(in >> count) || count != std::size_t(marks_.readAnswers))
        Damaged(path);
    for (std::size_t i = 0; i < count; ++i) {
        std::string uuid;
        if (!(in >> uuid) || uuid.size() != 36)
            Damaged(path);
        answers_.push_back(uuid);
    }
    loaded_ = true;
}

bool IsOwnSession(const std::string& folder, std::int64_t session)
{
    const std::optional<Outbox> b = LoadOutbox(folder);
    return !b || RowNames(folder, *b).OwnSession(session);
}

// ---- ReadBack -------------------------------------------------------------------------------

namespace {

// The rows part of ReadBack, FOLDER locked and delivered.
void TakeRows(Client& client, const std::string& folder, const std::string& token, ReadBackReport& report)
{
    Outbox b = LoadOrMakeOutbox(folder);
    if (const int pending = PendingRecordRows(folder, b); pending > 0) {
        report.skipped = std::to_string(pending) + " rows not delivered";
        return;
    }
    std::vector<SessionRow> serverSessions = client.PupilSessions(token);
    std::vector<AnswerRow> serverAnswers = client.PupilAnswers(token);
    Local local = ReadLocal(folder, b);
    report.sessions = int(serverSessions.size());
    report.answers = int(serverAnswers.size());
    if (Same(local, serverSessions, serverAnswers))
        return;

    // The server's rows, and the folder's own the server lacks; by time, then as received.
    std::map<std::string, const Session*> localSessions;
    for (const Session& s : local.sessions)
        localSessions[s.uuid] = &s;
    std::map<std::string, bool> onServer;
    std::vector<Session> sessions;
    sessions.reserve(serverSessions.size() + local.sessions.size());
    for (SessionRow& row : serverSessions) {
        const auto it = localSessions.find(row.uuid);
        sessions.push_back({row.uuid, row.seq, it != localSessions.end() && it->second->own, std::move(row.session)});
        onServer[sessions.back().uuid] = true;
    }
    for (Session& s : local.sessions)
        if (!onServer.count(s.uuid))
            sessions.push_back(std::move(s));
    std::stable_sort(sessions.begin(), sessions.end(), [](const Session& x, const Session& y) {
        return std::tie(x.s.startedAt, x.seq) < std::tie(y.s.startedAt, y.seq);
    });
    std::map<std::string, std::size_t> sessionAt;
    for (std::size_t i = 0; i < sessions.size(); ++i)
        sessionAt[sessions[i].uuid] = i;

    std::map<std::string, bool> answerOnServer;
    std::vector<Answer> answers;
    answers.reserve(serverAnswers.size() + local.answers.size());
    for (AnswerRow& row : serverAnswers) {
        answerOnServer[row.uuid] = true;
        answers.push_back({std::move(row.uuid), std::move(row.sessionUuid), std::move(row.answeredAt), row.seq,
                           std::move(row.answer)});
    }
    const std::size_t fromServer = answers.size();
    std::size_t kept = 0;
    for (Answer& a : local.answers)
        if (!answerOnServer.count(a.uuid)) {
            answers.push_back(std::move(a));
            ++kept;
        }
    report.answersAdded = int(fromServer + kept) - int(local.answers.size());
    std::stable_sort(answers.begin(), answers.end(), [](const Answer& x, const Answer& y) {
        return std::tie(x.answeredAt, x.seq) < std::tie(y.answeredAt, y.seq);
    });

    std::vector<record::SessionSummary> rows;
    rows.reserve(sessions.size());
    for (const Session& s : sessions)
        rows.push_back(s.s);
    std::vector<record::RecordedAnswer> recorded;
    recorded.reserve(answers.size());
    for (const Answer& a : answers) {
        const auto at = sessionAt.find(a.sessionUuid);
        if (at == sessionAt.end())
            throw Exception("session of answer " + a.uuid + " is missing");
        recorded.push_back({at->second, a.answeredAt, a.a});
    }

    // Another copy of the program drilling on this folder keeps it as it is.
    data::Directory directory(folder);
    if (directory.Lock() == DirectoryLock::Result::InUse) {
        report.skipped = "the folder is in use";
        return;
    }
    const std::string path = Dir(folder) + record::kFileName;
    const std::string incoming = Dir(folder) + kIncomingRecord;
    RemoveRecordFiles(incoming);
    RecordMarks marks;
    marks.folderId = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    {
        record::LearningRecord rec;
        rec.Open(incoming);
        rec.Append(rows, recorded);
        if (local.pupil.name)
            rec.SetPupilName(*local.pupil.name);
        if (local.pupil.test && local.pupil.testDate)
            rec.SetTestDate(*local.pupil.test, *local.pupil.testDate);
        MarkDelivered(rec, marks);
    }
    marks.readSessions = std::int64_t(sessions.size());
    marks.readAnswers = std::int64_t(answers.size());
    WriteList(ListFile(folder, marks.folderId), sessions, answers);

    // The old record closed by its last connection leaves no log; one left means another
    // program has it open, and it stays.
    std::error_code ec;
    if (fs::exists(path, ec)) {
        record::LearningRecord old;
        old.Open(path);
    }
    if (fs::exists(path + "-wal", ec)) {
        RemoveRecordFiles(incoming);
        report.skipped = "the record is open elsewhere";
        return;
    }
    fs::remove(path + "-shm", ec);
    // From here the marks go with the rebuilt record: loading the outbox takes them once the
    // incoming file is gone, whenever this stops.
    const std::string oldList = ListFile(folder, b.folderId);
    b.incoming = marks;
    SaveOutbox(folder, b);
    fs::rename(incoming, path, ec);
    if (ec)
        throw Exception("学習記録を置き換えられません: " + path + " (" + ec.message() + ")");
    b = *LoadOutbox(folder);
    SaveOutbox(folder, b);
    fs::remove(oldList, ec);
    report.rebuilt = true;
    report.sessions = int(sessions.size());
    report.answers = int(answers.size());
}

// The pupil's test date from the server, unless the folder's own is not delivered yet (then it
// is the newer, and goes out with the next round).
void TakeTestDate(Client& client, const std::string& folder, const std::string& token)
{
    const std::optional<TestDate> server = client.PupilTestDate(token);
    if (!server)
        return;
    Outbox b = LoadOrMakeOutbox(folder);
    record::LearningRecord rec;
    rec.Open(Dir(folder) + record::kFileName);
    const std::string own = TestDatePrint(rec.Pupil()), theirs = server->test + "|" + server->date;
    if (TestDateToSend(own, b))
        return;
    if (own != theirs)
        rec.SetTestDate(server->test, server->date);
    b.testDateSent = theirs;
    SaveOutbox(folder, b);
}

}  // namespace

ReadBackReport ReadBack(Client& client, const std::string& folder, const std::string& token)
{
    ReadBackReport report;
    // What the folder holds goes first, so that the server has everything of it.
    try {
        DeliverNow(client, folder);
    } catch (const Unreachable&) {
        throw;
    } catch (const std::exception& e) {
        report.skipped = std::string("not delivered: ") + e.what();
        return report;
    }
    try {
        const FolderLock lock(folder);
        TakeRows(client, folder, token, report);
        if (report.skipped.empty())
            TakeTestDate(client, folder, token);
    } catch (const Unreachable&) {
        throw;
    } catch (const std::exception& e) {
        report.skipped = e.what();
        report.rebuilt = false;
    }
    return report;
}

}  // namespace school
