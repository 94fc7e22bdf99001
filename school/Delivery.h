#pragma once
// Delivers what pupils' working folders gained to the school's server, from a thread of its own
// with a connection of its own, never the GUI thread.
//
// Nothing is queued twice and nothing can be lost between two writes: the queue is the folder's
// kiroku.sqlite itself, read past high-water marks kept in FOLDER/school-outbox.json. Each row's
// uuid is made from the folder's random id and the row's id, so a retry after any failure
// inserts nothing twice. Counters: the folder's contribution (Counters.h) is delivered whenever
// it changed. The server away: retried with a growing pause (1 s doubling to 60 s), and again at
// once on Wake().

#include <QObject>

#include <memory>
#include <string>

namespace school {

inline constexpr const char* kOutboxFile = "school-outbox.json";

// Records TOKEN as the token FOLDER's rows are delivered with (call at each sign-in, before
// Delivery::AddFolder). Creates the folder's random id the first time.
void BindFolder(const std::string& folder, const std::string& token);

// Rows of FOLDER not yet delivered (answers, sessions not delivered as they now stand, and one for
// the counters while their latest change is not delivered); 0 for a folder that was never bound.
// Reads only; for a menu or a start-up scan.
int PendingIn(const std::string& folder);

class Client;

// Delivers everything FOLDER holds with CLIENT, here and now (the sign-in, before it reads the
// record back). Throws what the client throws.
void DeliverNow(Client& client, const std::string& folder);

class DeliveryThread;

class Delivery : public QObject {
    Q_OBJECT
public:
    // CONNINFO: the school's connection string. The worker thread starts at once.
    explicit Delivery(std::string conninfo, QObject* parent = nullptr);
    // Stops the worker (a round under way finishes first, at most the connect timeout).
    ~Delivery() override;

    // Delivers FOLDER's rows from now on (a bound folder; see BindFolder). Thread-safe.
    void AddFolder(const std::string& folder);
    // Stops delivering FOLDER (its rows stay queued in it). Thread-safe.
    void RemoveFolder(const std::string& folder);
    // Something was stored: deliver soon, without waiting out the pause. Thread-safe.
    void Wake();
    // Rows not yet delivered in the folders added (the last count the worker saw).
    int Pending() const;

signals:
    // The number of undelivered rows changed (emitted from the worker thread; connect queued).
    void pendingChanged(int pending);
    // A round failed; MESSAGE says why (the server away: it is retried by itself).
    void deliveryFailed(const QString& message);

private:
    std::unique_ptr<DeliveryThread> thread_;
};

}  // namespace school
