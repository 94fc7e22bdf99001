#include "SchoolLink.h"

#include "Counters.h"
#include "Delivery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace school {

SchoolLink::SchoolLink(std::string conninfo, SchoolFolders folders, QObject* parent)
    : QObject(parent),
      folders_(std::move(folders)),
      client_(std::make_unique<Client>(std::move(conninfo))),
      thread_(new QThread(this)),
      worker_(new QObject)
{
    thread_->setObjectName(QStringLiteral("school sign-in"));
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_->start();
}

SchoolLink::~SchoolLink()
{
    thread_->quit();
    thread_->wait();
    // The client's connection ends here, on the thread that made the link, the worker done.
}

void SchoolLink::Post(std::function<void(Client&)> work)
{
    QMetaObject::invokeMethod(worker_, [this, work = std::move(work)] {
        try {
            work(*client_);
        } catch (const Unreachable& e) {
            client_->Disconnect();
            const QString message = QString::fromStdString(e.Message());
            QMetaObject::invokeMethod(this, [this, message] { emit unreachable(message); }, Qt::QueuedConnection);
        } catch (const std::exception& e) {
            const QString message = QString::fromUtf8(e.what());
            QMetaObject::invokeMethod(this, [this, message] { emit failed(message); }, Qt::QueuedConnection);
        }
    }, Qt::QueuedConnection);
}

void SchoolLink::Connect()
{
    Post([this](Client& client) {
        client.Connect();
        QMetaObject::invokeMethod(this, [this] { emit connected(); }, Qt::QueuedConnection);
    });
}

void SchoolLink::SignIn(const QString& number, const QString& pin, const QString& pcName, bool takeOver)
{
    QElapsedTimer clock;
    clock.start();
    Post([this, number, pin = pin.toStdString(), pcName = pcName.toStdString(), takeOver, clock](Client& client) {
        const SignInResult result = client.SignIn(number.toStdString(), pin, pcName, takeOver);
        if (result.status != SignInResult::Status::SignedIn) {
            QMetaObject::invokeMethod(this, [this, result] { emit refused(result); }, Qt::QueuedConnection);
            return;
        }
        SignedInPupil pupil;
        try {
            pupil = Prepare(client, result, number);
        } catch (...) {
            // A sign-in the PC cannot use is no sign-in: the pupil may try again here or elsewhere.
            try {
                client.SignOut(result.token);
            } catch (const std::exception&) {
            }
            throw;
        }
        pupil.milliseconds = clock.elapsed();
        QMetaObject::invokeMethod(this, [this, pupil] { emit signedIn(pupil); }, Qt::QueuedConnection);
    });
}

SignedInPupil SchoolLink::Prepare(Client& client, const SignInResult& result, const QString& number)
{
    if (!result.bankVersion)
        throw Exception(QCoreApplication::translate(
            "school::SchoolLink", "学校の問題データがまだ登録されていません。先生に知らせてください。")
                            .toStdString());
    SignedInPupil pupil;
    pupil.number = number;
    pupil.name = QString::fromStdString(result.name);
    pupil.furigana = QString::fromStdString(result.furigana);
    pupil.token = result.token;
    pupil.bankVersion = *result.bankVersion;
    if (!folders_.HasBank(pupil.bankVersion)) {
        folders_.KeepBank(client.FetchBank(result.token, pupil.bankVersion));
        pupil.bankFetched = true;
    }
    const std::string folder = folders_.PupilFolder(number.toStdString());
    // Counters this PC has not delivered yet stay in the folder's bank, which already holds them
    // together with everything before.
    std::optional<std::vector<Counter>> counters;
    if (PendingIn(folder) == 0)
        counters = client.Counters(result.token);
    pupil.folder = folders_.PrepareWorkingFolder(number.toStdString(), pupil.bankVersion, counters);
    BindFolder(pupil.folder, result.token);
    return pupil;
}

void SchoolLink::SignOut(const std::string& token)
{
    Post([this, token](Client& client) {
        try {
            client.SignOut(token);
        } catch (const std::exception&) {
            // Away or refused: the sign-in ends when its token expires.
        }
        QMetaObject::invokeMethod(this, [this] { emit signedOut(); }, Qt::QueuedConnection);
    });
}

void SchoolLink::CountPending(const std::string& folder)
{
    Post([this, folder](Client&) {
        const int pending = Pending(folder);
        QMetaObject::invokeMethod(this, [this, folder, pending] { emit pendingCounted(folder, pending); },
                                  Qt::QueuedConnection);
    });
}

int SchoolLink::Pending(const std::string& folder)
{
    try {
        return PendingIn(folder);
    } catch (const std::exception&) {
        return -1;   // busy or damaged for the moment: the delivery says what is wrong
    }
}

}  // namespace school
