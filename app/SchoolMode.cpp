#include "SchoolMode.h"

#include "BuildConfig.h"
#include "DataDirectory.h"
#include "Delivery.h"
#include "Dialogs.h"
#include "DrillRecovery.h"
#include "ExceptionBoundary.h"
#include "ProgressWindow.h"
#include "PupilTitles.h"
#include "SignInWindow.h"
#include "Startup.h"
#include "TForm1.h"
#include "TForm4.h"
#include "Windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QScreen>
#include <QSysInfo>

namespace {
// Sign-in timings: QT_LOGGING_RULES="lentavo.school.info=true".
Q_LOGGING_CATEGORY(lcSchool, "lentavo.school", QtWarningMsg)

QElapsedTimer signInClock;
}  // namespace

SchoolMode::SchoolMode(const std::string& conninfo, school::SchoolFolders folders, QObject* parent)
    : QObject(parent),
      link_(std::make_unique<school::SchoolLink>(conninfo, folders)),
      delivery_(std::make_unique<school::Delivery>(conninfo)),
      signIn_(std::make_unique<SignInWindow>()),
      titles_(std::make_unique<PupilTitles>()),
      folders_(std::move(folders))
{
    titles_->Exempt(signIn_.get());
    ConnectHandler(signIn_.get(), &SignInWindow::signInRequested, this,
                   [this](const QString& number, const QString& pin, bool takeOver) { AskSignIn(number, pin, takeOver); });
    ConnectHandler(signIn_.get(), &SignInWindow::quitRequested, this, &SchoolMode::Quit);
    ConnectHandler(link_.get(), &school::SchoolLink::connected, this, [this] { signIn_->Reset(); });
    ConnectHandler(link_.get(), &school::SchoolLink::unreachable, this,
                   [this](const QString& message) { OnUnreachable(message); });
    ConnectHandler(link_.get(), &school::SchoolLink::refused, this, [this](const school::SignInResult& result) {
        request_.reset();
        signIn_->ShowRefusal(result);
    });
    ConnectHandler(link_.get(), &school::SchoolLink::failed, this, [this](const QString& message) {
        request_.reset();
        signIn_->Refuse(message, SignInWindow::Field::Number);
    });
    ConnectHandler(link_.get(), &school::SchoolLink::pendingCounted, this,
                   [this](const std::string& folder, int pending) { PendingCounted(folder, pending); });
    ConnectHandler(link_.get(), &school::SchoolLink::signedIn, this,
                   [this](const school::SignedInPupil& pupil) { Enter(pupil); });
    // Counted in the worker's thread, shown in this one.
    ConnectHandler(delivery_.get(), &school::Delivery::pendingChanged, this, &SchoolMode::ShowPending);
    connect(delivery_.get(), &school::Delivery::deliveryFailed, this,
            [](const QString& message) { qCInfo(lcSchool, "delivery failed: %s", qUtf8Printable(message)); });
    // The windows tell nothing of each answer they store; a look every few seconds finds them.
    pendingTimer_.setInterval(3000);
    ConnectHandler(&pendingTimer_, &QTimer::timeout, this, &SchoolMode::ShowPending);
}

SchoolMode::~SchoolMode()
{
    DestroyWindows();
    UseNoDataDirectory();
    if (pupil_)
        link_->SignOut(pupil_->token);
    // The link waits for the sign-out; the delivery stops after its round.
    link_.reset();
    delivery_.reset();
}

QString SchoolMode::Caption(const school::SignedInPupil& pupil)
{
    return QStringLiteral("%1 (%2)").arg(pupil.name, pupil.number);
}

void SchoolMode::Start(std::optional<exam::Test> mock)
{
    mock_ = mock;
    UseNoDataDirectory();
    // Pupils gone before their answers went out: they still go, and nothing of theirs is shown.
    // Counted off this thread; those with something left are delivered (PendingCounted).
    for (const std::string& folder : folders_.PupilFolders()) {
        unchecked_.insert(folder);
        CountPending(folder);
    }
    // In the middle of the screen, where a pupil looks first.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        signIn_->move(screen->availableGeometry().center() - signIn_->rect().center());
    signIn_->show();
    Connect();
}

void SchoolMode::Connect()
{
    signIn_->SetBusy(tr("学校のサーバーに接続しています…"));
    link_->Connect();
}

