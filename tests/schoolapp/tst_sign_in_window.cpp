// The sign-in window on its own: what it refuses before asking anyone, how it tells the
// server's refusals, and the take-over of a sign-in at another PC.

#include "SignInWindow.h"

#include "Dialogs.h"
#include "FormChild.h"

#include <QSignalSpy>
#include <QTest>

using school::SignInResult;

class TestSignInWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<SignInWindow> w;
    QLineEdit* number() { return Child<QLineEdit>(w, "numberEdit"); }
    QLineEdit* pin() { return Child<QLineEdit>(w, "pinEdit"); }
    QString message() { return Child<QLabel>(w, "messageLabel")->text(); }

    // Types NUMBER, Tab, PIN, Return as a pupil does.
    void Type(const QString& n, const QString& p)
    {
        QTest::keyClicks(QApplication::focusWidget(), n);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), p);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    SignInResult Refusal(SignInResult::Status status)
    {
        SignInResult r;
        r.status = status;
        return r;
    }

private slots:
    void initTestCase() { dialogs::SetTestMode(true); }

    void init()
    {
        w = std::make_unique<SignInWindow>();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        dialogs::TakeMessages();
    }

    void cleanup() { w.reset(); }

    void keysSignInFromTheNumberField()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("ログイン"));
        QCOMPARE(QApplication::focusWidget(), number());
        QCOMPARE(pin()->echoMode(), QLineEdit::Password);
        QSignalSpy asked(w.get(), &SignInWindow::signInRequested);
        // Full-width digits from a Japanese input method (which commits text, not keys) are the
        // same number.
        number()->insert(QStringLiteral("１２３４"));
        Type(QString(), QStringLiteral("9876"));
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked[0], (QList<QVariant>{QStringLiteral("1234"), QStringLiteral("9876"), false}));
        // Asked once: no second request while the server answers.
        QVERIFY(!number()->isEnabled() && !pin()->isEnabled());
        QTest::keyClick(pin(), Qt::Key_Return);
        QCOMPARE(asked.count(), 1);
    }

    void whatCannotBeANumberIsNeverSent_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("three digits") << "123";
        QTest::newRow("nine digits") << "123456789";
        QTest::newRow("a letter") << "12a4";
        QTest::newRow("SQL") << "1' OR '1'='1";
        QTest::newRow("nothing") << "";
    }
    void whatCannotBeANumberIsNeverSent()
    {
        QFETCH(QString, typed);
        QSignalSpy asked(w.get(), &SignInWindow::signInRequested);
        Type(typed, QStringLiteral("1111"));
        QCOMPARE(asked.count(), 0);
        QVERIFY(message().contains(QStringLiteral("教習生番号")));
        QCOMPARE(QApplication::focusWidget(), number());
        QVERIFY(number()->isEnabled());
    }

    void returnInTheNumberGoesOnToAnEmptyPin()
    {
        QSignalSpy asked(w.get(), &SignInWindow::signInRequested);
        QTest::keyClicks(number(), QStringLiteral("1234"));
        QTest::keyClick(number(), Qt::Key_Return);
        QCOMPARE(asked.count(), 0);
        QCOMPARE(QApplication::focusWidget(), pin());
        // With the PIN given, Return in the number signs in.
        QTest::keyClicks(pin(), QStringLiteral("77"));
        QTest::keyClick(number(), Qt::Key_Return);
        QCOMPARE(asked.count(), 1);
    }

    void quitAndTheCloseBoxAskToEndTheProgram()
    {
        QSignalSpy quit(w.get(), &SignInWindow::quitRequested);
        QTest::mouseClick(Child<QPushButton>(w, "quitButton"), Qt::LeftButton);
        QCOMPARE(quit.count(), 1);
        // The close box does not just hide the sign-in, leaving a program with no window.
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QCOMPARE(quit.count(), 2);
    }

    void refusalsSayWhyAndSendThePupilBack()
    {
        Type(QStringLiteral("1234"), QStringLiteral("0000"));
        SignInResult wrong = Refusal(SignInResult::Status::WrongPin);
        wrong.attemptsLeft = 2;
        w->ShowRefusal(wrong);
        QVERIFY2(message().contains(QStringLiteral("PINがちがいます")) && message().contains(QStringLiteral("2回")),
                 qPrintable(message()));
        QCOMPARE(QApplication::focusWidget(), pin());
        QVERIFY(pin()->text().isEmpty());
        QCOMPARE(number()->text(), QStringLiteral("1234"));

        QTest::keyClicks(pin(), QStringLiteral("0000"));
        QTest::keyClick(pin(), Qt::Key_Return);
        SignInResult locked = Refusal(SignInResult::Status::Locked);
        const QDateTime until = QDateTime(QDate(2026, 12, 8), QTime(10, 7), Qt::UTC);
        locked.lockedUntil = until.toString(Qt::ISODate).toStdString();
        w->ShowRefusal(locked);
        // Until when, in the PC's own time.
        QVERIFY2(message().contains(until.toLocalTime().toString(QStringLiteral("H:mm"))), qPrintable(message()));
        QCOMPARE(QApplication::focusWidget(), number());
        QVERIFY(pin()->text().isEmpty());

        QTest::keyClick(number(), Qt::Key_Tab);
        QTest::keyClicks(pin(), QStringLiteral("1111"));
        QTest::keyClick(pin(), Qt::Key_Return);
        w->ShowRefusal(Refusal(SignInResult::Status::UnknownPupil));
        QVERIFY(message().contains(QStringLiteral("登録されていません")));
        QCOMPARE(QApplication::focusWidget(), number());
        QVERIFY(number()->isEnabled() && pin()->isEnabled());
    }

    void signedInElsewhereIsTakenOverOnlyWhenThePupilSaysSo()
    {
        QSignalSpy asked(w.get(), &SignInWindow::signInRequested);
        Type(QStringLiteral("1234"), QStringLiteral("5555"));
        SignInResult elsewhere = Refusal(SignInResult::Status::SignedInElsewhere);
        elsewhere.otherPc = "room-pc-07";

        dialogs::QueueConfirmAnswer(false);
        w->ShowRefusal(elsewhere);
        QCOMPARE(asked.count(), 1);
        QVERIFY(pin()->text().isEmpty());

        QTest::keyClicks(pin(), QStringLiteral("5555"));
        QTest::keyClick(pin(), Qt::Key_Return);
        QCOMPARE(asked.count(), 2);
        dialogs::QueueConfirmAnswer(true);
        w->ShowRefusal(elsewhere);
        QCOMPARE(asked.count(), 3);
        QCOMPARE(asked[2], (QList<QVariant>{QStringLiteral("1234"), QStringLiteral("5555"), true}));
    }

    // Fitted as every window: on the screen's available area, the whole form inside it and no
    // part of it squeezed below what it needs (run again at QT_SCALE_FACTOR=2, where the screen
    // leaves 514 x 386 for it).
    void fitsTheScreenWithTheWholeFormShown()
    {
        w = std::make_unique<SignInWindow>();
        w->ShowFitted();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QRect available = w->screen()->availableGeometry();
        QVERIFY2(available.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("%1 on %2").arg(QVariant(w->frameGeometry()).toString(), QVariant(available).toString())));
        const QRect inside = w->rect();
        for (QWidget* part : w->findChildren<QWidget*>()) {
            if (!part->isVisibleTo(w.get()))
                continue;
            const QRect at(part->mapTo(w.get(), QPoint(0, 0)), part->size());
            QVERIFY2(inside.contains(at), qPrintable(part->objectName()));
            QVERIFY2(part->width() >= part->minimumSizeHint().width() && part->height() >= part->minimumSizeHint().height(),
                     qPrintable(part->objectName()));
        }
        if (const QByteArray shots = qgetenv("LENTAVO_SHOTS"); !shots.isEmpty())
            w->grab().save(QString::fromLocal8Bit(shots) + "/sign-in-" + QString::number(w->devicePixelRatio()) + ".png");
        QCOMPARE(QApplication::focusWidget(), number());
    }

    void resetLeavesNothingOfTheLastPupil()
    {
        Type(QStringLiteral("1234"), QStringLiteral("5555"));
        w->Reset();
        QVERIFY(number()->isEnabled() && pin()->isEnabled());
        QVERIFY(number()->text().isEmpty() && pin()->text().isEmpty() && message().isEmpty());
        QCOMPARE(QApplication::focusWidget(), number());
    }
};

QTEST_MAIN(TestSignInWindow)
#include "tst_sign_in_window.moc"
