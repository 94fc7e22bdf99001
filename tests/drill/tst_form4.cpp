// The question window driven through its buttons, on data files the tests write.
#include "DirectoryLock.h"
#include "DataDirectory.h"
#include "Dialogs.h"
#include "EucJp.h"
#include "Fonts.h"
#include "Layouts.h"
#include "Settings.h"
#include "TForm4.h"
#include "Windows.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Q {
    std::string bango;
    int nani = 0;
    int nkaisu = 0;
    int kaisu = 0;
    int seikaisu = 0;
    int seikai = 1;
    int karihon = 1;
};

std::string Euc(const QString& s) { return eucjp::Encode(s); }

std::string Png()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// N fresh questions numbered from FIRST at difficulty NANI.
std::vector<Q> Fresh(int n, int nani = 0, int first = 1)
{
    std::vector<Q> qs;
    for (int i = 0; i < n; ++i)
        qs.push_back({QString::asprintf("%04d", first + i).toStdString(), nani});
    return qs;
}

std::vector<Row> ReadAll(const std::string& path)
{
    Table t;
    t.SetFileName(path);
    t.Open();
    std::vector<Row> rows;
    for (std::size_t i = 0; i < t.StoredCount(); ++i) {
        Row r;
        for (std::size_t f = 0; f < t.Fields().size(); ++f)
            r.push_back(t.StoredValue(i, int(f)));
        rows.push_back(r);
    }
    return rows;
}

}  // namespace

class TestForm4 : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<QWidget> mainWindow_;
    std::unique_ptr<TForm4> form_;
    std::string dir_;

    std::string Path(const char* file) const { return dir_ + file; }
    std::string SettingsPath() const { return tmp_->filePath("Lentavo.inf").toStdString(); }

    void WriteBank(const std::vector<Q>& qs)
    {
        std::vector<Row> rows;
        for (const Q& q : qs)
            rows.push_back(Row{Value(q.nkaisu), Value(q.nani), Value(q.kaisu), Value(q.bango),
                               Value(q.seikaisu), Value(q.karihon), Value(Euc("解説" + QString::fromStdString(q.bango))),
                               Value(q.seikai), Value(Png()), Value(Euc("問題文" + QString::fromStdString(q.bango)))});
        Table::CreateFile(Path(layouts::kBankFile), layouts::Bank(), rows);
    }
    void WriteData(const std::vector<Q>& qs, int oldHistory = 0)
    {
        WriteBank(qs);
        std::vector<Row> history(std::size_t(oldHistory), Row{Value("9999"), Value(1), Value("old")});
        Table::CreateFile(Path(layouts::kHistoryFile), layouts::History(), history);
        // The first record in stored order, then one per drill level.
        std::vector<Row> advice{Row{Value(50), Value(Euc("先頭の助言")), Value(Euc("先頭の注意"))}};
        for (int level = 0; level <= 40; ++level)
            advice.push_back(Row{Value(level), Value(Euc("助言" + QString::number(level))),
                                 Value(Euc("注意" + QString::number(level)))});
        Table::CreateFile(Path(layouts::kAdviceFile), layouts::Advice(), advice);
    }
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

    void settledCounts()
    {
        // Every question at 5, settled once: the second pass finds the first of them.
        WriteData({{"0001", 5, 1}, {"0002", 5, 1}, {"0003", 9, 0}});
        TForm4* f = Start(5);
        QCOMPARE(f->LKaisu, 1);
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("0001"));
        f->close();
        // With the settled counts reset at the start, the first pass finds them.
        f = Start(5, true);
        QCOMPARE(f->LKaisu, 0);
        f->close();
        for (const Row& r : ReadAll(Path(layouts::kBankFile)))
            QCOMPARE(r[0].integer, 0);
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
        QTest::newRow("wrong at 100") << QList<int>{0, 0, 0, 100, 0} << 100 << true
                                      << QList<int>{1, 0, 0, 105, 0, 99} << "不正解" << "誤";
        QTest::newRow("60 to 55") << QList<int>{3, 2, 1, 60, 1} << 60 << false
                                  << QList<int>{4, 2, 1, 55, 0, 59} << "不正解" << "正";
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

        f->BitBtn5->click();
        const Row q = ReadAll(Path(layouts::kBankFile)).at(0);
        QCOMPARE((QList<int>{q[2].integer, q[4].integer, q[0].integer, q[1].integer}), after.mid(0, 4));
        const auto history = ReadAll(Path(layouts::kHistoryFile));
        QCOMPARE(history.size(), std::size_t(1));
        QVERIFY(history[0] == (Row{Value("0042"), Value(after[4]), Value(Euc("問題文0042"))}));
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
        QCOMPARE(f->DrillLevel, -1);   // not clamped before the 11th question
        Next();
        QCOMPARE(f->GroupBox2->title(), QStringLiteral("問題11"));
        QCOMPARE(f->DrillLevel, 0);
        Answer(false);
        QCOMPARE(f->DrillLevel, 0);   // put back to 0 at once
        QVERIFY(f->Table3->Filtered());
        QCOMPARE(f->Table3->Filter(), std::string("Nani = 0"));
        QCOMPARE(f->DBMemo3->toPlainText(), QStringLiteral("注意0"));
        QCOMPARE(f->Edit3->text(), QStringLiteral("9.09090909090909"));
        Next();
        Answer(true);
        QCOMPARE(f->DBMemo3->toPlainText(), QStringLiteral("助言0"));
        QCOMPARE(f->Edit3->text(), QStringLiteral("16.6666666666667"));
        QCOMPARE(f->Label4->text(), QStringLiteral("16 %"));
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
        f->close();

        // Five wrong, then twenty right: the last twenty only count once there are 25.
        f = Start(60);
        for (int i = 1; i <= 25; ++i) {
            Answer(i > 5);
            const int level = f->DrillLevel;
            Next();
            const int change = f->DrillLevel - level;
            if (i == 1)
                QCOMPARE(f->DrillLevel, 57);  // -1 from the answer, then -2
            if (i == 20)
                QCOMPARE(change, -3);         // 15 of 20
            if (i == 24)
                QCOMPARE(change, 1);          // 19 of 20
            if (i == 25)
                QCOMPARE(change, 2);          // 20 of 20, the five wrong ones out of the window
        }
        QCOMPARE(f->Label9->text(), QString::number(f->DrillLevel) + " %");
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
            answered += r[2].integer;
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

        // A failed write-back keeps the window and its data; closing again succeeds.
        f = Start(0);
        Answer(true);
        const QString historyFile = QString::fromStdString(Path(layouts::kHistoryFile));
        QVERIFY(QFile::rename(historyFile, historyFile + ".away"));
        f->BitBtn5->click();
        QCOMPARE(dialogs::TakeMessages().size(), 1);
        QVERIFY(f->isVisible());
        QVERIFY(!f->Table1->Active());
        QVERIFY(f->Table2->Active());
        QCOMPARE(f->Table2->RecordCount(), 1);
        QVERIFY(QFile::rename(historyFile + ".away", historyFile));
        f->BitBtn5->click();
        QVERIFY(f->isHidden());
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
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
            QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(0));
            QVERIFY(mainWindow_->isVisible());
        }
        // At "次の問題": the only question went up to 100 by a wrong answer.
        WriteData({{"0001", 0}});
        TForm4* f = Start(0);
        Answer(false);
        Next();
        QCOMPARE(dialogs::TakeMessages(), QStringList{"出題できる問題がありません。"});
        QTRY_VERIFY(f->isHidden());
        QCOMPARE(ReadAll(Path(layouts::kBankFile)).at(0)[1].integer, 100);
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
