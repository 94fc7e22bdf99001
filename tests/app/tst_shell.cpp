// Start-up and the main menu with the real window set: creation order, the show sequence for
// both build configurations, the drill and review buttons, the hover highlighting and hand
// zones, and the program's end with a drill still open.

#include "ShellApplication.h"
#include "FormChild.h"
#include "ShellTestData.h"
#include "Startup.h"
#include "DrillRecovery.h"
#include "TForm1.h"
#include "TForm4.h"
#include "TForm6.h"
#include "LearningRecord.h"
#include "ProgressWindow.h"
#include <QStackedWidget>
#include "TForm7.h"
#include "Windows.h"
#include "ExamLauncher.h"
#include "ExamWindow.h"

#include "Dialogs.h"
#include "Exception.h"
#include "Fonts.h"
#include "Highlight.h"
#include "LanguageChoice.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
// Counts the shows a window gets from the program (not the window system's restores).
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show && !e->spontaneous())
            ++shows;
        return false;
    }
};

class Thrower : public QObject {
public:
    bool throwOther = false;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            if (throwOther)
                throw 7;
            throw Exception("表が壊れています");
        }
        return QObject::event(e);
    }
};

// Runs the event loop until the program ends it; 99 when it had to be stopped.
int RunLoop(const std::function<void()>& act)
{
    QTimer::singleShot(0, act);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    return QCoreApplication::exec();
}
}  // namespace

class TestShell : public QObject {
    Q_OBJECT

    std::unique_ptr<testdata::DataDir> data;

