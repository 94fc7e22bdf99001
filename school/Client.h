#pragma once
// A PC's conversation with the school's server: sign in, fetch a bank version, read and deliver
// the pupil's counters, deliver sessions and answers, sign out. One connection; use a Client from
// one thread only, and never from the GUI thread (a server away can take the connect timeout).
//
// Every call runs one SECURITY DEFINER function of the schema lentavo with its values as
// parameters. Failures throw: Unreachable (no server, or the connection was lost: try again
// later), TokenRefused (the sign-in is not valid for this: sign in again), Exception (anything
// else, with a message a pupil can read).

#include "Exception.h"
#include "LearningRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace school {

class Connection;

// The server cannot be reached or the connection broke: nothing was refused, retry later.
class Unreachable : public Exception {
public:
    using Exception::Exception;
};

// The token is unknown, expired, signed out (for reading) or another pupil's.
class TokenRefused : public Exception {
public:
    using Exception::Exception;
};

struct SignInResult {
    enum class Status {
        SignedIn,            // token, name, furigana, bankVersion are set
        WrongPin,            // attemptsLeft before the lock
        Locked,              // lockedUntil: too many wrong PINs
        SignedInElsewhere,   // otherPc: sign in again with takeOver to end that sign-in
        UnknownPupil,        // no pupil has this number
    };
    Status status = Status::UnknownPupil;
    std::string token;                // secret, give it to Delivery and the calls below
    std::string name;                 // 氏名
    std::string furigana;             // ふりがな
    std::optional<int> bankVersion;   // the latest bank version; none: no bank pushed yet
    int attemptsLeft = 0;             // WrongPin
    std::string lockedUntil;          // Locked: ISO 8601 UTC
    std::string otherPc;              // SignedInElsewhere: the PC name given there
};

// A bank version's three table files, as pushed.
struct BankFiles {
    int version = 0;
    std::string mondai, advice, kiken;   // the bytes of mondai.cds, advice.cds, kiken.cds
};

// A pupil's drill counters of one statement (mondai.cds, by Bango).
struct Counter {
    std::string bango;
    int kaisu = 0;      // times asked
    int seikaisu = 0;   // times right
    int nkaisu = 0;     // times settled
    int nani = 0;       // difficulty (the latest value wins, see docs/school.md)
    bool operator==(const Counter&) const = default;
};

// A session of the learning record as delivered; uuid is the server's key.
struct SessionRow {
    std::string uuid;
    record::SessionSummary session;   // id, answers and correct are not sent
    std::int64_t seq = 0;             // read back: the order the server received it in
};

// An answer of the learning record as delivered.
struct AnswerRow {
    std::string uuid;
    std::string sessionUuid;
    std::string answeredAt;   // ISO 8601 UTC, the PC's clock
    record::Answer answer;
    std::int64_t seq = 0;     // read back: the order the server received it in
};

// The test the pupil prepares for (a lower-case word, "karimen") and its date, "YYYY-MM-DD";
// both empty: no date.
struct TestDate {
    std::string test, date;
    bool operator==(const TestDate&) const = default;
};

// What became of a sign-in (Client::SignInStatus).
enum class SignInState {
    Active,
    TakenOver,   // the pupil signed in at another PC, which ended this sign-in
    SignedOut,
    Expired,     // older than the 12 hours a sign-in lasts
    Unknown,
};

class Client {
public:
    explicit Client(std::string conninfo);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Connects (again, when the connection is gone); throws Unreachable. Every call below
    // connects first when needed.
    void Connect();
    bool IsConnected() const;
    // Drops the connection (the next call connects again).
    void Disconnect();

    // Signs pupil NUMBER in with PIN at the PC named PC_NAME. TAKE_OVER ends the pupil's sign-in
    // at another PC instead of refusing. A wrong PIN counts on the server: five in a row lock the
    // pupil for ten minutes.
    SignInResult SignIn(const std::string& number, const std::string& pin, const std::string& pcName,
                        bool takeOver);
    // The three files of bank VERSION. Throws TokenRefused / Exception (no such version).
    BankFiles FetchBank(const std::string& token, int version);
    // The signed-in pupil's counters as the server combines them, by Bango.
    std::vector<Counter> Counters(const std::string& token);
    // Stores sessions (a repeat updates its end and score, never its start) and answers (a
    // repeated uuid is a no-op). Returns how many answers were new. Valid after sign-out until
    // the token expires, so that a queue left at a PC still arrives.
    void DeliverSessions(const std::string& token, const std::vector<SessionRow>& sessions);
    int DeliverAnswers(const std::string& token, const std::vector<AnswerRow>& answers);
    // This sign-in's contribution to the pupil's counters (the change since sign-in, see
    // docs/school.md). SEQ grows with each delivery of the same sign-in; an older one is ignored.
    void DeliverCounters(const std::string& token, std::int64_t seq, const std::vector<Counter>& contribution);
    // Every session and answer of the signed-in pupil the server holds, from every PC: sessions
    // by their start, answers in the order answered (the same second: the order received).
    std::vector<SessionRow> PupilSessions(const std::string& token);
    std::vector<AnswerRow> PupilAnswers(const std::string& token);
    // The pupil's test date as last delivered from any PC; none when none ever was.
    std::optional<TestDate> PupilTestDate(const std::string& token);
    void DeliverTestDate(const std::string& token, const TestDate& date);
    // Whether TOKEN's sign-in still stands, and if not why.
    SignInState SignInStatus(const std::string& token);
    // Ends the sign-in (delivery with the token stays possible until it expires).
    void SignOut(const std::string& token);

private:
    std::unique_ptr<Connection> db_;
    std::string conninfo_;
};

}  // namespace school
