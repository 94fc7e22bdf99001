#include "Startup.h"

#include "BuildConfig.h"
#include "DataDirectory.h"
#include "Dialogs.h"
#include "DrillRecovery.h"
#include "ExamLauncher.h"
#include "ExceptionBoundary.h"
#include "Fonts.h"
#include "LanguageChoice.h"
#include "LearningRecordView.h"
#include "ProgressWindow.h"
#include "Signals.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TForm6.h"
#include "TForm7.h"
#include "TodaysReview.h"
#include "Windows.h"
#include "Config.h"
#include "SchoolMode.h"
#include "ExamWindow.h"
#include "LearningRecord.h"
#include "Load.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMetaObject>

#include <memory>
#include <utility>

void CreateWindows(const std::function<void(QWidget*)>& created)
{
    auto told = [&](QWidget* w) {
        if (created)
            created(w);
    };
    Form1 = new TForm1;
    told(Form1);
    SetMainWindow(Form1);
    // The mock exams' windows live as long as the menu that asks for them.
    auto* exams = new exam::ExamLauncher(Form1);
    ConnectHandler(Form1, &TForm1::mockExamRequested, exams, [exams](exam::Test test) { exams->StartMock(test); });
    Form4 = new TForm4;
    told(Form4);
    Form4->ResetSettledCounts = Professional;
    Form7 = new TForm7;
    told(Form7);
    Form7->SetVersion(QString::fromLatin1(Version));
    Form6 = new TForm6;
    told(Form6);
    Progress = new ProgressWindow;
    told(Progress);

    ConnectHandler(Form1, &TForm1::drillRequested, Form4, [](int level) { Form4->StartDrill(level); });
    ConnectHandler(Form1, &TForm1::reviewRequested, Form6, [] { Form6->ShowLatest(); });
    ConnectHandler(Form1, &TForm1::startupInformationRequested, Form7, [] { Form7->ShowAtStartup(); });
    // The drill and the review end the program when they have no data to work on, and the
    // review's "終了" ends it too.
    ConnectHandler(Form4, &TForm4::programEndRequested, Form1, &CloseMainWindow);
    ConnectHandler(Form6, &TForm6::programEndRequested, Form1, &CloseMainWindow);
    ConnectHandler(Form1, &TForm1::learningRecordRequested, Progress,
                   [] { ShowLearningRecord(Progress, Form1); });
    // The learning record's practice buttons start practice sets in the exam window.
    ConnectHandler(Progress, &ProgressWindow::practiceRequested, exams,
                   [exams](exam::PracticeKind kind, int bunrui) { exams->StartPractice(kind, bunrui); });
    Progress->SetPracticeAvailable(true);

    // 今日の復習: its count is read again whenever the pupil is back at the menu and whenever a
    // set or a mock ends, since every answer changes what is due.
    ConnectHandler(Form1, &TForm1::todaysReviewRequested, exams,
                   [exams] { exams->StartPractice(exam::PracticeKind::TodaysReview); });
    // The counter replays the record only when its files changed, so the menu does not stall
    // each time it becomes active.
    auto counter = std::make_shared<TodaysReviewCounter>();
    auto showCount = [counter] { Form1->SetTodaysReviewCount(counter->Count(SettingsFilePath())); };
    auto answered = [showCount] {
        showCount();
        RefreshLearningRecord(Progress);
    };
    ConnectHandler(Form1, &TForm1::activated, Form1, showCount);
    ConnectHandler(exams->examWindow(), &exam::ExamWindow::ended, Form1, answered);
    ConnectHandler(exams->examWindow(), &exam::ExamWindow::graded, Form1, answered);
    showCount();

    // The name and the test date the pupil sets in 学習記録 are kept in the record, so they go
    // wherever the record goes; the test date changes what is due.
    ConnectHandler(Progress, &ProgressWindow::pupilNameChanged, Progress, [](const QString& name) {
        StoreInLearningRecord(Progress, [&](record::LearningRecord& r) { r.SetPupilName(name.toStdString()); });
    });
    ConnectHandler(Progress, &ProgressWindow::testDateChanged, Progress,
                   [showCount](std::optional<study::Test> test, const QDate& date) {
                       StoreInLearningRecord(Progress, [&](record::LearningRecord& r) {
                           r.SetTestDate(test ? study::TestWord(*test) : "", date.toString(Qt::ISODate).toStdString());
                       });
                       showCount();
                   });
}

void DestroyWindows()
{
    delete std::exchange(Progress, nullptr);
    delete std::exchange(Form6, nullptr);
    delete std::exchange(Form7, nullptr);
    delete std::exchange(Form4, nullptr);
    delete std::exchange(Form1, nullptr);
}

bool RunGuarded(const std::function<void()>& body)
{
    // No window is there yet, or any more, to carry the message box.
    return RunHandler(nullptr, body);
}

bool InstallToolkitTranslation()
{
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

std::optional<std::string> SchoolConfigFile()
{
    const std::string dir = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    // A package puts the program in a system folder; its configuration then lives in /etc.
    const bool installed = dir.rfind("/usr/", 0) == 0 || dir.rfind("/opt/", 0) == 0;
    return school::FindConfig(dir, installed);
}

void ChooseLanguage(const std::optional<std::string>& language)
{
    LanguageChoice& choice = LanguageChoice::Instance();
    choice.Restore();
    if (language)
        choice.Choose(honyaku::FindLanguage(*language), choice.mode());
}

namespace {
int RunSchool(const std::string& configFile, std::optional<exam::Test> mock,
              const std::optional<std::string>& language)
{
    RunGuarded([&] {
        InstallToolkitTranslation();
        InstallFontSubstitutions();
        ChooseLanguage(language);
        dialogs::SetApplicationTitle(QString::fromLatin1(Public ? "Tomivel" : "Lentavo"));
        QuitOnTerminationSignals(qApp);
        // A file that cannot be used is told, and the program ends: never a silent fall back to
        // the single pupil's data.
        const std::string conninfo = school::ReadConfig(configFile);
        SchoolMode school(conninfo, school::SchoolFolders(school::SchoolFolders::DefaultRoot(conninfo)));
        QMetaObject::invokeMethod(&school, [&school, mock] { school.Start(mock); }, Qt::QueuedConnection);
        QApplication::exec();
    });
    DestroyWindows();
    return 0;
}
}  // namespace

int RunProgram(std::optional<exam::Test> mock, std::optional<std::string> language)
{
    std::optional<std::string> schoolConfig;
    RunGuarded([&] { schoolConfig = SchoolConfigFile(); });
    if (schoolConfig)
        return RunSchool(*schoolConfig, mock, language);
    RunGuarded([mock, language] {
        InstallToolkitTranslation();
        InstallFontSubstitutions();
        ChooseLanguage(language);
        CreateWindows();
        QuitOnTerminationSignals(qApp);
        // The loop's first act is to show the main menu, so its show handler (and the
        // start-up dialog) run inside the loop. A mock asked for on the command line opens over
        // the menu once it is shown, as if its sign had been clicked.
        QMetaObject::invokeMethod(Form1, [mock] {
            // A drill the last run could not store is offered before anything else.
            OfferToStoreUnstoredDrill(nullptr, SettingsFilePath(), Professional);
            Form1->show();
            if (mock)
                emit Form1->mockExamRequested(*mock);
        }, Qt::QueuedConnection);
        QApplication::exec();
    });
    DestroyWindows();
    return 0;
}