    QList<QColor> buttonColours() const
    {
        QList<QColor> c;
        for (QWidget* b : {Child<QPushButton>(Form1, "BitBtn1"), Child<QPushButton>(Form1, "BitBtn2"), Child<QPushButton>(Form1, "BitBtn3"), Child<QPushButton>(Form1, "BitBtn4"), Child<QPushButton>(Form1, "BitBtn5"),
                           Child<QPushButton>(Form1, "BitBtn6"), Child<QPushButton>(Form1, "BitBtn7"), Child<QPushButton>(Form1, "BitBtn8"), Child<QPushButton>(Form1, "BitBtn9")})
            c << highlight::CaptionColour(b);
        return c;
    }
    static QList<QColor> allBlack() { return QList<QColor>(9, highlight::Black); }
    static QList<QColor> redAt(int buttonNumber)
    {
        QList<QColor> c = allBlack();
        c[buttonNumber - 1] = highlight::Red;
        return c;
    }
    static Qt::CursorShape cursorAt(int x, int y)
    {
        QTest::mouseMove(Child<QLabel>(Form1, "Image1"), QPoint(x, y));
        return Form1->cursor().shape();
    }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        dialogs::SetTestMode(true);
    }

    // The file dialog a pupil meets at the first start speaks Japanese like the rest.
    void toolkitTextsAreJapanese()
    {
        const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm";
        if (!QFile::exists(file))
            QSKIP("the toolkit's Japanese translation is not installed");
        QVERIFY(InstallToolkitTranslation());
        const QString open = QCoreApplication::translate("QFileDialog", "&Open");
        QVERIFY2(open.contains(QStringLiteral("開く")), qPrintable(open));
    }

    void init()
    {
        data = std::make_unique<testdata::DataDir>();
        QVERIFY(data->valid());
        data->writeAll();
        dialogs::TakeMessages();
    }

    void cleanup()
    {
        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        DestroyWindows();
        data.reset();
    }

    void guardedRegionShowsTheMessage()
    {
        QVERIFY(!RunGuarded([] { throw Exception("ウィンドウを作れません"); }));
        QCOMPARE(dialogs::TakeMessages(), QStringList{QStringLiteral("ウィンドウを作れません")});
        QVERIFY(!RunGuarded([] { throw std::bad_alloc(); }));
        QCOMPARE(dialogs::TakeMessages(), QStringList{QString()});
        QVERIFY(RunGuarded([] {}));
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void failureInAHandlerIsShownAndTheLoopGoesOn()
    {
        Thrower t;
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(&t, &e);
        t.throwOther = true;
        QCoreApplication::sendEvent(&t, &e);
        QCOMPARE(dialogs::TakeMessages(), (QStringList{QStringLiteral("表が壊れています"), QString()}));
        bool later = false;
        QTimer::singleShot(0, [&] { later = true; });
        QTRY_VERIFY(later);
    }

    void windowsAreCreatedInOrderAndOnlyTheMenuShows()
    {
        QStringList order;
        CreateWindows([&](QWidget* w) { order << w->metaObject()->className(); });
        QCOMPARE(order, (QStringList{"TForm1", "TForm4", "TForm7", "TForm6", "ProgressWindow"}));
        QCOMPARE(MainWindow(), static_cast<QWidget*>(Form1));
        for (QWidget* w : std::initializer_list<QWidget*>{Form1, Form4, Form7, Form6})
            QVERIFY(!w->isVisible());

        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QVERIFY(!Form4->isVisible() && !Form6->isVisible() && !Form7->isVisible());
        QCOMPARE(dialogs::ApplicationTitle(), QStringLiteral("Tomivel"));
        QVERIFY(Child<QLabel>(Form7, "Version")->text().endsWith(QStringLiteral("Ver.1.00")));
        QCOMPARE(Form1->windowTitle(), QStringLiteral("学科練習システム"));
        // The frame, title bar and all, at the top-left corner: the test platform draws a 2-pixel
        // frame around the client area and keeps it from the screen's left edge (the end-to-end
        // tests see the -2 of the design).
        QCOMPARE(Form1->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(Form1->width(), 1022);
        QCOMPARE(Form1->height(), 768);
        QCOMPARE(Child<QLabel>(Form1, "Image1")->size(), QSize(1022, 768));
        QCOMPARE(buttonColours(), allBlack());

        // BitBtn1 is hidden and out of the tab chain.
        QVERIFY(!Child<QPushButton>(Form1, "BitBtn1")->isVisible());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Child<QPushButton>(Form1, "BitBtn6")));
        QList<QWidget*> chain;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            chain << QApplication::focusWidget();
        }
        QCOMPARE(chain, (QList<QWidget*>{Child<QPushButton>(Form1, "BitBtn4"), Child<QPushButton>(Form1, "BitBtn5"), Child<QPushButton>(Form1, "BitBtn3"), Child<QPushButton>(Form1, "BitBtn7"),
                                         Child<QPushButton>(Form1, "BitBtn8"), Child<QPushButton>(Form1, "BitBtn9"), Child<QPushButton>(Form1, "ProgressButton"),
                                         Child<QPushButton>(Form1, "TodaysReviewButton"), Child<QPushButton>(Form1, "BitBtn2"), Child<QPushButton>(Form1, "BitBtn6")}));

        DestroyWindows();
        QVERIFY(!Form1 && !Form4 && !Form6 && !Form7);
    }

    // No button of the menu lies over another, the hidden settings button included, and the
    // 今日の復習 caption holds a three-digit count in the longest of its languages.
    void menuButtonsDoNotOverlap()
    {
        CreateWindows();
        const QList<QPushButton*> buttons = Form1->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(buttons.size() >= 14);
        for (QPushButton* a : buttons)
            for (QPushButton* b : buttons)
                QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + " / " + b->objectName()));
        auto* review = Child<QPushButton>(Form1, "TodaysReviewButton");
        for (const QString& caption : {QStringLiteral("今日の復習  999問"), QStringLiteral("Today's review  999"),
                                       QStringLiteral("Ôn tập hôm nay  999"), QStringLiteral("今日复习  999")})
            QVERIFY2(review->fontMetrics().horizontalAdvance(caption) + 24 <= review->width(), qPrintable(caption));
    }

    void professionalBuildShowsTheSettingsButton()
    {
        CreateWindows();
        Form1->SetBuildConfig(true, true);
        Form1->show();
        QVERIFY(Child<QPushButton>(Form1, "BitBtn1")->isVisible());
    }

    void nonPublicBuildShowsTheDialogFirst()
    {
        CreateWindows();
        Form1->SetBuildConfig(false, false);
        QString captionDuring;
        bool modal = false;
        bool timedOut = false;
        QTimer::singleShot(0, [&] {
            captionDuring = Child<QPushButton>(Form7, "BitBtn1")->text();
            modal = QApplication::activeModalWidget() == Form7;
            QTest::mouseClick(Child<QPushButton>(Form7, "BitBtn1"), Qt::LeftButton);
        });
        QTimer::singleShot(5000, [&] {
            timedOut = true;
            Form7->reject();
        });
        Form1->show();   // returns once the dialog is closed
        QVERIFY(!timedOut);
        QCOMPARE(captionDuring, QStringLiteral("問題画面へ移動"));
        QVERIFY(modal);
        QVERIFY(!Form7->isVisible());
        QCOMPARE(Child<QPushButton>(Form7, "BitBtn1")->text(), QStringLiteral("閉じる"));
        QCOMPARE(dialogs::ApplicationTitle(), QStringLiteral("Lentavo"));
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        QCOMPARE(Form1->frameGeometry().topLeft(), QPoint(0, 0));
    }

    void drillButtonsSetTheLevelAndShowTheQuestionWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("level");
        QTest::newRow("仮免 簡単") << "BitBtn6" << 0;
        QTest::newRow("仮免 普通") << "BitBtn4" << 5;
        QTest::newRow("仮免 難問") << "BitBtn5" << 15;
        QTest::newRow("本免 簡単") << "BitBtn3" << 0;
        QTest::newRow("本免 普通") << "BitBtn7" << 5;
        QTest::newRow("本免 難問") << "BitBtn8" << 15;
    }
    void drillButtonsSetTheLevelAndShowTheQuestionWindow()
    {
        QFETCH(QString, button);
        QFETCH(int, level);
        CreateWindows();
        Form1->show();
        ShowCounter counter;
        Form4->installEventFilter(&counter);
        Form4->DrillLevel = 42;

        QTest::mouseClick(Form1->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(Form4->DrillLevel, level);
        QVERIFY(Form4->isVisible());
        QCOMPARE(counter.shows, 1);
        QVERIFY(Form1->isVisible());
        QCOMPARE(dialogs::TakeMessages(), QStringList());

        // Another drill button while the drill is on screen: that drill comes forward as it
        // is, its level untouched, no new drill.
        QPushButton* other = button == "BitBtn5" ? Child<QPushButton>(Form1, "BitBtn6") : Child<QPushButton>(Form1, "BitBtn5");
        Form1->activateWindow();
        QTest::mouseClick(other, Qt::LeftButton);
        QCOMPARE(Form4->DrillLevel, level);
        QCOMPARE(counter.shows, 1);
        QVERIFY(Form4->isVisible());
    }

    void reviewButtonShowsTheReviewOnce()
    {
        CreateWindows();
        Form1->show();
        ShowCounter counter;
        Form6->installEventFilter(&counter);
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn9"), Qt::LeftButton);
        QVERIFY(Form6->isVisible());
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn9"), Qt::LeftButton);
        QCOMPARE(counter.shows, 1);
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    // The review left open behind the menu shows the latest drill when 問題の見直し brings
    // it forward again.
    void reviewLeftOpenReadsTheLatestHistoryWhenBroughtForward()
    {
        CreateWindows();
        Form1->show();
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn9"), Qt::LeftButton);
        const int before = Child<QTableView>(Form6, "DBGrid1")->model()->rowCount();
        data->writeHistory({{"0003", 1, QStringLiteral("別の練習")}, {"0001", 0, QStringLiteral("別の練習")},
                            {"0002", 1, QStringLiteral("別の練習")}, {"0003", 0, QStringLiteral("別の練習")}});
        Form1->raise();
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn9"), Qt::LeftButton);
        QVERIFY(Form6->isVisible());
        QCOMPARE(Child<QTableView>(Form6, "DBGrid1")->model()->rowCount(), 4);
        QVERIFY(before != 4);
        QCOMPARE(Child<QTableView>(Form6, "DBGrid1")->model()->index(0, 0).data().toString(), QStringLiteral("0003"));
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void mockButtonsSitOnTheSignsAndAskForTheMocks()
    {
        CreateWindows();
        Form1->show();
        for (QPushButton* b : {Child<QPushButton>(Form1, "MockKarimenButton"), Child<QPushButton>(Form1, "MockHonmenButton")}) {
            const QRect g = b->geometry();
            QVERIFY(b->isVisible());
            QVERIFY2(TForm1::InHandZone(g.left(), g.top()) && TForm1::InHandZone(g.right(), g.bottom()),
                     qPrintable(b->objectName()));
        }
        // The third sign hangs beside the 本免 one, whose statements it asks, clear of every
        // first-edition button (the school edition's 問題設定 below the signs included) and of
        // the picture's hand zones.
        auto* gaimenSign = Child<QPushButton>(Form1, "MockGaimenButton");
        auto* honmenSign = Child<QPushButton>(Form1, "MockHonmenButton");
        const QRect gaimen = gaimenSign->geometry();
        QVERIFY(gaimenSign->isVisible());
        QVERIFY(Form1->rect().contains(gaimen));
        QCOMPARE(gaimen.top(), honmenSign->geometry().top());
        QVERIFY(gaimen.right() < honmenSign->geometry().left());
        for (QPushButton* b : Form1->findChildren<QPushButton*>(QRegularExpression("^BitBtn")))
            QVERIFY2(!gaimen.intersects(b->geometry()), qPrintable(b->objectName()));
        for (const QPoint& corner : {gaimen.topLeft(), gaimen.topRight(), gaimen.bottomLeft(), gaimen.bottomRight()})
            QVERIFY(!TForm1::InHandZone(corner.x(), corner.y()));
        // Each sign says what its test's definition says.
        QCOMPARE(honmenSign->text(), QStringLiteral("本免 模擬試験 ▶\n95問・50分"));
        QCOMPARE(gaimenSign->text(), QStringLiteral("外免切替 模擬試験 ▶\n50問・30分"));

        QSignalSpy asked(Form1, &TForm1::mockExamRequested);
        QTest::mouseClick(Child<QPushButton>(Form1, "MockHonmenButton"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(Form1, "MockKarimenButton"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(Form1, "MockGaimenButton"), Qt::LeftButton);
        QCOMPARE(asked.count(), 3);
        QCOMPARE(asked[0][0].value<exam::Test>(), exam::Test::Honmen);
        QCOMPARE(asked[1][0].value<exam::Test>(), exam::Test::Karimen);
        QCOMPARE(asked[2][0].value<exam::Test>(), exam::Test::Gaimen);
        // The program answers the request: the test bank is far too small for a mock, and the
        // pupil is told with the counts; no drill was started and the bank is not touched.
        const QString told = dialogs::TakeMessages().join("\n");
        QVERIFY2(told.contains(QStringLiteral("仮免の模擬試験には問題が50問必要")), qPrintable(told));
        QVERIFY(!Form4->isVisible());
    }

    // At the first start the pupil meets one data-file dialog, whichever of the drill, the mock
    // exam or the learning record asks first.
    void firstStartAsksWithTheSameDialogFromEveryButton()
    {
        QList<dialogs::OpenFileOptions> asked;
        for (const char* button : {"BitBtn6", "MockKarimenButton", "ProgressButton"}) {
            CreateWindows();
            Form1->show();
            QFile::remove(QString::fromStdString(data->settingsPath()));
            QTest::mouseClick(Form1->findChild<QPushButton*>(button), Qt::LeftButton);   // cancelled
            const auto dialogsAsked = dialogs::TakeFileDialogs();
            QVERIFY2(dialogsAsked.size() == 1, button);
            asked << dialogsAsked[0];
            // Cancelled, the drill ends the program (it will not drill on no data); the others
            // leave the menu open.
            QCOMPARE(Form1->isVisible(), std::string(button) != "BitBtn6");
            DestroyWindows();
            dialogs::TakeMessages();
        }
        QCOMPARE(asked[0].title, QStringLiteral("問題データファイルを開いてください。"));
        for (const dialogs::OpenFileOptions& o : asked) {
            QCOMPARE(o.title, asked[0].title);
            QCOMPARE(o.filters, (QStringList{"データファイル(*.cds)", "すべてのファイル(*)"}));
            QVERIFY(o.fileMustExist);
        }
    }

    // The learning record's practice buttons reach the exam window's practice sets.
    void practiceFromTheLearningRecordStartsInTheExamWindow()
    {
        CreateWindows();
        Form1->show();
        emit Progress->practiceRequested(exam::PracticeKind::HazardItems, 0);
        QCOMPARE(dialogs::TakeMessages(), QStringList(QStringLiteral("危険予測の問題ファイル(kiken.cds)がありません。")));
        emit Progress->practiceRequested(exam::PracticeKind::SyllabusItem, 101);   // no code in this bank
        QCOMPARE(dialogs::TakeMessages(), QStringList(QStringLiteral("練習できる問題がありません。")));
    }

    // "学習記録" reads the record afresh at each click; it never creates one by looking.
    void learningRecordButtonOpensTheRecord()
    {
        CreateWindows();
        Form1->show();
        const QString recordFile = QString::fromStdString(data->file(record::kFileName));
        auto page = [] { return Progress->findChild<QStackedWidget*>("pages")->currentWidget()->objectName(); };
        QTest::mouseClick(Child<QPushButton>(Form1, "ProgressButton"), Qt::LeftButton);
        QVERIFY(Progress->isVisible());
        QCOMPARE(page(), QStringLiteral("emptyPage"));
        QVERIFY(!QFile::exists(recordFile));
        QCOMPARE(dialogs::TakeMessages(), QStringList());
        Progress->close();

        {
            record::LearningRecord rec;
            rec.Open(recordFile.toStdString());
            const auto id = rec.BeginSession({record::kDrill, 0, std::nullopt});
            record::Answer a;
            a.bango = "0002";
            a.answer = 1;
            a.correct = false;
            rec.AddAnswer(id, a);
            rec.EndSession(id);
        }
        QTest::mouseClick(Child<QPushButton>(Form1, "ProgressButton"), Qt::LeftButton);
        QVERIFY(Progress->isVisible());
        QCOMPARE(page(), QStringLiteral("contentPage"));
        QCOMPARE(Progress->CurrentSummary().answers, 1);
        QCOMPARE(Progress->CurrentSummary().latestWrong, 1);
        QCOMPARE(Progress->CurrentSummary().neverAnswered, 2);   // 0001 and 0003 of the bank
        // The program answers the practice buttons, so the one with something to practise is on.
        QVERIFY(Child<QPushButton>(Progress, "practiseWrongButton")->isEnabled());
        Progress->close();

        // A file that is not a record: the pupil is told and the window stays closed.
        QFile::remove(recordFile + "-wal");
        QFile::remove(recordFile + "-shm");
        QFile bad(recordFile);
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write(QByteArray(4096, 'x'));
        bad.close();
        QTest::mouseClick(Child<QPushButton>(Form1, "ProgressButton"), Qt::LeftButton);
        QVERIFY(!Progress->isVisible());
        const QStringList said = dialogs::TakeMessages();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].startsWith(QStringLiteral("学習記録を開けませんでした")), qPrintable(said[0]));
    }

    // 今日の復習 from the menu: the count on the button, the set judged at once in the exam
    // window and recorded, and the count down once it is done; an empty queue says so first.
    void todaysReviewFromTheMenu()
    {
        CreateWindows();
        Form1->show();
        auto* button = Child<QPushButton>(Form1, "TodaysReviewButton");
        QCOMPARE(button->text(), QStringLiteral("今日の復習  3問"));   // the bank's three, all new
        QTest::mouseClick(button, Qt::LeftButton);
        auto* exams = Form1->findChild<exam::ExamLauncher*>();
        exam::ExamWindow* window = exams->examWindow();
        QVERIFY(window->Running() && window->IsPractice() && window->isVisible());
        QCOMPARE(window->paper().questions.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            window->Go(i);
            window->Answer(window->paper().questions[std::size_t(i)].right[0]);
            QVERIFY(Child<QLabel>(window, "judgementLabel")->text().startsWith(QStringLiteral("正解")));
        }
        window->RequestGrade();
        QVERIFY(!window->Running());
        QCOMPARE(dialogs::TakeMessages(), QStringList(QStringLiteral("練習を終えました。3問中3問正解でした。")));
        record::LearningRecord rec;
        rec.OpenForReading(data->file(record::kFileName));
        QCOMPARE(rec.Sessions().back().kind, std::string(record::kPractice));
        QCOMPARE(rec.Sessions().back().correct, 3);
        QCOMPARE(button->text(), QStringLiteral("今日の復習  0問"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!window->Running());
        QCOMPARE(dialogs::TakeMessages(), QStringList(QStringLiteral("今日の復習はもうありません。明日また来てください。")));

        // The test date set in 学習記録 is kept in the record, where the scheduler reads it.
        const QDate testDay = QDate::currentDate().addDays(10);
        emit Progress->testDateChanged(study::Test::Honmen, testDay);
        rec.OpenForReading(data->file(record::kFileName));
        QCOMPARE(rec.Pupil().test, std::optional<std::string>("honmen"));
        QCOMPARE(rec.Pupil().testDate, std::optional<std::string>(testDay.toString(Qt::ISODate).toStdString()));
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    // A change of language with the menu on screen keeps its counts: the .ui's retranslation
    // alone would put back the bare caption and an empty strip.
    void menuCountsSurviveALanguageChange()
    {
        CreateWindows();
        Form1->show();
        QCoreApplication::processEvents();
        Form1->ShowPending(2);
        auto* button = Child<QPushButton>(Form1, "TodaysReviewButton");
        auto* pending = Child<QLabel>(Form1, "PendingLabel");
        LanguageChoice::Instance().Choose(honyaku::FindLanguage("vi"), honyaku::Mode::Both);
        QCoreApplication::processEvents();   // the windows hear of the language by a posted event
        QCOMPARE(button->text(), QStringLiteral("Ôn tập hôm nay: 3 câu"));
        QCOMPARE(pending->text(), QStringLiteral("Chưa gửi: 2"));
        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        QCoreApplication::processEvents();
        QCOMPARE(button->text(), QStringLiteral("今日の復習  3問"));   // the bank's three, all new
        QCOMPARE(pending->text(), QStringLiteral("未送信 2件"));
    }

    void hoverHighlightsAndHandZones()
    {
        CreateWindows();
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        QTest::mouseMove(Child<QPushButton>(Form1, "BitBtn6"), Child<QPushButton>(Form1, "BitBtn6")->rect().center());
        QCOMPARE(buttonColours(), redAt(6));
        QTest::mouseMove(Child<QPushButton>(Form1, "BitBtn4"), Child<QPushButton>(Form1, "BitBtn4")->rect().center());
        QCOMPARE(buttonColours(), redAt(4));
        QTest::mouseMove(Child<QLabel>(Form1, "Image1"), QPoint(20, 700));
        QCOMPARE(buttonColours(), allBlack());

        QCOMPARE(cursorAt(677, 4), Qt::PointingHandCursor);
        QCOMPARE(cursorAt(676, 4), Qt::ArrowCursor);
        QCOMPARE(cursorAt(677, 59), Qt::ArrowCursor);
        QCOMPARE(cursorAt(1019, 58), Qt::PointingHandCursor);
        QCOMPARE(cursorAt(112, 83), Qt::PointingHandCursor);
        QCOMPARE(cursorAt(556, 157), Qt::ArrowCursor);
        QCOMPARE(cursorAt(817, 149), Qt::PointingHandCursor);
        QCOMPARE(cursorAt(1019, 222), Qt::PointingHandCursor);
        QCOMPARE(cursorAt(1019, 223), Qt::ArrowCursor);
        QCOMPARE(cursorAt(816, 100), Qt::ArrowCursor);
        // The buttons keep their own hand pointer.
        QCOMPARE(Child<QPushButton>(Form1, "BitBtn2")->cursor().shape(), Qt::PointingHandCursor);
    }

    void closingTheMenuEndsTheProgramAndTheDrillIsStored()
    {
        CreateWindows();
        Form1->show();
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn6"), Qt::LeftButton);
        QVERIFY(Child<QPushButton>(Form4, "BitBtn3")->isEnabled());
        QTest::mouseClick(Child<QPushButton>(Form4, "BitBtn3"), Qt::LeftButton);

        QCOMPARE(RunLoop([] { QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn2"), Qt::LeftButton); }), 0);
        QVERIFY(!Form1->isVisible());
        // The question window's close handler did not run: its tables are still open ...
        QVERIFY(Form4->Table2->Active());
        // ... and reach their files as the windows are destroyed.
        DestroyWindows();
        QCOMPARE(testdata::CountRecords(data->file(layouts::kHistoryFile)), 1);
    }

    // The menu's 終了 with a history that cannot be written (replaced by another file, as a
    // read-only one is refused for an ordinary user): neither file is written. The bank's
    // counters were stored alone before, out of step with the history.
    void menuQuitWithAnUnwritableHistoryWritesNeitherFile()
    {
        CreateWindows();
        Form1->show();
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn6"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(Form4, "BitBtn3"), Qt::LeftButton);
        const QString history = QString::fromStdString(data->file(layouts::kHistoryFile));
        const QString bank = QString::fromStdString(data->file(layouts::kBankFile));
        QFile::remove(history);
        QVERIFY(QDir().mkdir(history));   // there, but no file to write into
        QFile bankFile(bank);
        QVERIFY(bankFile.open(QIODevice::ReadOnly));
        const QByteArray bankBefore = bankFile.readAll();
        bankFile.close();

        QCOMPARE(RunLoop([] { QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn2"), Qt::LeftButton); }), 0);
        DestroyWindows();
        QVERIFY(bankFile.open(QIODevice::ReadOnly));
        QCOMPARE(bankFile.readAll(), bankBefore);
        QVERIFY(QFileInfo(history).isDir());
        QDir().rmdir(history);
    }

    // A drill the record kept but the files lost is offered at the start, default yes, and
    // stored once; "保存しない" changes nothing. No record, or a drill stored, asks nothing.
    void startOffersToStoreADrillTheRecordKept()
    {
        data->writeSettings();
        const std::string settingsFile = data->settingsPath();
        OfferToStoreUnstoredDrill(nullptr, settingsFile, false);   // no record yet
        QCOMPARE(dialogs::TakeMessages(), QStringList());
        {
            record::LearningRecord rec;
            rec.Open(data->file(record::kFileName));
            const auto id = rec.BeginSession({record::kDrill, 0, std::nullopt});
            for (const auto& [bango, answer] : {std::pair{"0002", 1}, std::pair{"0001", 0}}) {
                record::Answer a;
                a.bango = bango;
                a.answer = answer;
                a.correct = true;
                rec.AddAnswer(id, a);
            }
        }
        const int before = testdata::CountRecords(data->file(layouts::kHistoryFile));
        dialogs::QueueConfirmAnswer(false);
        OfferToStoreUnstoredDrill(nullptr, settingsFile, false);
        const QStringList asked = dialogs::TakeMessages();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(QStringLiteral("2問")), qPrintable(asked[0]));
        QCOMPARE(testdata::CountRecords(data->file(layouts::kHistoryFile)), before);

        dialogs::QueueConfirmAnswer(true);
        OfferToStoreUnstoredDrill(nullptr, settingsFile, false);
        QVERIFY(dialogs::TakeMessages().join("").contains(QStringLiteral("保存しました")));
        QCOMPARE(testdata::CountRecords(data->file(layouts::kHistoryFile)), 2);
        OfferToStoreUnstoredDrill(nullptr, settingsFile, false);
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void reviewQuitEndsTheProgram()
    {
        CreateWindows();
        Form1->show();
        QTest::mouseClick(Child<QPushButton>(Form1, "BitBtn9"), Qt::LeftButton);
        QCOMPARE(RunLoop([] { QTest::mouseClick(Child<QPushButton>(Form6, "Button1"), Qt::LeftButton); }), 0);
        QVERIFY(!Form1->isVisible());
    }
};

int main(int argc, char** argv)
{
    ShellApplication app(argc, argv);
    TestShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell.moc"
