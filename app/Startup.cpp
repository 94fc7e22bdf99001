#include "Startup.h"

#include "BuildConfig.h"
#include "DataDirectory.h"
#include "Dialogs.h"
#include "DrillRecovery.h"
#include "ExamLauncher.h"
#include "Exception.h"
#include "Fonts.h"
#include "LearningRecordView.h"
#include "ProgressWindow.h"
#include "Signals.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TForm6.h"
#include "TForm7.h"
#include "Windows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMetaObject>

#include <utility>

void CreateWindows(const std::function<void(QWidget*)>& created)
{
    auto told = [&](QWidget* w) {
        if (created)
            created(w);
    };
    Form1 = new TForm1;
    told(Form1);
    // The mock exams' windows live as long as the menu that asks for them.
    auto* exams = new exam::ExamLauncher(Form1);
    QObject::connect(Form1, &TForm1::mockExamRequested, exams, &exam::ExamLauncher::StartMock);
    Form4 = new TForm4;
    told(Form4);
    Form7 = new TForm7;
    told(Form7);
    Form6 = new TForm6;
    told(Form6);
    Progress = new ProgressWindow;
    told(Progress);
    QObject::connect(Form1, &TForm1::learningRecordRequested, Progress,
                     [] { ShowLearningRecord(Progress, Form1); });
    // The learning record's practice buttons start practice sets in the exam window.
    QObject::connect(Progress, &ProgressWindow::practiceRequested, exams,
                     [exams](ProgressWindow::PracticeKind kind, int bunrui) {
                         switch (kind) {
                         case ProgressWindow::PracticeKind::WrongStatements:
                             exams->StartPractice(exam::PracticeKind::LatestWrong);
                             break;
                         case ProgressWindow::PracticeKind::Item:
                             exams->StartPractice(exam::PracticeKind::SyllabusItem, bunrui);
                             break;
                         case ProgressWindow::PracticeKind::HazardItems:
                             exams->StartPractice(exam::PracticeKind::HazardItems);
                             break;
                         }
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
    try {
        body();
        return true;
    } catch (const Exception& e) {
        dialogs::ShowMessage(nullptr, QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs::ShowMessage(nullptr, QString());
    }
    return false;
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

int RunProgram()
{
    RunGuarded([] {
        InstallToolkitTranslation();
        InstallFontSubstitutions();
        CreateWindows();
        QuitOnTerminationSignals(qApp);
        // The loop's first act is to show the main menu, so its show handler (and the
        // start-up dialog) run inside the loop.
        QMetaObject::invokeMethod(Form1, [] {
            // A drill the last run could not store is offered before anything else.
            OfferToStoreUnstoredDrill(nullptr, SettingsFilePath(), Professional);
            Form1->show();
        }, Qt::QueuedConnection);
        QApplication::exec();
    });
    DestroyWindows();
    return 0;
}
