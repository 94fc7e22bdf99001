#include "Delivery.h"

#include "Client.h"
#include "Counters.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Outbox.h"
#include "ReadBack.h"
#include "SafeFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace school {

namespace {

constexpr int kBatch = 500;   // answers per call: one statement of a few hundred kB at most

// What of a session may still change: a repeat with another print is delivered again.
std::string Print(const record::SessionSummary& s)
{
    return s.endedAt.value_or("-") + "|" + (s.score ? std::to_string(*s.score) : "-");
}

bool HasRecord(const std::string& folder)
{
    std::error_code ec;
    return std::filesystem::exists(Dir(folder) + record::kFileName, ec);
}

// Sessions of REC past B's mark that are not on the server as they now stand. A session is final
// once ended or once a later one began (the program keeps one session open at a time).
std::vector<record::SessionSummary> SessionsToSend(const record::LearningRecord& rec, const RecordMarks& b)
{
    std::vector<record::SessionSummary> out;
    for (record::SessionSummary& s : rec.Sessions(b.sessionsDone)) {
        const auto it = b.sessionsSent.find(s.id);
        if (it == b.sessionsSent.end() || it->second != Print(s))
            out.push_back(std::move(s));
    }
    return out;
}

void AdvanceSessions(const record::LearningRecord& rec, RecordMarks& b)
{
    const std::vector<record::SessionSummary> all = rec.Sessions(b.sessionsDone);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto it = b.sessionsSent.find(all[i].id);
        const bool final = all[i].endedAt || i + 1 < all.size();
        if (it == b.sessionsSent.end() || it->second != Print(all[i]) || !final)
            break;
        b.sessionsDone = all[i].id;
        b.sessionsSent.erase(it);
    }
}

bool HasBase(const std::string& folder)
{
    std::error_code ec;
    return std::filesystem::exists(Dir(folder) + kCounterBaseFile, ec);
}

std::string Print(const std::vector<Counter>& counters)
{
    std::string s;
    for (const Counter& c : counters)
        s += c.bango + ":" + std::to_string(c.kaisu) + "," + std::to_string(c.seikaisu) + "," +
             std::to_string(c.nkaisu) + "," + std::to_string(c.nani) + ";";
    return s;
}

// One round for FOLDER: its sessions, up to a batch of answers, its counters. True when more
// answers wait.
bool DeliverRound(Client& client, const std::string& folder)
{
    const FolderLock lock(folder);
    std::optional<Outbox> b = LoadOutbox(folder);
    if (!b || b->token.empty())
        return false;
    bool more = false;
    if (HasRecord(folder)) {
        record::LearningRecord rec;
        rec.OpenForReading(Dir(folder) + record::kFileName);
        RowNames names(folder, *b);
        const std::vector<record::SessionSummary> sessions = SessionsToSend(rec, *b);
        if (!sessions.empty()) {
            std::vector<SessionRow> rows;
            for (const record::SessionSummary& s : sessions)
                rows.push_back({names.Session(s.id), s});
            client.DeliverSessions(b->token, rows);
            for (const record::SessionSummary& s : sessions)
                b->sessionsSent[s.id] = Print(s);
            AdvanceSessions(rec, *b);
            SaveOutbox(folder, *b);
        }
        std::vector<AnswerRow> answers;
        std::int64_t last = b->answersDone;
        rec.ForEachAnswer(
            [&](const record::AnswerInSession& a) {
                answers.push_back({names.Answer(a.id), names.Session(a.session), a.answeredAt, a.answer});
                last = a.id;
            },
            b->answersDone, kBatch);
        if (!answers.empty()) {
            client.DeliverAnswers(b->token, answers);
            b->answersDone = last;
            SaveOutbox(folder, *b);
            more = answers.size() == std::size_t(kBatch);
        }
        if (const std::string date = TestDatePrint(rec.Pupil()); TestDateToSend(date, *b)) {
            const auto bar = date.find('|');
            client.DeliverTestDate(b->token, {date.substr(0, bar), date.substr(bar + 1)});
            b->testDateSent = date;
            SaveOutbox(folder, *b);
        }
    }
    if (HasBase(folder)) {
        const std::vector<Counter> contribution = Contribution(folder);
        const std::string print = Print(contribution);
        if (print != b->countersSent) {
            client.DeliverCounters(b->countersToken.empty() ? b->token : b->countersToken, b->countersSeq + 1,
                                   contribution);
            b->countersSeq += 1;
            b->countersSent = print;
            SaveOutbox(folder, *b);
        }
    }
    return more;
}

}  // namespace

void BindFolder(const std::string& folder, const std::string& token)
{
    Outbox b = LoadOrMakeOutbox(folder);
    b.token = token;
    // Counters laid over for this sign-in are its own; a folder whose counters were kept (some
    // not delivered) goes on with the sign-in whose base they are measured from.
    if (b.countersToken.empty())
        b.countersToken = token;
    SaveOutbox(folder, b);
}

