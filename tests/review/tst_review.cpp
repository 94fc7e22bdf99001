// The review window over real table files: the grid, the question pane following it, the
// reading of the history at every showing, and the ways a showing can fail.

#include "Dialogs.h"
#include "FormChild.h"
#include "DBEdit.h"
#include "DBImage.h"
#include "DBMemo.h"
#include "Fonts.h"
#include "HistoryModel.h"
#include "TForm6.h"
#include "app/ShellTestData.h"

#include <QFile>
#include <QScrollBar>
#include <QTest>

#include <sqlite3.h>

using testdata::Answer;

class TestReview : public QObject {
    Q_OBJECT

    std::unique_ptr<testdata::DataDir> data;
    std::unique_ptr<QWidget> mainWindow;   // stands in for the menu, whose closing ends the program
    std::unique_ptr<TForm6> form;

    QString cell(int row, int column) const
    {
        return Child<QTableView>(form, "DBGrid1")->model()->index(row, column).data().toString();
    }
    QString question() const { return Child<DBMemo>(form, "DBMemo1")->toPlainText(); }
    static QString bankText(int i) { return testdata::DataDir::StandardBank()[std::size_t(i)].mondai; }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        dialogs::SetTestMode(true);
    }

    void init()
    {
        data = std::make_unique<testdata::DataDir>();
        QVERIFY(data->valid());
        data->writeAll();
        data->writeHistory({{"0002", 1, bankText(1)}, {"0001", 0, bankText(0)}, {"0002", 0, bankText(1)}});
        mainWindow = std::make_unique<QWidget>();
        mainWindow->show();
        form = std::make_unique<TForm6>();
        // As the program wires it: the review's end request closes the menu.
        QObject::connect(form.get(), &TForm6::programEndRequested, mainWindow.get(), &QWidget::close);
        dialogs::TakeMessages();
        dialogs::TakeFileDialogs();
    }

    void cleanup()
    {
        form.reset();
        mainWindow.reset();
        data.reset();
    }

    void showsLatestHistoryAndFirstRowsQuestion()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(dialogs::TakeMessages(), QStringList());
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->model()->rowCount(), 3);
        QCOMPARE(cell(0, 0), QStringLiteral("0002"));
        QCOMPARE(cell(0, 1), QStringLiteral("1"));
        QCOMPARE(cell(1, 1), QStringLiteral("0"));
        QCOMPARE(cell(1, 2), bankText(0));
        QCOMPARE(question(), bankText(1));
        QCOMPARE(Child<DBMemo>(form, "DBMemo2")->toPlainText(),
                 testdata::DataDir::StandardBank()[1].kaisetsu);
        QVERIFY(Child<DBImage>(form, "DBImage2")->picture().isNull());

        const auto* model = Child<QTableView>(form, "DBGrid1")->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("番号"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("正誤"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("問題"));
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->columnWidth(1), 25);

        // The frame, title bar and all, at the top-left corner: the test platform draws a 2-pixel
        // frame around the client area and keeps it from the screen's left edge (the end-to-end
        // tests see the -2 of the design).
        QCOMPARE(form->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(form->width(), 1022);
        QCOMPARE(form->height(), 768);
        QVERIFY(mainWindow->isVisible());
    }

    void paneFollowsTheSelectedRow()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(QApplication::focusWidget(), Child<QTableView>(form, "DBGrid1"));

        Child<QTableView>(form, "DBGrid1")->selectRow(1);
        QCOMPARE(question(), bankText(0));
        // The figure at its natural size.
        QCOMPARE(Child<DBImage>(form, "DBImage2")->picture().size(), QSize(200, 120));

        QTest::keyClick(Child<QTableView>(form, "DBGrid1"), Qt::Key_Down);
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->currentIndex().row(), 2);
        QCOMPARE(question(), bankText(1));
        QVERIFY(Child<DBImage>(form, "DBImage2")->picture().isNull());

        // Tab moves within the grid, not on to the next control.
        QTest::keyClick(Child<QTableView>(form, "DBGrid1"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Child<QTableView>(form, "DBGrid1"));

        // Nothing is editable.
        QTest::keyClicks(Child<QTableView>(form, "DBGrid1"), "9");
        QTest::keyClick(Child<QTableView>(form, "DBGrid1"), Qt::Key_F2);
        QCOMPARE(cell(2, 0), QStringLiteral("0002"));
        QVERIFY(!form->Table1->Modified());
    }

    void numberMissingFromTheBankShowsAnEmptyPane()
    {
        data->writeHistory({{"0003", 1, bankText(2)}, {"0099", 0, QStringLiteral("消えた問題")}});
        form->show();
        QCOMPARE(question(), bankText(2));
        Child<QTableView>(form, "DBGrid1")->selectRow(1);
        QCOMPARE(question(), QString());
        QCOMPARE(Child<DBMemo>(form, "DBMemo2")->toPlainText(), QString());
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void emptyHistoryShowsNoQuestion()
    {
        data->writeHistory({});
        form->show();
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->model()->rowCount(), 0);
        QCOMPARE(form->Table2->Filter(), std::string("Bango = 0000"));
        QVERIFY(form->Table2->Filtered());
        QCOMPARE(question(), QString());
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void nextShowingRereadsHistoryButNotBank()
    {
        form->show();
        QCOMPARE(question(), bankText(1));
        form->close();   // the close box only hides
        QVERIFY(!form->isVisible());
        QVERIFY(mainWindow->isVisible());
        QVERIFY(form->Table1->Active());

        // Another drill has ended meanwhile, and the bank file changed with it.
        data->writeHistory({{"0003", 1, bankText(2)}});
        auto bank = testdata::DataDir::StandardBank();
        bank[2].mondai = QStringLiteral("書き換えられた問題文");
        data->writeBank(bank);

        form->show();
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->model()->rowCount(), 1);
        QCOMPARE(cell(0, 0), QStringLiteral("0003"));
        QCOMPARE(question(), bankText(2));   // the bank read at the first showing
    }

    // The bank is read once per run and its pictures when shown: a drill that has written the
    // bank's counters meanwhile does not keep a question's figure from showing.
    void figureStillShowsAfterADrillWroteTheBank()
    {
        form->show();
        form->close();
        {
            Table bank;
            bank.SetFileName(data->file(layouts::kBankFile));
            bank.Open();
            bank.Edit();   // question 0001, the one with the figure
            bank.FieldByName("Kaisu").SetAsInteger(3);
            bank.FieldByName("Nani").SetAsInteger(40);
            bank.Post();
            bank.Close();
        }
        form->show();
        Child<QTableView>(form, "DBGrid1")->selectRow(1);
        QCOMPARE(question(), bankText(0));
        QCOMPARE(Child<DBImage>(form, "DBImage2")->picture().size(), QSize(200, 120));
    }

    // The longest question and explanation a field holds (127 characters) can be read to the
    // end: the pane scrolls instead of cutting them off.
    void longTextsScrollInsteadOfBeingCut()
    {
        auto bank = testdata::DataDir::StandardBank();
        bank[1].mondai = QString(127, QChar(0x554F));
        bank[1].kaisetsu = QString(127, QChar(0x89E3));
        data->writeBank(bank);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(question(), bank[1].mondai);
        for (DBMemo* pane : {Child<DBMemo>(form, "DBMemo1"), Child<DBMemo>(form, "DBMemo2")}) {
            QVERIFY(pane->verticalScrollBar()->isVisible());
            pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
            QVERIFY(pane->verticalScrollBar()->maximum() > 0);
        }
        // A short text needs no bar.
        Child<QTableView>(form, "DBGrid1")->selectRow(1);
        QCOMPARE(question(), bankText(0));
        QTest::qWait(0);
        QVERIFY(!Child<DBMemo>(form, "DBMemo1")->verticalScrollBar()->isVisible());
    }

    void showingWhileVisibleDoesNotReread()
    {
        form->show();
        data->writeHistory({});
        form->show();
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->model()->rowCount(), 3);
    }

    void missingFileEndsTheProgramWithOneMessage()
    {
        QFile::remove(QString::fromStdString(data->file(layouts::kBankFile)));
        form->show();
        QCOMPARE(dialogs::TakeMessages(), QStringList{QStringLiteral("データファイルが、見付かりません。")});
        QVERIFY(!QFile::exists(QString::fromStdString(data->settingsPath())));
        QVERIFY(!mainWindow->isVisible());
    }

    // A bank another program holds for the moment is in use, not missing: the settings stay,
    // so the next start finds the same data.
    void bankHeldByAnotherProgramIsInUseAndKeepsTheSettings()
    {
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(data->file(layouts::kBankFile).c_str(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        form->show();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        const QStringList messages = dialogs::TakeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("使用中")), qPrintable(messages[0]));
        QCOMPARE(*settings::ReadDataDirectory(data->settingsPath()), data->directory());
    }

    void settingsLineEndingInNewlineIsNotFound()
    {
        data->writeSettings(data->directory() + "\n");
        form->show();
        QCOMPARE(dialogs::TakeMessages(), QStringList{QStringLiteral("データファイルが、見付かりません。")});
        QVERIFY(!QFile::exists(QString::fromStdString(data->settingsPath())));
        QVERIFY(!mainWindow->isVisible());
    }

    void noSettingsAsksForTheDirectory()
    {
        QFile::remove(QString::fromStdString(data->settingsPath()));
        dialogs::QueueFileAnswer(QString::fromStdString(data->file(layouts::kBankFile)));
        form->show();
        QCOMPARE(dialogs::TakeFileDialogs().size(), 1);
        QCOMPARE(*settings::ReadDataDirectory(data->settingsPath()), data->directory());
        QCOMPARE(Child<QTableView>(form, "DBGrid1")->model()->rowCount(), 3);
        QVERIFY(mainWindow->isVisible());
    }

    void cancelledDialogEndsTheProgram()
    {
        QFile::remove(QString::fromStdString(data->settingsPath()));
        form->show();
        QCOMPARE(dialogs::TakeFileDialogs().size(), 1);
        QCOMPARE(dialogs::TakeMessages(), QStringList());
        QVERIFY(!mainWindow->isVisible());
        QVERIFY(!form->Table1->Active());
        QVERIFY(QFile::exists(QString::fromStdString(data->settingsPath())));
    }

    void quitButtonClosesTheMainWindow()
    {
        form->show();
        QTest::mouseClick(Child<QPushButton>(form, "Button1"), Qt::LeftButton);
        QVERIFY(!mainWindow->isVisible());
    }
};

QTEST_MAIN(TestReview)
#include "tst_review.moc"
