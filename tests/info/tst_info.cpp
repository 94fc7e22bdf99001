// The information dialog: its texts, the hover highlighting, the links that open nothing and
// the closing button.

#include "Fonts.h"
#include "Highlight.h"
#include "TForm7.h"

#include <QTest>
#include <QTimer>

class TestInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm7> form;

    QList<QColor> highlightable() const
    {
        return {highlight::CaptionColour(form->Label1), highlight::CaptionColour(form->Label3),
                highlight::CaptionColour(form->Label5), highlight::CaptionColour(form->BitBtn1)};
    }
    QList<QColor> redAt(int i) const
    {
        QList<QColor> c(4, highlight::Black);
        c[i] = highlight::Red;
        return c;
    }
    static QPoint centre(QWidget* w) { return w->rect().center(); }

private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void init()
    {
        form = std::make_unique<TForm7>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void layoutAndFictionalContacts()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvessa"));
        QCOMPARE(form->pos(), QPoint(224, 153));
        QCOMPARE(form->Image1->pixmap().size(), QSize(549, 290));
        QCOMPARE(form->Image1->geometry(), QRect(24, 0, 553, 297));
        QCOMPARE(form->BitBtn1->text(), QStringLiteral("閉じる"));
        QCOMPARE(highlight::CaptionColour(form->Label11), QColor(255, 128, 0));
        // Contact details must never reach a real school or person.
        QVERIFY(form->Label1->text().contains(QStringLiteral(".example.jp")));
        QVERIFY(form->Label5->text().endsWith(QStringLiteral("@orvessa.example.jp")));
        QVERIFY(form->Label4->text().contains(QStringLiteral("0000-0000")));
    }

    void hoverTurnsOneCaptionRed()
    {
        QTest::mouseMove(form->Label1, centre(form->Label1));
        QCOMPARE(highlightable(), redAt(0));
        QTest::mouseMove(form->Label3, centre(form->Label3));
        QCOMPARE(highlightable(), redAt(1));
        QTest::mouseMove(form->BitBtn1, centre(form->BitBtn1));
        QCOMPARE(highlightable(), redAt(3));

        // Label10 has no handler: the colours stay.
        QTest::mouseMove(form->Label10, centre(form->Label10));
        QCOMPARE(highlightable(), redAt(3));

        // Any other text, the picture or the background turns everything black.
        QTest::mouseMove(form->Label5, centre(form->Label5));
        QCOMPARE(highlightable(), redAt(2));
        QTest::mouseMove(form->Label2, centre(form->Label2));
        QCOMPARE(highlightable(), QList<QColor>(4, highlight::Black));
        QTest::mouseMove(form->Label1, centre(form->Label1));
        QTest::mouseMove(form->Image1, QPoint(100, 150));
        QCOMPARE(highlightable(), QList<QColor>(4, highlight::Black));
        QTest::mouseMove(form->Label1, centre(form->Label1));
        QTest::mouseMove(form.get(), QPoint(600, 330));
        QCOMPARE(highlightable(), QList<QColor>(4, highlight::Black));
    }

    void linksOnlyResetTheColours()
    {
        for (QLabel* link : {form->Label1, form->Label3, form->Label5}) {
            QTest::mouseMove(link, centre(link));
            QVERIFY(highlight::CaptionColour(link) == highlight::Red);
            QTest::mouseClick(link, Qt::LeftButton, {}, centre(link));
            QCOMPARE(highlightable(), QList<QColor>(4, highlight::Black));
            QVERIFY(form->isVisible());
        }
    }

    void buttonEndsTheModalShowing()
    {
        form->hide();
        bool clicked = false;
        QTimer::singleShot(0, this, [&] {
            QTest::mouseMove(form->BitBtn1, centre(form->BitBtn1));
            QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
            clicked = true;
        });
        // Should the click not close it, this ends the wait instead of hanging the run.
        bool timedOut = false;
        QTimer::singleShot(5000, form.get(), [&] {
            timedOut = true;
            form->reject();
        });
        form->exec();
        QVERIFY(clicked);
        QVERIFY(!timedOut);
        QVERIFY(!form->isVisible());
        QCOMPARE(highlightable(), QList<QColor>(4, highlight::Black));
    }
};

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