void DeliverNow(Client& client, const std::string& folder)
{
    while (DeliverRound(client, folder)) {
    }
}

int PendingRecordRows(const std::string& folder, const Outbox& b)
{
    if (!HasRecord(folder))
        return 0;
    record::LearningRecord rec;
    rec.OpenForReading(Dir(folder) + record::kFileName);
    // The test date counts as one row while its change is not on the server.
    return rec.CountAnswersAfter(b.answersDone) + int(SessionsToSend(rec, b).size()) +
           (TestDateToSend(TestDatePrint(rec.Pupil()), b) ? 1 : 0);
}

void MarkDelivered(const record::LearningRecord& rec, RecordMarks& b)
{
    const std::vector<record::SessionSummary> sessions = rec.Sessions();
    b.sessionsDone = 0;
    b.sessionsSent.clear();
    for (const record::SessionSummary& s : sessions)
        b.sessionsSent[s.id] = Print(s);
    AdvanceSessions(rec, b);
    // A record put together by a read-back numbers its answers from 1.
    b.answersDone = rec.CountAnswersAfter(0);
}

int PendingIn(const std::string& folder)
{
    std::error_code ec;
    if (!std::filesystem::exists(Dir(folder) + kOutboxFile, ec))
        return 0;   // never bound
    const FolderLock lock(folder);
    const std::optional<Outbox> b = LoadOutbox(folder);
    if (!b)
        return 0;
    int pending = PendingRecordRows(folder, *b);
    // The counters count as one row while their latest change is not on the server.
    if (HasBase(folder) && Print(Contribution(folder)) != b->countersSent)
        ++pending;
    return pending;
}

// The worker: a thread of its own with a Client of its own.
class DeliveryThread {
public:
    DeliveryThread(std::string conninfo, Delivery* owner) : client_(std::move(conninfo)), owner_(owner)
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~DeliveryThread()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void Add(const std::string& folder)
    {
        {
            std::lock_guard lock(mutex_);
            folders_.insert(folder);
            woken_ = true;
        }
        wake_.notify_all();
    }
    void Remove(const std::string& folder)
    {
        std::lock_guard lock(mutex_);
        folders_.erase(folder);
    }
    void Wake()
    {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        wake_.notify_all();
    }
    int Pending() const { return pending_; }

private:
    void Run()
    {
        using namespace std::chrono;
        milliseconds pause{0};
        for (;;) {
            std::set<std::string> folders;
            {
                std::unique_lock lock(mutex_);
                // With nothing failing, a round runs when woken (and every minute, to notice
                // what was stored without a Wake).
                wake_.wait_for(lock, pause.count() ? pause : milliseconds(60000), [this] { return stop_ || woken_; });
                if (stop_)
                    return;
                woken_ = false;
                folders = folders_;
            }
            bool failed = false;
            for (const std::string& folder : folders) {
                try {
                    while (DeliverRound(client_, folder) && !Stopping()) {
                    }
                } catch (const Unreachable& e) {
                    client_.Disconnect();
                    failed = true;
                    emit owner_->deliveryFailed(QString::fromStdString(e.Message()));
                    break;   // the server is away for every folder
                } catch (const std::exception& e) {
                    failed = true;   // this folder only (a refused token waits for a sign-in)
                    emit owner_->deliveryFailed(QString::fromStdString(e.what()));
                }
            }
            pause = failed ? std::min(milliseconds(60000), std::max(milliseconds(1000), pause * 2)) : milliseconds(0);
            int pending = 0;
            for (const std::string& folder : folders) {
                try {
                    pending += PendingIn(folder);
                } catch (const std::exception&) {
                }
            }
            if (pending != pending_.exchange(pending))
                emit owner_->pendingChanged(pending);
        }
    }
    bool Stopping()
    {
        std::lock_guard lock(mutex_);
        return stop_;
    }

    Client client_;
    Delivery* owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::set<std::string> folders_;
    bool woken_ = false;   // AddFolder wakes it
    bool stop_ = false;
    std::atomic<int> pending_{-1};
    std::thread thread_;
};

Delivery::Delivery(std::string conninfo, QObject* parent)
    : QObject(parent), thread_(std::make_unique<DeliveryThread>(std::move(conninfo), this))
{
}

Delivery::~Delivery() { thread_.reset(); }

void Delivery::AddFolder(const std::string& folder) { thread_->Add(folder); }
void Delivery::RemoveFolder(const std::string& folder) { thread_->Remove(folder); }
void Delivery::Wake() { thread_->Wake(); }
int Delivery::Pending() const { return std::max(0, thread_->Pending()); }

}  // namespace school
