// The program in school mode against a throwaway PostgreSQL: a pupil signs in by keys, drills,
// opens the learning record and signs out; nothing of theirs is then reachable, the next pupil
// works on their own folder, and the first one's answer still reaches the server. A server that
// cannot be reached is told, offered again, and never replaced by any data.

#include "Admin.h"
#include "Client.h"
#include "Connection.h"
#include "DataDirectory.h"
#include "Directory.h"
#include "Dialogs.h"
#include "FormChild.h"
#include "Fonts.h"
#include "school/PgCluster.h"
#include "SchoolMode.h"
#include "SignInWindow.h"
#include "TForm1.h"
#include "TForm4.h"
#include "ProgressWindow.h"
#include "Windows.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString kBuild = QString::fromLocal8Bit(qgetenv("LENTAVO_BUILD"));

// Runs the event loop until the program asks to end (0) or 20 seconds pass (99).
int RunUntilQuit()
{
    QEventLoop loop;
    QTimer::singleShot(20000, &loop, [&loop] { loop.exit(99); });
    return loop.exec();
}

QStringList VisibleTitles()
{
    QStringList titles;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            titles << w->windowTitle();
    return titles;
}
}  // namespace

class TestSchoolMode : public QObject {
    Q_OBJECT

    std::unique_ptr<PgCluster> pg_;
    std::unique_ptr<school::Connection> owner_;
    std::string pc_;

    void SignInByKeys(SchoolMode& mode, const char* number, const char* pin)
    {
        SignInWindow* w = mode.signInWindow();
        QLineEdit* numberEdit = Child<QLineEdit>(w, "numberEdit");
        QTRY_VERIFY(numberEdit->isEnabled());
        QTest::keyClicks(numberEdit, QString::fromLatin1(number));
        QTest::keyClick(numberEdit, Qt::Key_Tab);
        QTest::keyClicks(Child<QLineEdit>(w, "pinEdit"), QString::fromLatin1(pin));
        QTest::keyClick(Child<QLineEdit>(w, "pinEdit"), Qt::Key_Return);
    }

