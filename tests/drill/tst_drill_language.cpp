// The drill in another language: the statement with its translation while the translation is of
// today's Japanese, the Japanese with a note once a bank update changed it (and `tabletool honyaku
// check` fails), and a change of language with a question on screen that keeps the drill's
// captions.
#include "DrillData.h"
#include "FormChild.h"

#include "DataDirectory.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "LanguageChoice.h"
#include "Settings.h"
#include "TForm4.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace drilltest;

namespace {
int Tool(const QStringList& args, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(qEnvironmentVariable("TABLETOOL"), args);
    p.waitForFinished(30000);
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void WriteText(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}
}  // namespace

class TestDrillLanguage : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<TForm4> form_;
    std::string dir_;

    TForm4* Start()
    {
        form_ = std::make_unique<TForm4>();
        form_->DrillLevel = 0;
        form_->show();
        return form_.get();
    }
    QString Memo(const char* name) { return Child<QPlainTextEdit>(form_, name)->toPlainText(); }
    QString Text(const char* name) { return Child<QLabel>(form_, name)->text(); }

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
        QVERIFY(settings::WriteDataDirectory(tmp_->filePath("Lentavo.inf").toStdString(), dir_));
        drilltest::WriteData(dir_, Fresh(1));
    }
    void cleanup()
    {
        form_.reset();
        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        tmp_.reset();
        QCOMPARE(dialogs::TakeMessages(), QStringList());
    }

    void bankUpdateHidesTheStaleTranslation()
    {
        const QString data = QString::fromStdString(dir_);
        WriteText(tmp_->filePath("en.csv"), QStringLiteral("source,bango,field,japanese,text\n"
                                                           "bank,0001,Mondai,問題文0001,Statement one.\n"
                                                           "bank,0001,Kaisetsu,解説0001,Explanation one.\n"));
        QCOMPARE(Tool({"honyaku", "import", data, "en", tmp_->filePath("en.csv")}), 0);
        LanguageChoice::Instance().Choose(honyaku::FindLanguage("en"), honyaku::Mode::Translation);
        Start();
        QCOMPARE(Memo("DBMemo1"), QStringLiteral("Statement one."));
        QCOMPARE(Memo("DBMemo2"), QStringLiteral("Explanation one."));
        form_->close();
        form_.reset();

        // The bank's statement is reworded; its explanation stays.
        WriteText(tmp_->filePath("bank.csv"), QStringLiteral("NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai\n"
                                                             "0,0,0,0001,0,1,解説0001,1,,問題文0001を改めた。\n"));
        QCOMPARE(Tool({"merge", "--layout", "bank", tmp_->filePath("bank.csv"), data + "mondai.cds"}), 0);
        QByteArray out;
        QCOMPARE(Tool({"honyaku", "check", data}, &out), 1);
        QVERIFY2(out.contains("stale bank 0001 Mondai") && out.contains("1 current"), out.constData());

        Start();
        QCOMPARE(Memo("DBMemo1"), QStringLiteral("問題文0001を改めた。\n") +
                                      LanguageChoice::tr("（日本語の文が変わったため、この訳は表示しません。）"));
        QVERIFY(!Memo("DBMemo1").contains("Statement one."));
        QCOMPARE(Memo("DBMemo2"), QStringLiteral("Explanation one."));
    }

    // The advice under the verdict is the advice table's text in the pupil's language, the field
    // following the verdict; a level the table does not have is refused at import, naming the line.
    void adviceInThePupilsLanguage()
    {
        const QString data = QString::fromStdString(dir_);
        WriteText(tmp_->filePath("en.csv"), QStringLiteral("source,bango,field,japanese,text\n"
                                                           "advice,50,Seikai,先頭の助言,Advice first.\n"
                                                           "advice,50,Fuseikai,先頭の注意,Careful first.\n"
                                                           "advice,7,Seikai,,Level seven.\n"));
        QCOMPARE(Tool({"honyaku", "import", data, "en", tmp_->filePath("en.csv")}), 0);
        // Both asked for: the statement with its translation, the advice in English alone.
        LanguageChoice::Instance().Choose(honyaku::FindLanguage("en"), honyaku::Mode::Both);
        TForm4* f = Start();
        QCOMPARE(Memo("DBMemo3"), QStringLiteral("Advice first."));
        Child<QPushButton>(f, "BitBtn4")->click();   // 誤: wrong, the answer is 正
        QCOMPARE(Memo("DBMemo3"), QStringLiteral("Careful first."));
        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        QCOMPARE(Memo("DBMemo3"), QStringLiteral("先頭の注意"));

        WriteText(tmp_->filePath("bad.csv"), QStringLiteral("source,bango,field,japanese,text\n"
                                                            "advice,50,Seikai,,Advice first.\n"
                                                            "advice,77,Seikai,,No such level.\n"));
        QProcess p;
        p.start(qEnvironmentVariable("TABLETOOL"), {"honyaku", "import", data, "en", tmp_->filePath("bad.csv")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains("line 3") && err.contains("77"), err.constData());
    }

    void switchingKeepsTheDrillOnScreen()
    {
        TForm4* f = Start();
        Child<QPushButton>(f, "BitBtn4")->click();   // 誤: wrong, the answer is 正
        const QString rate = Text("Label4");
        QCOMPARE(Text("Label7"), QStringLiteral("不正解"));

        LanguageChoice::Instance().Choose(honyaku::FindLanguage("en"), honyaku::Mode::Both);
        QCoreApplication::processEvents();   // the windows hear of the language by a posted event
        QCOMPARE(Child<QPushButton>(f, "BitBtn3")->text(), QStringLiteral("True"));
        QCOMPARE(Child<QGroupBox>(f, "GroupBox2")->title(), QStringLiteral("Question 1"));
        QCOMPARE(Text("Label7"), QStringLiteral("Wrong"));
        QCOMPARE(Text("Label8"), QStringLiteral("True"));
        QCOMPARE(Text("Label4"), rate);
        QVERIFY(!Child<QPushButton>(f, "BitBtn3")->isEnabled());
        QVERIFY(Child<QPushButton>(f, "BitBtn1")->isEnabled());
        // No translations file: the statement as it is.
        QCOMPARE(Memo("DBMemo1"), QStringLiteral("問題文0001"));

        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        QCoreApplication::processEvents();
        QCOMPARE(Child<QPushButton>(f, "BitBtn3")->text(), QStringLiteral("正"));
        QCOMPARE(Child<QGroupBox>(f, "GroupBox2")->title(), QStringLiteral("問題1"));
        QCOMPARE(Text("Label7"), QStringLiteral("不正解"));
        QCOMPARE(Text("Label8"), QStringLiteral("正"));
        QCOMPARE(Text("Label4"), rate);
    }
};

QTEST_MAIN(TestDrillLanguage)
#include "tst_drill_language.moc"
