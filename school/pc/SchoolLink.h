#pragma once
// The PC's sign-in conversation with the school's server, on a thread of its own (a server away
// takes the connect timeout; the windows must not wait for it). Every call returns at once; its
// answer comes back as a signal on the thread that made the link. One call runs at a time, in
// the order asked.

#include "Client.h"
#include "ReadBack.h"
#include "WorkingFolder.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QThread;

namespace school {

// A pupil signed in, with the working folder ready for the drill.
struct SignedInPupil {
    QString number;     // 教習生番号
    QString name;       // 氏名
    QString furigana;   // ふりがな
    std::string token;
    std::string folder;     // the working folder, ending in "/"
    int bankVersion = 0;
    bool bankFetched = false;   // the version was new to this PC
    qint64 milliseconds = 0;    // from the request to the folder ready
    ReadBackReport readBack;    // the pupil's record from every PC, laid into the folder
    qint64 readBackMilliseconds = 0;
};

class SchoolLink : public QObject {
    Q_OBJECT
public:
    SchoolLink(std::string conninfo, SchoolFolders folders, QObject* parent = nullptr);
    // Waits for the call under way (at most the connect timeout), then ends the thread.
    ~SchoolLink() override;

    // Reaches the server: connected() or unreachable().
    void Connect();
    // Signs NUMBER in and fills its working folder: signedIn(), refused(), unreachable() or
    // failed().
    void SignIn(const QString& number, const QString& pin, const QString& pcName, bool takeOver);
    // Ends TOKEN's sign-in; signedOut() whatever the server said (a token it never hears about
    // expires by itself).
    void SignOut(const std::string& token);

    // Asks whether TOKEN's sign-in still stands: signInEnded() when it does not (another PC took
    // it over, or it ran out); nothing when it stands or the server cannot be asked now.
    void CheckSignIn(const std::string& token);

    // Counts FOLDER's rows not yet delivered: pendingCounted(). It reads the folder's bank
    // whole, tens of milliseconds that the windows should not wait.
    void CountPending(const std::string& folder);

    // The pupil folder's rows not yet delivered (0 for a folder the link never bound, -1 when
    // they cannot be counted now).
    static int Pending(const std::string& folder);

signals:
    void connected();
    void unreachable(const QString& message);
    void refused(const school::SignInResult& result);
    void signedIn(const school::SignedInPupil& pupil);
    void failed(const QString& message);
    void signedOut();
    void signInEnded(const std::string& token, school::SignInState state);
    void pendingCounted(const std::string& folder, int pending);

private:
    // Runs WORK on the link's thread with its client.
    void Post(std::function<void(Client&)> work);
    SignedInPupil Prepare(Client& client, const SignInResult& result, const QString& number);

    const SchoolFolders folders_;
    std::unique_ptr<Client> client_;   // used on the link's thread only
    QThread* thread_;
    QObject* worker_;                  // lives on thread_: the context the calls run in
};

}  // namespace school