void SchoolMode::AskSignIn(const QString& number, const QString& pin, bool takeOver)
{
    signInClock.start();
    request_ = Request{number, pin, takeOver};
    link_->SignIn(number, pin, QSysInfo::machineHostName(), takeOver);
}

void SchoolMode::OnUnreachable(const QString& message)
{
    const QString text = tr("学校のサーバーに接続できません。ネットワークを確かめて、再試行してください。\n\n") + message;
    if (!dialogs::Confirm(signIn_.get(), text, tr("再試行"), tr("終了"), true)) {
        Quit();
        return;
    }
    if (request_)
        AskSignIn(request_->number, request_->pin, request_->takeOver);
    else
        Connect();
}

void SchoolMode::Enter(const school::SignedInPupil& pupil)
{
    request_.reset();
    // The last pupil's windows, should their queued destruction not have run yet.
    DestroyWindows();
    pupil_ = pupil;
    UseDataDirectory(pupil.folder);
    CreateWindows();
    const QString caption = Caption(pupil);
    titles_->Name(caption);
    ConnectHandler(Form1, &TForm1::signOutRequested, this, [this] { SignOut(); });
    // A drill's end stored counters and answers: deliver them now rather than at the next round.
    ConnectHandler(Form4, &TForm4::drillStored, this, [this] {
        delivery_->Wake();
        ShowPending();
    });
    Form1->ShowPupil(caption);
    // 学習記録 and its PDF name the pupil as the school's roster does.
    Progress->SetRosterName(caption);
    delivery_->AddFolder(pupil.folder);
    leftovers_.erase(pupil.folder);
    unchecked_.erase(pupil.folder);
    lastPending_ = 0;
    ShowPending();
    pendingTimer_.start();
    signIn_->Reset();
    signIn_->hide();
    // As at the single pupil's start: a drill the last run could not store is offered first.
    OfferToStoreUnstoredDrill(nullptr, SettingsFilePath(), Professional);
    Form1->show();
    qCInfo(lcSchool, "sign-in to menu: %lld ms (server and working folder %lld ms, bank version %d %s)",
           static_cast<long long>(signInClock.elapsed()), static_cast<long long>(pupil.milliseconds),
           pupil.bankVersion, pupil.bankFetched ? "fetched" : "kept");
    emit menuShown();
    if (mock_)
        emit Form1->mockExamRequested(*std::exchange(mock_, std::nullopt));
}

bool SchoolMode::SignOut()
{
    if (!pupil_)
        return true;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window != Form1 && window != signIn_.get())
            window->close();
    // A drill that could not be written back, or an exam the pupil went back to, keeps them here.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window != Form1 && window != signIn_.get())
            return false;
    const school::SignedInPupil pupil = *std::exchange(pupil_, std::nullopt);
    pendingTimer_.stop();
    titles_->Name(QString());
    UseNoDataDirectory();
    delivery_->Wake();
    leftovers_[pupil.folder] = countsAsked_[pupil.folder];
    link_->SignOut(pupil.token);
    Form1->hide();
    // The menu asked for this from its own button: it is destroyed once that has returned.
    QMetaObject::invokeMethod(this, [] { DestroyWindows(); }, Qt::QueuedConnection);
    ShowPending();
    signIn_->Reset();
    signIn_->show();
    return true;
}

void SchoolMode::ShowPending()
{
    for (const auto& leftover : leftovers_)
        CountPending(leftover.first);
    if (pupil_)
        CountPending(pupil_->folder);
}

void SchoolMode::CountPending(const std::string& folder)
{
    ++countsAsked_[folder];
    link_->CountPending(folder);
}

void SchoolMode::PendingCounted(const std::string& folder, int pending)
{
    const int told = ++countsTold_[folder];
    if (unchecked_.erase(folder) && pending > 0) {
        leftovers_[folder] = 0;
        delivery_->AddFolder(folder);
    } else if (const auto left = leftovers_.find(folder);
               left != leftovers_.end() && told > left->second && pending == 0) {
        delivery_->RemoveFolder(folder);
        leftovers_.erase(left);
    }
    if (!Form1 || !pupil_ || folder != pupil_->folder || pending < 0)
        return;
    if (pending > lastPending_)
        delivery_->Wake();
    lastPending_ = pending;
    Form1->ShowPending(pending);
}

void SchoolMode::Quit() { QCoreApplication::exit(0); }
