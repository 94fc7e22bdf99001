#pragma once
// The program with a school's server (Lentavo.school): the sign-in comes first; a signed-in
// pupil gets the windows of the single-pupil program on their own working folder, named in
// every title; ログアウト destroys them all and the sign-in comes back. What the pupil's drills
// and exams store is delivered by school::Delivery, which outlives the pupils.

#include "SchoolLink.h"
#include "TestDefinition.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>
#include <map>
#include <set>
#include <string>

class PupilTitles;
class SignInWindow;

namespace school {
class Delivery;
}

class SchoolMode : public QObject {
    Q_OBJECT
public:
    // CONNINFO: the server's connection string; FOLDERS: where this PC keeps banks and pupils.
    SchoolMode(const std::string& conninfo, school::SchoolFolders folders, QObject* parent = nullptr);
    // Signs the pupil out (waiting at most the connect timeout) and destroys the windows.
    ~SchoolMode() override;

    // Shows the sign-in and reaches for the server. MOCK, when given, opens over the first
    // pupil's menu as the command line asked.
    void Start(std::optional<exam::Test> mock = std::nullopt);
    // ログアウト: every window closed (a question window writes its drill back; an exam asks
    // first and may keep the pupil here: false) and destroyed, the sign-in shown empty. FORCED
    // (the sign-in was taken over at another PC): nothing asks, a mock under way is left
    // unfinished, and the pupil always leaves.
    enum class Leaving { AsAsked, Forced };
    bool SignOut(Leaving leaving = Leaving::AsAsked);

    // How often the signed-in pupil's sign-in is checked on the server (and at each drill's end).
    static constexpr int kSignInCheckMilliseconds = 10000;
    void SetSignInCheckInterval(int milliseconds) { signInCheckTimer_.setInterval(milliseconds); }
    // What the pupil is told when the sign-in ended elsewhere (STATE: not Active).
    static QString EndedMessage(school::SignInState state);

    SignInWindow* signInWindow() const { return signIn_.get(); }
    // The signed-in pupil; nothing at the sign-in.
    const std::optional<school::SignedInPupil>& pupil() const { return pupil_; }
    // The caption that names PUPIL: "氏名 (番号)".
    static QString Caption(const school::SignedInPupil& pupil);

signals:
    // The menu is shown for a pupil (tests and timing wait for it).
    void menuShown();

private:
    void Connect();
    void AskSignIn(const QString& number, const QString& pin, bool takeOver);
    void OnUnreachable(const QString& message);
    void Enter(const school::SignedInPupil& pupil);
    // Asks for the count of what is not delivered yet, of the signed-in pupil and of those gone.
    void ShowPending();
    // The menu's "未送信 N件" of the signed-in pupil, and the leftovers of those gone let go once
    // delivered. Rows stored since the last look (an answer of a mock, say) are delivered soon.
    void PendingCounted(const std::string& folder, int pending);
    // Asks the server whether the pupil's sign-in still stands; SignInEnded when not: the pupil
    // is signed out here and told why. Undelivered rows stay and go out as after a sign-out.
    void CheckSignIn();
    void SignInEnded(const std::string& token, school::SignInState state);
    void Quit();

    std::unique_ptr<school::SchoolLink> link_;
    std::unique_ptr<school::Delivery> delivery_;
    std::unique_ptr<SignInWindow> signIn_;
    std::unique_ptr<PupilTitles> titles_;
    const school::SchoolFolders folders_;
    std::optional<school::SignedInPupil> pupil_;
    // Asks the link to count FOLDER; the answers come in the order asked.
    void CountPending(const std::string& folder);
    // Folders of pupils gone whose rows are still on their way, each with the number of counts
    // asked before the pupil left (an answer to one of those may be from before the last rows).
    std::map<std::string, int> leftovers_;
    // Found at the start, their count not come yet.
    std::set<std::string> unchecked_;
    std::map<std::string, int> countsAsked_, countsTold_;
    // The sign-in asked and not answered yet: asked again by 再試行.
    struct Request {
        QString number, pin;
        bool takeOver = false;
    };
    std::optional<Request> request_;
    std::optional<exam::Test> mock_;
    QTimer pendingTimer_;
    QTimer signInCheckTimer_;
    int lastPending_ = 0;
};
