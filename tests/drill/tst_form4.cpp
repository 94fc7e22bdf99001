// The question window driven through its buttons, on data files the tests write.
#include "DirectoryLock.h"
#include "DataDirectory.h"
#include "Dialogs.h"
#include "DrillData.h"
#include "Fonts.h"
#include "Layouts.h"
#include "Settings.h"
#include "TForm4.h"
#include "Windows.h"
#include "Directory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Session.h"

#include <sqlite3.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>

using namespace drilltest;

class TestForm4 : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<QWidget> mainWindow_;
    std::unique_ptr<TForm4> form_;
    std::string dir_;

    std::string Path(const char* file) const { return dir_ + file; }
    std::string SettingsPath() const { return tmp_->filePath("Lentavo.inf").toStdString(); }

    void WriteData(const std::vector<Q>& qs, int oldHistory = 0) { drilltest::WriteData(dir_, qs, oldHistory); }
    TForm4* Start(int level, bool resetSettled = false)
    {
        form_ = std::make_unique<TForm4>();
        Form4 = form_.get();
        form_->DrillLevel = level;
        form_->ResetSettledCounts = resetSettled;
        form_->show();
        return form_.get();
    }
    void Answer(bool trueButton) { (trueButton ? form_->BitBtn3 : form_->BitBtn4)->click(); }
    void Next() { form_->BitBtn1->click(); }
    int Field(const char* name) { return form_->Table1->FieldByName(name).AsInteger(); }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        dialogs::SetTestMode(true);
    }
    void init()
    {
        tmp_ = std::make_unique<QTemporaryDir>();
        dir_ = tmp_->filePath("data/").toStdString();
        QDir().mkpath(QString::fromStdString(dir_));
        SetProgramPath(tmp_->filePath("lentavo").toStdString());
        QVERIFY(settings::WriteDataDirectory(SettingsPath(), dir_));
        mainWindow_ = std::make_unique<QWidget>();
        SetMainWindow(mainWindow_.get());
        mainWindow_->show();
        dialogs::TakeMessages();
        dialogs::TakeFileDialogs();
    }
    void cleanup()
    {
        form_.reset();
        Form4 = nullptr;
        mainWindow_.reset();
        tmp_.reset();
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void drillStart()
    {
        WriteData({{"0001", 20}, {"0002", 15, 0, 0, 0, 1, 0}, {"0003", 10, 0, 9, 7, 1},
                   {"0004", 10}, {"0005", 105}}, 3);
        form_ = std::make_unique<TForm4>();
        QVERIFY(form_->isHidden());
        QVERIFY(form_->Timer1->isActive());   // stored enabled
        QCOMPARE(form_->Timer1->interval(), 300);
        TForm4* f = Start(15);

        // Level 15, questions only at 10 below it: the first stored of them.
        QCOMPARE(f->Table1->Filter(), std::string("Bango = 0003"));
        QCOMPARE(f->Table1->RecordCount(), 1);
        QCOMPARE(f->LKaisu, 0);
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("0003"));
        QCOMPARE(f->DBEdit3->text(), QStringLiteral("7"));   // Seikaisu, not the answer code
        QCOMPARE(f->DBEdit4->text(), QStringLiteral("9"));
        QCOMPARE(f->DBEdit5->text(), QStringLiteral("10"));
        QCOMPARE(f->DBMemo1->toPlainText(), QStringLiteral("問題文0003"));
        QVERIFY(f->DBMemo1->isReadOnly() && f->DBMemo2->isReadOnly() && f->DBMemo3->isReadOnly());
        QCOMPARE(f->DBImage1->picture().size(), QSize(8, 6));
        QCOMPARE(f->DBImage1->mode(), DBImage::Mode::Fit);   // a round sign stays round
        QCOMPARE(f->DBMemo3->toPlainText(), QStringLiteral("先頭の助言"));
        QVERIFY(!f->Table3->Filtered());
        QCOMPARE(f->Table3->Filter(), std::string("Nani = -1"));
        QCOMPARE(f->Table2->RecordCount(), 0);

        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題1"));
        QCOMPARE(f->Label9->text(), QStringLiteral("15 %"));
        QCOMPARE(f->ProgressBar1->value(), 15);
        QCOMPARE(f->Label4->text(), QStringLiteral("0 %"));
        QCOMPARE(f->ProgressBar2->value(), 0);
        QCOMPARE(f->Edit3->text(), QStringLiteral("0"));
        QVERIFY(f->BitBtn3->isEnabled() && f->BitBtn4->isEnabled() && !f->BitBtn1->isEnabled());
        QVERIFY(f->DBMemo2->isHidden() && f->Label7->isHidden() && f->Label8->isHidden());
        QVERIFY(!f->Timer1->isActive());
        // 正 has the focus, framed, even before the window is active.
        QCOMPARE(f->focusWidget(), f->BitBtn3);
        QVERIFY(f->findChild<QWidget*>(QStringLiteral("FocusFrame"))->isVisible());
        QCOMPARE(f->pos(), QPoint(-1, 0));
        QCOMPARE(f->frameGeometry().size(), QSize(1022, 768));
        QCOMPARE(f->windowTitle(), QStringLiteral("問題画面"));

        // The layout's look: colours, pixel heights, weights.
        QCOMPARE(f->BitBtn3->palette().color(QPalette::Active, QPalette::ButtonText), QColor(255, 0, 0));
        QCOMPARE(f->BitBtn4->palette().color(QPalette::Active, QPalette::ButtonText), QColor(0, 0, 255));
        QCOMPARE(f->BitBtn1->palette().color(QPalette::Active, QPalette::ButtonText), QColor(0, 255, 0));
        QCOMPARE(f->BitBtn5->palette().color(QPalette::Active, QPalette::ButtonText), QColor(0, 0, 0));
        QCOMPARE(f->BitBtn3->font().pixelSize(), 37);
        QVERIFY(f->BitBtn3->font().bold());
        QCOMPARE(f->DBMemo1->font().pixelSize(), 29);
        QCOMPARE(f->GroupBox3->font().pixelSize(), 27);
        QCOMPARE(f->Label10->font().pixelSize(), 12);
        QVERIFY(!f->Label10->font().bold());
        QCOMPARE(f->GroupBox4->geometry(), QRect(575, 405, 433, 329));
        QCOMPARE(f->BitBtn1->geometry(), QRect(328, 160, 185, 65));

        // 終了 at once: the old history is gone, the bank is as it was.
        const auto bankBefore = ReadAll(Path(layouts::kBankFile));
        f->BitBtn5->click();
        QVERIFY(f->isHidden());
        QVERIFY(!f->Table1->Active() && !f->Table2->Active() && !f->Table3->Active());
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(0));
        QVERIFY(ReadAll(Path(layouts::kBankFile)) == bankBefore);
    }

    void judging_data()
    {
        QTest::addColumn<QList<int>>("before");   // Kaisu, Seikaisu, NKaisu, Nani, Seikai
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("trueButton");
        QTest::addColumn<QList<int>>("after");    // Kaisu, Seikaisu, NKaisu, Nani, Seihi, level
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("rightAnswer");
        QTest::newRow("new, right") << QList<int>{0, 0, 0, 0, 1} << 5 << true
                                    << QList<int>{1, 1, 1, 0, 1, 5} << "正　解" << "正";
        QTest::newRow("new, wrong") << QList<int>{0, 0, 0, 0, 1} << 5 << false
                                    << QList<int>{1, 0, 1, 100, 0, 4} << "不正解" << "正";
        QTest::newRow("3 of 5") << QList<int>{4, 2, 1, 50, 0} << 50 << false
                                << QList<int>{5, 3, 2, 39, 1, 50} << "正　解" << "誤";
        QTest::newRow("Seikai 2, 正") << QList<int>{0, 0, 0, 0, 2} << 0 << true
                                      << QList<int>{1, 0, 1, 100, 0, -1} << "不正解" << "誤";
        QTest::newRow("Seikai 2, 誤") << QList<int>{0, 0, 0, 0, 2} << 0 << false
                                      << QList<int>{1, 0, 1, 100, 0, -1} << "不正解" << "正";
    }
    void judging()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, level);
        QFETCH(bool, trueButton);
        QFETCH(QList<int>, after);
        QFETCH(QString, verdict);
        WriteData({{"0042", before[3], before[2], before[0], before[1], before[4]}});
        TForm4* f = Start(level);
        Answer(trueButton);

        QCOMPARE(Field("Kaisu"), after[0]);
        QCOMPARE(f->DBEdit4->text(), QString::number(after[0]));   // the views show the post
        QCOMPARE(f->DrillLevel, after[5]);
        QCOMPARE(f->Label7->text(), verdict);
        QTEST(f->Label8->text(), "rightAnswer");
        const QColor colour = after[4] ? QColor(255, 0, 0) : QColor(0, 0, 0);
        QCOMPARE(f->Label7->palette().color(QPalette::WindowText), colour);
        QCOMPARE(f->Label8->palette().color(QPalette::WindowText), colour);
        QCOMPARE(f->DBMemo3->dataField(), after[4] ? QStringLiteral("Seikai") : QStringLiteral("Fuseikai"));
        QVERIFY(!f->BitBtn3->isEnabled() && !f->BitBtn4->isEnabled() && f->BitBtn1->isEnabled());
        QVERIFY(!f->DBMemo2->isHidden() && !f->Label7->isHidden() && !f->Label8->isHidden());
        QCOMPARE(f->DBMemo2->toPlainText(), QStringLiteral("解説0042"));
        QVERIFY(f->Timer1->isActive());
        QCOMPARE(f->Edit1->text(), QString::number(after[4]));
        QCOMPARE(f->Edit2->text(), QStringLiteral("1"));
    }

    void statisticsAndAdvice()
    {
        WriteData(Fresh(30));
        TForm4* f = Start(0);
        // Wrong, wrong, right: 1 of 3.
        const bool pattern[] = {false, false, true, false, false, false, false, false, false, false};
        for (int i = 0; i < 10; ++i) {
            Answer(pattern[i]);
            QVERIFY(!f->Table3->Filtered());   // the advice table's first record until the 11th
            QCOMPARE(f->DBMemo3->toPlainText(), pattern[i] ? QStringLiteral("先頭の助言") : QStringLiteral("先頭の注意"));
            if (i == 2) {
                QCOMPARE(f->Edit1->text(), QStringLiteral("1"));
                QCOMPARE(f->Edit2->text(), QStringLiteral("3"));
                QCOMPARE(f->Edit3->text(), QStringLiteral("33.3333333333333"));
                QCOMPARE(f->ProgressBar2->value(), 33);
                QCOMPARE(f->Label4->text(), QStringLiteral("33 %"));
            }
            if (i < 9)
                Next();
        }
        Next();
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題11"));
        Answer(false);
        QCOMPARE(f->DBMemo3->toPlainText(), QStringLiteral("注意0"));
        QCOMPARE(f->Edit3->text(), QStringLiteral("9.09090909090909"));
        Next();
        Answer(true);
        QCOMPARE(f->DBMemo3->toPlainText(), QStringLiteral("助言0"));
        QCOMPARE(f->Edit3->text(), QStringLiteral("16.6666666666667"));
        QCOMPARE(f->Label4->text(), QStringLiteral("16 %"));
        // The box is narrower than the number: it shows its start, not its tail.
        QCOMPARE(f->Edit3->cursorPosition(), 0);
        QVERIFY(f->Edit3->fontMetrics().horizontalAdvance(f->Edit3->text()) > f->Edit3->width());
    }

    void levelMoves()
    {
        WriteData(Fresh(40));
        TForm4* f = Start(5);
        Answer(true);
        Next();   // one right: +1, not +2
        QCOMPARE(f->DrillLevel, 6);
        QCOMPARE(f->Label9->text(), QStringLiteral("6 %"));
        QCOMPARE(f->ProgressBar1->value(), 6);
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題2"));
        QVERIFY(f->BitBtn3->isEnabled() && !f->BitBtn1->isEnabled());
        QVERIFY(f->DBMemo2->isHidden() && f->Label7->isHidden() && f->Label8->isHidden());
        QVERIFY(!f->Timer1->isActive());
    }

    void blink()
    {
        WriteData(Fresh(3));
        TForm4* f = Start(0);
        Answer(true);
        QVERIFY(!f->Label7->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(f->Label7->isHidden(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!f->Label7->isHidden(), 1000);
        Next();
        QVERIFY(f->Label7->isHidden());
        QTest::qWait(700);
        QVERIFY(f->Label7->isHidden());
    }

    void persistence()
    {
        WriteData(Fresh(5));
        QFile advice(QString::fromStdString(Path(layouts::kAdviceFile)));
        QVERIFY(advice.open(QIODevice::ReadOnly));
        const QByteArray adviceBefore = advice.readAll();
        advice.close();

        TForm4* f = Start(0);
        Answer(true);
        Next();
        Answer(false);
        Next();
        Answer(true);
        f->BitBtn5->click();
        auto history = ReadAll(Path(layouts::kHistoryFile));
        QCOMPARE(history.size(), std::size_t(3));
        QCOMPARE(history[0][1].integer, 1);
        QCOMPARE(history[1][1].integer, 0);
        QCOMPARE(history[2][1].integer, 1);
        int answered = 0;
        for (const Row& r : ReadAll(Path(layouts::kBankFile)))
            answered += Bank(r, "Kaisu");
        QCOMPARE(answered, 3);
        QVERIFY(advice.open(QIODevice::ReadOnly));
        QCOMPARE(advice.readAll(), adviceBefore);
        advice.close();

        // The program ends with a drill open: the window's destruction stores it.
        f = Start(0);
        Answer(false);
        Next();
        Answer(false);
        form_.reset();
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
    }

    // The history cannot be written at 終了: nothing is written, the window stays as it was and
    // the drill goes on; once the file is back, 終了 stores both.
    void failedWriteBackLeavesTheDrillUsable()
    {
        WriteData(Fresh(5));
        TForm4* f = Start(0);
        Answer(true);
        const QByteArray bank = FileBytes(Path(layouts::kBankFile));
        const QString historyFile = QString::fromStdString(Path(layouts::kHistoryFile));
        QVERIFY(QFile::rename(historyFile, historyFile + ".away"));
        f->BitBtn5->click();
        const QStringList messages = dialogs::TakeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains("rireki.cds"));
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);
        QVERIFY(f->isVisible());
        QVERIFY(f->Table1->Active() && f->Table2->Active() && f->Table3->Active());
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("0001"));
        QCOMPARE(f->DBMemo1->toPlainText(), QStringLiteral("問題文0001"));
        QVERIFY(!f->Label8->isHidden() && f->BitBtn1->isEnabled());
        Next();
        Answer(false);
        QCOMPARE(dialogs::TakeMessages(), QStringList());   // no "項目 'Nani'…", no closed table
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("0002"));
        QVERIFY(QFile::rename(historyFile + ".away", historyFile));
        f->BitBtn5->click();
        QVERIFY(f->isHidden());
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
        QCOMPARE(Bank(ReadAll(Path(layouts::kBankFile)).at(1), "Kaisu"), 1);

        // The bank changed by another program since the drill read it: refused, and the window
        // stays on the question it judged rather than jumping to the bank's first record.
        WriteData(Fresh(5));
        f = Start(0);
        Answer(true);
        Next();
        Answer(true);
        {
            Table other;
            other.SetFileName(Path(layouts::kBankFile));
            other.Open();
            other.AppendRecord(ByName(other.Fields(), {{"Bango", "0100"}}));
            other.Close();
        }
        f->BitBtn5->click();
        QCOMPARE(dialogs::TakeMessages().size(), 1);
        QVERIFY(f->isVisible());
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("0002"));
        QCOMPARE(f->Label7->text(), QStringLiteral("正　解"));
        Next();
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    // On the way out (SIGTERM, the main window closed) nobody is there to press OK: a failed
    // write-back goes to standard error, never into a message box.
    // The program ending with a drill open whose history cannot be written (SIGTERM, the menu's
    // 終了, the close box all destroy the window): no message box on the way out, and neither
    // file is written. The bank used to be stored alone, its counters then disagreeing with the
    // history; the learning record keeps the answers for the next start to store.
    void destroyingTheWindowOpensNoMessageBox()
    {
        WriteData(Fresh(3));
        const QByteArray bank = FileBytes(Path(layouts::kBankFile));
        Start(0);
        Answer(true);
        const QString historyFile = QString::fromStdString(Path(layouts::kHistoryFile));
        QVERIFY(QFile::rename(historyFile, historyFile + ".away"));
        form_.reset();
        QCOMPARE(dialogs::TakeMessages(), QStringList());
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);
    }

    void dataDirectoryDialog()
    {
        WriteData(Fresh(2));
        QFile::remove(QString::fromStdString(SettingsPath()));
        dialogs::QueueFileAnswer(QString::fromStdString(Path(layouts::kBankFile)));
        TForm4* f = Start(0);
        const auto asked = dialogs::TakeFileDialogs();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("問題データファイルを開いてください。"));
        QCOMPARE(asked[0].filters, (QStringList{"データファイル(*.cds)", "すべてのファイル(*)"}));
        QVERIFY(asked[0].fileMustExist);
        QCOMPARE(settings::ReadDataDirectory(SettingsPath()).value_or(""), dir_);
        QVERIFY(f->BitBtn3->isEnabled());
        f->close();

        // Cancelled: the program ends and no table is touched.
        QFile::remove(QString::fromStdString(SettingsPath()));
        f = Start(0);
        QVERIFY(!mainWindow_->isVisible());
        QVERIFY(!f->Table1->Active() && !f->Table2->Active());
    }

    void missingTable()
    {
        WriteData(Fresh(2), 2);
        QFile::remove(QString::fromStdString(Path(layouts::kAdviceFile)));
        TForm4* f = Start(0);
        QCOMPARE(dialogs::TakeMessages(), QStringList{"データファイルが、見付かりません。"});
        QVERIFY(!QFile::exists(QString::fromStdString(SettingsPath())));
        QVERIFY(!mainWindow_->isVisible());
        // The start stopped there: the history was not emptied.
        QVERIFY(!f->Table3->Active());
        QCOMPARE(f->Table2->RecordCount(), 2);
        form_.reset();
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
    }

    void secondCopyOnTheSameData()
    {
        WriteData(Fresh(2), 2);
        // Another copy of the program holds the data directory (a second lock in this process
        // conflicts just as one in another process does).
        DirectoryLock other;
        QCOMPARE(other.Acquire(dir_), DirectoryLock::Result::Acquired);
        TForm4* f = Start(0);
        QCOMPARE(dialogs::TakeMessages(), QStringList{QString::fromUtf8(TForm4::InUseMessage)});
        QTRY_VERIFY(f->isHidden());
        QVERIFY(!f->Table1->Active() && !f->Table2->Active());
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));   // not emptied

        // Once the other copy ends its drill, a drill starts and holds the directory itself.
        other.Release();
        f = Start(0);
        QVERIFY(f->Table1->Active());
        QCOMPARE(other.Acquire(dir_), DirectoryLock::Result::InUse);
        f->BitBtn5->click();
        QCOMPARE(other.Acquire(dir_), DirectoryLock::Result::Acquired);
    }

    void noQuestion()
    {
        // At the start: nothing at or below the level (and an empty bank).
        for (const auto& qs : {std::vector<Q>{{"0001", 1}, {"0002", 0, 0, 0, 0, 1, 0}}, std::vector<Q>{}}) {
            WriteData(qs, 2);
            TForm4* f = Start(0);
            QCOMPARE(dialogs::TakeMessages(), QStringList{"出題できる問題がありません。"});
            QTRY_VERIFY(f->isHidden());
            QVERIFY(!f->Table1->Active());
            QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
            QVERIFY(mainWindow_->isVisible());
        }
        // At "次の問題": the only question went up to 100 by a wrong answer.
        WriteData({{"0001", 0}});
        TForm4* f = Start(0);
        Answer(false);
        Next();
        QCOMPARE(dialogs::TakeMessages(), QStringList{"出題できる問題がありません。"});
        QTRY_VERIFY(f->isHidden());
        QCOMPARE(Bank(ReadAll(Path(layouts::kBankFile)).at(0), "Nani"), 100);
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
    }

    // The learning record beside the history: written when it can be, told once when it cannot.
    void learningRecord()
    {
        WriteData(Fresh(3));
        TForm4* f = Start(0);
        Answer(true);
        Next();
        Answer(false);
        f->BitBtn5->click();
        {
            record::LearningRecord rec;
            rec.OpenForReading(Path(record::kFileName));
            const auto sessions = rec.Sessions();
            QCOMPARE(sessions.size(), std::size_t(1));
            QCOMPARE(sessions[0].answers, 2);
            QCOMPARE(sessions[0].correct, 1);
            QVERIFY(sessions[0].endedAt);
        }

        // A file that is not a record: the pupil is told once, the drill runs and stores.
        QFile junk(QString::fromStdString(Path(record::kFileName)));
        QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        f = Start(0);
        const QStringList told = dialogs::TakeMessages();
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].startsWith(QString::fromUtf8(TForm4::RecordMessage)));
        Answer(true);
        Next();
        Answer(true);
        f->BitBtn5->click();
        QVERIFY(f->isHidden());
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
    }

    void keys()
    {
        WriteData(Fresh(5));
        TForm4* f = Start(0);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        auto frame = [&] { return f->findChild<QWidget*>(QStringLiteral("FocusFrame")); };
        auto press = [&](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
        QCOMPARE(QApplication::focusWidget(), f->BitBtn3);
        QVERIFY(frame() && frame()->isVisible());
        QVERIFY(frame()->geometry().contains(f->BitBtn3->geometry()));

        press(Qt::Key_Return);   // not answered yet: nothing
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題1"));
        press(Qt::Key_O);        // 正, right
        QCOMPARE(f->Label7->text(), QStringLiteral("正　解"));
        press(Qt::Key_2);        // answered already: nothing
        QCOMPARE(f->Edit2->text(), QStringLiteral("1"));
        QCOMPARE(QApplication::focusWidget(), f->BitBtn1);
        press(Qt::Key_Return);
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題2"));
        QCOMPARE(QApplication::focusWidget(), f->BitBtn3);
        QVERIFY(frame()->geometry().contains(f->BitBtn3->geometry()));
        press(Qt::Key_X);        // 誤, wrong (Seikai 1)
        QCOMPARE(f->Label7->text(), QStringLiteral("不正解"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題3"));
        press(Qt::Key_1);
        QCOMPARE(f->Edit1->text(), QStringLiteral("2"));
        QCOMPARE(f->Edit2->text(), QStringLiteral("3"));
        // The statistics boxes never take the focus, so they never swallow an answer.
        QCOMPARE(f->Edit3->focusPolicy(), Qt::NoFocus);
    }

    // Another program holds the bank for a moment at the drill start: "in use", the settings
    // kept, the program goes on.
    void bankHeldByAnotherProgram()
    {
        WriteData(Fresh(2), 2);
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(Path(layouts::kBankFile).c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        TForm4* f = Start(0);
        QCOMPARE(dialogs::TakeMessages(), QStringList{QString::fromUtf8(TForm4::FileBusyMessage)});
        QTRY_VERIFY(f->isHidden());
        QVERIFY(QFile::exists(QString::fromStdString(SettingsPath())));
        QVERIFY(mainWindow_->isVisible());
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(2));
        f = Start(0);   // free again: the drill starts
        QVERIFY(f->BitBtn3->isEnabled());
    }

    // The same clicks through the window and through the session alone store the same bytes.
    void windowAndSessionStoreTheSameFiles()
    {
        // A bank where each answer below moves the search somewhere else (the drill of
        // e2e/test_drill.sh), then a longer drill past the eleventh question on a bank of
        // varied difficulties and settled counts.
        const std::vector<Q> small{{"0001", 40}, {"0002", 15, 0, 0, 0, 1, 0}, {"0003", 12, 0, 9, 9, 1},
                                   {"0004", 14, 0, 4, 2, 1}, {"0005", 0, 0, 0, 0, 0}, {"0006", 0, 0, 0, 0, 0},
                                   {"0007", -1, 0, 0, 0, 1}};
        std::vector<Q> large;
        for (int i = 0; i < 120; ++i) {
            const int kaisu = i % 5;
            large.push_back({QString::asprintf("%04d", i + 1).toStdString(), i % 4 * 2, i % 3, kaisu,
                             std::max(0, kaisu - (i % 7 == 0)), i % 2, i % 13 == 5 ? 0 : 1 + i % 9 / 8});
        }
        const std::vector<bool> shortScript{true, false, false, true, true, true};
        std::vector<bool> longScript;
        for (int i = 0; i < 30; ++i)
            longScript.push_back(i % 10 != 3);

        for (const auto& [qs, level, script] : {std::tuple{small, 15, shortScript}, std::tuple{large, 5, longScript}}) {
            WriteData(qs, 3);
            const std::string copy = tmp_->filePath("copy/").toStdString();
            QDir(QString::fromStdString(copy)).removeRecursively();
            QDir().mkpath(QString::fromStdString(copy));
            for (const char* file : {layouts::kBankFile, layouts::kHistoryFile, layouts::kAdviceFile})
                QVERIFY(QFile::copy(QString::fromStdString(Path(file)), QString::fromStdString(copy + file)));

            TForm4* f = Start(level);
            for (std::size_t i = 0; i < script.size(); ++i) {
                Answer(script[i]);
                if (i + 1 < script.size())
                    Next();
            }
            const QStringList m = dialogs::TakeMessages();
            QVERIFY2(m.isEmpty(), qPrintable(m.join("|")));
            f->BitBtn5->click();
            QVERIFY(f->isHidden());

            Table bank, history, advice;
            drill::Session s(bank, history, advice);
            const data::Directory data(copy);
            data.OpenBank(bank);
            data.OpenHistory(history);
            data.OpenAdvice(advice);
            s.DrillLevel = level;
            s.ResetSettledCounts = f->ResetSettledCounts;
            QVERIFY(s.Start());
            for (std::size_t i = 0; i < script.size(); ++i) {
                s.Judge(script[i] ? 1 : 0);
                if (i + 1 < script.size())
                    QVERIFY(s.Next());
            }
            s.End();
            for (const char* file : {layouts::kBankFile, layouts::kHistoryFile, layouts::kAdviceFile})
                QVERIFY2(FileBytes(Path(file)) == FileBytes(copy + file), file);
        }

        // The first drill stored what the drill has always stored for those clicks (the values
        // e2e/test_drill.sh works out by hand).
        WriteData(small, 3);
        TForm4* f = Start(15);
        for (std::size_t i = 0; i < shortScript.size(); ++i) {
            Answer(shortScript[i]);
            if (i + 1 < shortScript.size())
                Next();
        }
        f->BitBtn5->click();
        QStringList bank, history;
        for (const Row& r : ReadAll(Path(layouts::kBankFile)))
            bank << QString::asprintf("%s,%d,%d,%d,%d", r[3].bytes.c_str(), Bank(r, "Kaisu"), Bank(r, "Seikaisu"),
                                      Bank(r, "NKaisu"), Bank(r, "Nani"));
        for (const Row& r : ReadAll(Path(layouts::kHistoryFile)))
            history << QString::asprintf("%s,%d", r[0].bytes.c_str(), r[1].integer);
        QCOMPARE(bank, (QStringList{"0001,0,0,0,40", "0002,0,0,0,15", "0003,10,9,0,15", "0004,5,3,1,39",
                                    "0005,2,1,2,50", "0006,1,0,1,100", "0007,1,1,1,0"}));
        QCOMPARE(history, (QStringList{"0004,1", "0003,0", "0005,1", "0006,0", "0007,1", "0005,0"}));
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
