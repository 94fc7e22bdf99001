// The exam and results windows as a pupil uses them: keys, the panel of numbers, grading with
// its confirmation, the clock, giving up, practice, and what reaches the learning record.
// With LENTAVO_SCREENSHOTS set, the windows are saved there as PNG files.

#include "ExamData.h"
#include "ExamLauncher.h"
#include "ExamWindow.h"
#include "FigureView.h"
#include "QuestionMap.h"
#include "ResultsWindow.h"

#include "Dialogs.h"
#include "Exception.h"
#include "QuestionStore.h"
#include "Fonts.h"
#include "LearningRecord.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace exam;

namespace {

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(w, Qt::Key(key), mods);
}

void Shoot(QWidget* w, const char* name)
{
    const QString dir = qEnvironmentVariable("LENTAVO_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    w->showNormal();
    w->resize(1022, 768);
    QCoreApplication::processEvents();
    QVERIFY(w->grab().save(dir + "/" + name));
}

template <class T>
T* Child(QWidget* w, const char* name)
{
    T* c = w->findChild<T*>(name);
    if (!c)
        qFatal("no child %s", name);
    return c;
}

}  // namespace

class TestExamWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string data_;
    std::unique_ptr<ExamLauncher> launcher_;
    ExamWindow* exam_ = nullptr;

    void Launch(Test test, std::int64_t seed = 17)
    {
        launcher_ = std::make_unique<ExamLauncher>();
        launcher_->SetDataDirectory(data_);
        launcher_->SetNextSeed(seed);
        exam_ = launcher_->examWindow();
        QVERIFY(launcher_->StartMock(test));
        QVERIFY(exam_->isVisible());
    }

    std::vector<record::SessionSummary> Sessions() { return launcher_->learningRecord()->Sessions(); }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        dialogs::SetTestMode(true);
        data_ = dir_.path().toStdString() + "/";
        examdata::Create(data_, {});
    }
    void init() { dialogs::TakeMessages(); }

    void keysAnswerMoveAndFlag()
    {
        Launch(Test::Karimen);
        QCOMPARE(exam_->paper().questions.size(), 50u);
        QCOMPARE(exam_->paper().seed, 17);
        Shoot(exam_, "exam-statement.png");

        Key(exam_, Qt::Key_1);
        QCOMPARE(exam_->answers()[0][0], 1);
        QCOMPARE(exam_->Current(), 0);   // answering never moves on by itself
        QVERIFY(Child<QPushButton>(exam_, "trueButton")->isChecked());
        Key(exam_, Qt::Key_X);           // a changed mind
        QCOMPARE(exam_->answers()[0][0], 0);
        QVERIFY(!Child<QPushButton>(exam_, "trueButton")->isChecked());
        QVERIFY(Child<QPushButton>(exam_, "falseButton")->isChecked());

        Key(exam_, Qt::Key_Right);
        Key(exam_, Qt::Key_O);
        Key(exam_, Qt::Key_F);
        QCOMPARE(exam_->Current(), 1);
        QCOMPARE(exam_->answers()[1][0], 1);
        QVERIFY(exam_->Flagged(1));
        auto* map = Child<QuestionMap>(exam_, "questionMap");
        QCOMPARE(map->StateOf(1), unsigned(QuestionMap::Answered | QuestionMap::Flagged));
        QCOMPARE(map->StateOf(2), unsigned(QuestionMap::Unanswered));
        Key(exam_, Qt::Key_Left);
        Key(exam_, Qt::Key_Left);        // stays at the first
        QCOMPARE(exam_->Current(), 0);

        // A click on a number goes there; the buttons never take the focus from the keys.
        QTest::mouseClick(map, Qt::LeftButton, {}, map->CellRect(23).center());
        QCOMPARE(exam_->Current(), 23);
        QCOMPARE(map->Current(), 23);
        QTest::mouseClick(Child<QPushButton>(exam_, "nextButton"), Qt::LeftButton);
        QCOMPARE(exam_->Current(), 24);
        QTest::mouseClick(Child<QPushButton>(exam_, "trueButton"), Qt::LeftButton);
        QCOMPARE(exam_->answers()[24][0], 1);
        for (QPushButton* b : exam_->findChildren<QPushButton*>())
            QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        Key(exam_, Qt::Key_2);
        QCOMPARE(exam_->answers()[24][0], 0);
        QVERIFY(Child<QPushButton>(exam_, "prevButton")->isEnabled());
        Key(exam_, Qt::Key_Return);      // answered: Return goes on
        QCOMPARE(exam_->Current(), 25);
        Key(exam_, Qt::Key_Return);      // unanswered: it does not
        QCOMPARE(exam_->Current(), 25);
    }

    void gradingAsksThenRecordsEveryQuestion()
    {
        Launch(Test::Karimen);
        const std::size_t before = Sessions().size();
        const Paper& paper = exam_->paper();
        // 46 right, 1 wrong, 3 unanswered.
        for (int i = 0; i < 47; ++i) {
            const int right = paper.questions[std::size_t(i)].right[0];
            Key(exam_, (i == 5 ? 1 - right : right) == 1 ? Qt::Key_1 : Qt::Key_2);
            Key(exam_, Qt::Key_Right);
        }
        Key(exam_, Qt::Key_Return, Qt::ControlModifier);   // nothing queued: the pupil goes back
        QVERIFY(exam_->Running());
        const QStringList asked = dialogs::TakeMessages();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("未解答の問題が3問"), qPrintable(asked[0]));

        dialogs::QueueConfirmAnswer(true);
        QTest::mouseClick(Child<QPushButton>(exam_, "gradeButton"), Qt::LeftButton);
        QVERIFY(!exam_->Running());
        QVERIFY(!exam_->isVisible());
        QCOMPARE(exam_->result().score, 46);
        QVERIFY(exam_->result().passed);

        const auto sessions = Sessions();
        QCOMPARE(sessions.size(), before);   // begun at the start, not again at grading
        const record::SessionSummary& s = sessions.back();
        QCOMPARE(s.kind, std::string("mock-karimen"));
        QCOMPARE(s.seed, 17);
        QVERIFY(s.endedAt);
        QCOMPARE(s.score, 46);
        QCOMPARE(s.maxScore, 50);
        QCOMPARE(s.passMark, 45);
        QCOMPARE(s.answers, 50);
        QCOMPARE(s.correct, 46);

        ResultsWindow* results = launcher_->resultsWindow();
        QVERIFY(results->isVisible());
        QCOMPARE(Child<QLabel>(results, "verdictLabel")->text(), QStringLiteral("合格"));
        QVERIFY(Child<QLabel>(results, "scoreLabel")->text().startsWith("46 / 50"));
        auto* list = Child<QTableWidget>(results, "questionTable");
        QCOMPARE(list->rowCount(), 50);
        QCOMPARE(list->item(47, 2)->text(), QStringLiteral("未解答"));
        QCOMPARE(list->item(5, 1)->text(), QStringLiteral("×"));
        list->setCurrentCell(5, 0);
        QVERIFY(Child<QLabel>(results, "detailLabel")->text().contains(QStringLiteral("解説")));
        Shoot(results, "results.png");

        // The missed ones, practised: 4 questions, judged at once, each answer recorded then.
        QTest::mouseClick(Child<QPushButton>(results, "practiceButton"), Qt::LeftButton);
        QVERIFY(exam_->Running());
        QVERIFY(exam_->IsPractice());
        QCOMPARE(exam_->paper().questions.size(), 4u);
        const int right = exam_->paper().questions[0].right[0];
        Key(exam_, right == 1 ? Qt::Key_2 : Qt::Key_1);
        QVERIFY(Child<QLabel>(exam_, "judgementLabel")->text().startsWith(QStringLiteral("不正解")));
        Key(exam_, right == 1 ? Qt::Key_1 : Qt::Key_2);   // judged: the answer stands
        QCOMPARE(exam_->answers()[0][0], 1 - right);
        QCOMPARE(Sessions().back().kind, std::string(record::kPractice));
        QCOMPARE(Sessions().back().answers, 1);
        QVERIFY(!Sessions().back().endedAt);
        exam_->close();
        QVERIFY(Sessions().back().endedAt);
        QVERIFY(dialogs::TakeMessages().join("").contains(QStringLiteral("1問中0問正解")));
    }

    void closingAsksAndLeavesTheExamUnfinished()
    {
        Launch(Test::Karimen);
        Key(exam_, Qt::Key_1);
        QVERIFY(!exam_->close());         // nothing queued: "試験に戻る"
        QVERIFY(exam_->Running());
        QVERIFY(exam_->isVisible());
        dialogs::QueueConfirmAnswer(true);
        QVERIFY(exam_->close());
        QVERIFY(!exam_->Running());
        const auto sessions = Sessions();
        QCOMPARE(sessions.back().kind, std::string("mock-karimen"));
        QVERIFY(!sessions.back().endedAt);
        QCOMPARE(sessions.back().answers, 0);
        QCOMPARE(sessions.back().score, std::nullopt);

        // The questions read are kept for the next mock only while the bank stands as it was.
        examdata::Create(data_, {49, 60, 6, 3});
        QVERIFY(!launcher_->StartMock(Test::Karimen));
        QVERIFY(dialogs::TakeMessages().join("").contains(QStringLiteral("49問")));
        examdata::Create(data_, {});
        QVERIFY(launcher_->StartMock(Test::Karimen));
    }

    void clockGradesAtZero()
    {
        qint64 now = 0;
        launcher_ = std::make_unique<ExamLauncher>();
        launcher_->SetDataDirectory(data_);
        exam_ = launcher_->examWindow();
        exam_->SetClockSource([&now] { return now; });
        QVERIFY(launcher_->StartMock(Test::Karimen));
        Key(exam_, Qt::Key_1);
        now = 30 * 60 * 1000 - 1;
        exam_->Tick();
        QVERIFY(exam_->Running());
        QCOMPARE(Child<QLabel>(exam_, "remainingLabel")->text(), QStringLiteral("残り 0:01"));
        now += 1;
        exam_->Tick();
        QVERIFY(!exam_->Running());
        QVERIFY(exam_->TimeRanOut());
        QCOMPARE(exam_->TimeUsed(), std::chrono::minutes(30));
        QCOMPARE(Sessions().back().answers, 50);
        QVERIFY(launcher_->resultsWindow()->isVisible());
    }

    void hazardItemAnsweredByKeys()
    {
        Launch(Test::Honmen, 3);
        QCOMPARE(exam_->paper().questions.size(), 95u);
        exam_->Go(90);
        QVERIFY(Child<QWidget>(exam_, "partsPanel")->isVisible());
        QVERIFY(!Child<QWidget>(exam_, "answerPanel")->isVisible());
        QVERIFY(!Child<FigureView>(exam_, "figureView")->picture().isNull());
        Shoot(exam_, "exam-hazard.png");
        Key(exam_, Qt::Key_1);
        Key(exam_, Qt::Key_2);
        QCOMPARE(exam_->CurrentPart(), 2);
        Key(exam_, Qt::Key_2);
        QCOMPARE(exam_->answers()[90], (std::array<int, 3>{1, 0, 0}));
        QVERIFY(Child<QPushButton>(exam_, "partFalse3")->isChecked());
        Key(exam_, Qt::Key_Up);
        QCOMPARE(exam_->CurrentPart(), 1);
        Key(exam_, Qt::Key_2);
        Key(exam_, Qt::Key_1);           // the third made right
        QCOMPARE(exam_->answers()[90], (std::array<int, 3>{1, 0, 1}));
        exam_->Go(91);
        for (int k : {Qt::Key_1, Qt::Key_1, Qt::Key_1})   // the second is wrong
            Key(exam_, k);
        dialogs::QueueConfirmAnswer(true);
        Key(exam_, Qt::Key_Enter, Qt::ControlModifier);
        QCOMPARE(exam_->result().questions[90].points, 2);
        QCOMPARE(exam_->result().questions[91].points, 0);
        QCOMPARE(ResultsWindow::MissedParts(exam_->paper().questions[91], exam_->result().questions[91]),
                 QStringLiteral("× (2)"));
        QCOMPARE(Sessions().back().answers, 90 + 15);
        QCOMPARE(Sessions().back().maxScore, 100);
    }

    // A question whose text cannot be read (here: a store never opened) is reported by the
    // handler that showed it; nothing escapes into the event loop, and the exam stays open.
    void failureInAHandlerIsReportedNotThrown()
    {
        const Pool pool = [] {
            Pool p;
            for (int i = 0; i < 50; ++i)
                p.statements.push_back({i, std::to_string(i), 1, std::nullopt, 1, false});
            return p;
        }();
        const Paper paper = DrawMock(Test::Karimen, pool, 1);
        auto unread = std::make_shared<QuestionStore>();
        ExamWindow w;
        QVERIFY_THROWS_EXCEPTION(Exception, w.Start(unread, paper, nullptr));
        dialogs::TakeMessages();
        Key(&w, Qt::Key_Right);
        QTest::mouseClick(Child<QPushButton>(&w, "nextButton"), Qt::LeftButton);
        const QStringList told = dialogs::TakeMessages();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains(QStringLiteral("開かれていません")), qPrintable(told[0]));
        QVERIFY(w.Running());

        ResultsWindow results;
        QVERIFY_THROWS_EXCEPTION(Exception, results.ShowResult(unread, paper, BlankAnswers(paper),
                                                               Grade(paper, BlankAnswers(paper)),
                                                               std::chrono::minutes(1), false));
        dialogs::TakeMessages();
        Child<QTableWidget>(&results, "questionTable")->setCurrentCell(3, 0);
        QCOMPARE(dialogs::TakeMessages().size(), 1);
    }

    void figureKeepsItsProportions()
    {
        // A wide picture in a tall view: as wide as the view, centred up and down.
        QCOMPARE(FigureView::Placement(QSize(800, 400), QSize(400, 600)), QRect(0, 200, 400, 200));
        // A small one is drawn as large as fits.
        QCOMPARE(FigureView::Placement(QSize(100, 100), QSize(500, 300)), QRect(100, 0, 300, 300));
        QCOMPARE(FigureView::Placement(QSize(), QSize(500, 300)), QRect());
    }
};

QTEST_MAIN(TestExamWindow)
#include "tst_exam_window.moc"
