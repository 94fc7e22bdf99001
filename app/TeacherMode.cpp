#include "TeacherMode.h"

#include "Config.h"
#include "Connection.h"
#include "Dialogs.h"
#include "Exception.h"
#include "ExceptionBoundary.h"
#include "Fonts.h"
#include "LearningRecordView.h"
#include "Overview.h"
#include "ProgressWindow.h"
#include "Signals.h"
#include "Startup.h"
#include "TeacherOverviewWindow.h"

#include <QApplication>
#include <QPointer>
#include <QThread>

#include <exception>
#include <functional>
#include <memory>

namespace {

// Runs WORK with a connection of its own on a thread of its own; back on the GUI thread, DONE
// gets its result, or the teacher is told what went wrong (FAILED, when given, then runs).
template <class T>
void OffGui(QWidget* window, const std::string& conninfo, std::function<T(school::Connection&)> work,
            std::function<void(T)> done, std::function<void()> failed = {})
{
    auto result = std::make_shared<T>();
    auto error = std::make_shared<std::exception_ptr>();
    QThread* thread = QThread::create([=] {
        try {
            school::Connection db(conninfo);
            *result = work(db);
        } catch (...) {
            *error = std::current_exception();
        }
    });
    QPointer<QWidget> guard(window);
    QObject::connect(thread, &QThread::finished, window, [=] {
        thread->deleteLater();
        if (!guard)
            return;
        if (*error) {
            RunHandler(guard, [&] { std::rethrow_exception(*error); });
            if (failed)
                failed();
            return;
        }
        RunHandler(guard, [&] { done(std::move(*result)); });
    });
    thread->start();
}

// The pupil a 学習記録 window from the server shows, named on it, on its PDF and in its title.
void NamePupil(ProgressWindow& window, const QString& number, const QString& name)
{
    const QString pupil = QStringLiteral("%1 (%2)").arg(name, number);
    window.SetRosterName(pupil);
    window.setWindowTitle(QCoreApplication::translate("TeacherMode", "学習記録 — ") + pupil);
}

class TeacherSession : public QObject {
public:
    TeacherSession(std::string conninfo) : conninfo_(std::move(conninfo))
    {
        window_.setAttribute(Qt::WA_DeleteOnClose, false);
        QObject::connect(&window_, &TeacherOverviewWindow::reloadRequested, this, [this] { Load(); });
        QObject::connect(&window_, &TeacherOverviewWindow::pupilOpened, this,
                         [this](const QString& number, const QString& name) { OpenPupil(number, name); });
        QObject::connect(&window_, &TeacherOverviewWindow::addPupilRequested, this,
                         [this](const school::Pupil& p) { AddPupil(p); });
        QObject::connect(&window_, &TeacherOverviewWindow::resetPinRequested, this,
                         [this](const QString& number, const QString& name) { ResetPin(number, name); });
        QObject::connect(&window_, &TeacherOverviewWindow::markLeftRequested, this,
                         [this](const QString& number, const QString&) { MarkLeft(number); });
    }

    void Start()
    {
        // Fitted as every window of the program: the list, wider than a 1,024-pixel screen at its
        // design size, fills the screen and scrolls sideways rather than running off it.
        window_.ShowFitted();
        Load(true);
    }

private:
    void Load(bool first = false)
    {
        window_.setCursor(Qt::BusyCursor);
        const QTimeZone zone = QTimeZone::systemTimeZone();
        OffGui<std::vector<school::OverviewRow>>(
            &window_, conninfo_,
            [zone](school::Connection& db) {
                school::RequireTeacher(db);
                return school::LoadOverview(db, zone);
            },
            [this](std::vector<school::OverviewRow> rows) {
                window_.unsetCursor();
                window_.SetRows(std::move(rows));
            },
            [this, first] {
                window_.unsetCursor();
                // Without a first list there is nothing to show: the message, then the end.
                if (first)
                    QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
            });
    }

    void OpenPupil(const QString& number, const QString& name)
    {
        const std::string n = number.toStdString();
        OffGui<progress::Snapshot>(
            &window_, conninfo_, [n](school::Connection& db) { return school::LoadPupilSnapshot(db, n); },
            [this, number, name](progress::Snapshot snapshot) {
                auto* record = new ProgressWindow;
                record->setAttribute(Qt::WA_DeleteOnClose);
                record->SetSnapshot(snapshot);
                NamePupil(*record, number, name);
                FitLearningRecord(record);
                record->show();
            });
    }

    void AddPupil(const school::Pupil& pupil)
    {
        OffGui<int>(
            &window_, conninfo_,
            [pupil](school::Connection& db) {
                school::AddPupil(db, pupil);
                return 0;
            },
            [this, pupil](int) {
                dialogs::ShowMessage(&window_, QCoreApplication::translate("TeacherMode", "教習生 %1 %2 を追加しました。PIN: %3\n"
                                                              "このPINは今だけ表示されます。教習生に渡してください。")
                                                   .arg(QString::fromStdString(pupil.number),
                                                        QString::fromStdString(pupil.name),
                                                        QString::fromStdString(pupil.pin)));
                Load();
            });
    }

    void ResetPin(const QString& number, const QString& name)
    {
        const std::string n = number.toStdString();
        OffGui<std::string>(
            &window_, conninfo_, [n](school::Connection& db) { return school::ResetPin(db, n); },
            [this, number, name](std::string pin) {
                dialogs::ShowMessage(&window_, QCoreApplication::translate("TeacherMode", "%1 %2 の新しいPIN: %3\n"
                                                              "このPINは今だけ表示されます。教習生に渡してください。")
                                                   .arg(number, name, QString::fromStdString(pin)));
            });
    }

    void MarkLeft(const QString& number)
    {
        const std::string n = number.toStdString();
        OffGui<int>(
            &window_, conninfo_,
            [n](school::Connection& db) {
                school::MarkLeft(db, n);
                return 0;
            },
            [this](int) { Load(); });
    }

    std::string conninfo_;
    TeacherOverviewWindow window_;
};

}  // namespace

std::string TeacherConninfo(const std::string& db, std::string& message)
{
    if (!db.empty())
        return db;
    const std::optional<std::string> path = SchoolConfigFile();
    if (!path) {
        message = "学校のサーバーの設定 (Lentavo.school) がありません。--db で接続先を指定するか、"
                  "設定ファイルを置いてください。\nNo school configuration (Lentavo.school): give --db CONNINFO.";
        return {};
    }
    try {
        return school::ReadConfig(*path);
    } catch (const Exception& e) {
        message = e.what();
        return {};
    }
}

int RunTeacher(const std::string& db, const std::optional<std::string>& language)
{
    int status = 0;
    RunGuarded([&] {
        InstallToolkitTranslation();
        InstallFontSubstitutions();
        ChooseLanguage(language);
        QuitOnTerminationSignals(qApp);
        dialogs::SetApplicationTitle(QCoreApplication::translate("TeacherMode", "学科練習 管理"));
        std::string message;
        const std::string conninfo = TeacherConninfo(db, message);
        if (conninfo.empty()) {
            dialogs::ShowMessage(nullptr, QString::fromStdString(message));
            status = 1;
            return;
        }
        TeacherSession session(conninfo);
        session.Start();
        status = QApplication::exec();
    });
    return status;
}