    long long ServerAnswers(const char* number)
    {
        return owner_->Exec("SELECT count(*) FROM lentavo.answers_export WHERE number = $1", {std::string(number)})
            .Int64(0, 0);
    }

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        dialogs::SetTestMode(true);
        pg_ = std::make_unique<PgCluster>();
        owner_ = std::make_unique<school::Connection>(pg_->Conninfo());
        school::Migrate(*owner_);
        school::ImportPupils(*owner_, {{"1001", "山田 花子", "やまだ はなこ", "1234"}, {"1002", "佐藤 健", "さとう けん", "5678"}});
        school::PushBank(*owner_, (kBuild + "/sample").toStdString());
        owner_->Exec("CREATE ROLE pc_test LOGIN IN ROLE lentavo_pc");
        pc_ = pg_->As("pc_test");
    }

    void cleanupTestCase()
    {
        owner_.reset();
        pg_.reset();
    }

    void signOutLeavesNothingOfThePupilReachable()
    {
        QTemporaryDir root;
        SchoolMode mode(pc_, school::SchoolFolders(root.path().toStdString()));
        QSignalSpy menus(&mode, &SchoolMode::menuShown);
        mode.Start();
        SignInByKeys(mode, "1001", "1234");
        QTRY_COMPARE_WITH_TIMEOUT(menus.count(), 1, 10000);
        const std::string first = mode.pupil()->folder;
        QVERIFY(Form1->isVisible() && !mode.signInWindow()->isVisible());
        QCOMPARE(Form1->windowTitle(), QStringLiteral("学科練習システム — 山田 花子 (1001)"));
        QCOMPARE(Child<QLabel>(Form1, "PupilLabel")->text(), QStringLiteral("山田 花子 (1001)"));
        QCOMPARE(FindDataDirectory(nullptr, DataFileDialog()).directory, first);
        QCOMPARE(data::Directory::FromSettings(SettingsFilePath())->Path(), first);

        // A drill with one answer, and the learning record, both left open.
        Child<QPushButton>(Form1, "BitBtn6")->click();
        QTRY_VERIFY(Form4->isVisible());
        QVERIFY(Form4->windowTitle().endsWith(QStringLiteral("山田 花子 (1001)")));
        Child<QPushButton>(Form4, "BitBtn3")->click();
        Child<QPushButton>(Form1, "ProgressButton")->click();
        QTRY_VERIFY(Progress->isVisible());
        QVERIFY(Progress->windowTitle().endsWith(QStringLiteral("山田 花子 (1001)")));
        QCOMPARE(Progress->PupilName(), QStringLiteral("山田 花子 (1001)"));

        Child<QPushButton>(Form1, "LogoutButton")->click();
        QTRY_VERIFY(!Form1 && !Form4 && !Progress);
        QCOMPARE(VisibleTitles(), QStringList{QStringLiteral("ログイン")});
        QVERIFY(Child<QLineEdit>(mode.signInWindow(), "numberEdit")->text().isEmpty());
        // No window can open a data directory now, nor asks for one.
        const DataDirectory none = FindDataDirectory(nullptr, DataFileDialog());
        QVERIFY(none.cancelled && none.directory.empty());
        QVERIFY(!data::Directory::FromSettings(SettingsFilePath()));
        QVERIFY(dialogs::TakeFileDialogs().isEmpty());
        // The answer was stored by the drill's end at sign-out and still goes out.
        QTRY_COMPARE_WITH_TIMEOUT(ServerAnswers("1001"), 1LL, 15000);

        SignInByKeys(mode, "1002", "5678");
        QTRY_COMPARE_WITH_TIMEOUT(menus.count(), 2, 10000);
        QCOMPARE(Form1->windowTitle(), QStringLiteral("学科練習システム — 佐藤 健 (1002)"));
        QVERIFY(mode.pupil()->folder != first);
        QCOMPARE(FindDataDirectory(nullptr, DataFileDialog()).directory, mode.pupil()->folder);
        for (const QString& title : VisibleTitles())
            QVERIFY2(!title.contains(QStringLiteral("山田")), qPrintable(title));
        QCOMPARE(ServerAnswers("1002"), 0LL);
        dialogs::TakeMessages();
    }

    // The pupil moved on to another PC and took over there: this PC tells why it signed out,
    // goes back to the sign-in, and still delivers the drill it was in the middle of.
    void aPcTakenOverSignsOutAndTellsWhy()
    {
        QTemporaryDir root;
        SchoolMode mode(pc_, school::SchoolFolders(root.path().toStdString()));
        mode.SetSignInCheckInterval(200);
        QSignalSpy menus(&mode, &SchoolMode::menuShown);
        mode.Start();
        SignInByKeys(mode, "1002", "5678");
        QTRY_COMPARE_WITH_TIMEOUT(menus.count(), 1, 10000);
        Child<QPushButton>(Form1, "BitBtn6")->click();
        QTRY_VERIFY(Form4->isVisible());
        Child<QPushButton>(Form4, "BitBtn3")->click();
        dialogs::TakeMessages();
        QTest::qWait(600);
        QVERIFY(Form1 && mode.pupil());   // still the pupil's own sign-in

        school::Client other(pc_);
        QCOMPARE(other.SignIn("1002", "5678", "another-pc", true).status, school::SignInResult::Status::SignedIn);
        QTRY_VERIFY_WITH_TIMEOUT(!mode.pupil(), 10000);
        QTRY_VERIFY(!Form1 && !Form4);
        QCOMPARE(VisibleTitles(), QStringList{QStringLiteral("ログイン")});
        const QStringList told = dialogs::TakeMessages();
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0], SchoolMode::EndedMessage(school::SignInState::TakenOver));
        QTRY_COMPARE_WITH_TIMEOUT(ServerAnswers("1002"), 1LL, 15000);
    }

    void anUnreachableServerIsToldAndNoDataIsOpened()
    {
        QTemporaryDir root, nowhere;
        SchoolMode mode("host=" + nowhere.path().toStdString() + " dbname=lentavo connect_timeout=2",
                        school::SchoolFolders(root.path().toStdString()));
        dialogs::TakeMessages();
        dialogs::QueueConfirmAnswer(true);   // 再試行, then (nothing queued) 終了
        mode.Start();
        QCOMPARE(RunUntilQuit(), 0);
        const QStringList told = dialogs::TakeMessages();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains(QStringLiteral("接続できません")), qPrintable(told[0]));
        QVERIFY(!Form1);
        QVERIFY(FindDataDirectory(nullptr, DataFileDialog()).cancelled);
        QVERIFY(!Child<QLineEdit>(mode.signInWindow(), "numberEdit")->isEnabled());
    }
};

QTEST_MAIN(TestSchoolMode)
#include "tst_school_mode.moc"
