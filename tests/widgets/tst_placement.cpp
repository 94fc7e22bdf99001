// Where a picture goes in its frame: the same for the drill's, the review's and the exam's figure.
#include "Placement.h"

#include <QTest>

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void fittedKeepsTheProportionsAndCentresInTheFrame()
    {
        // The frame of a view with a border starts away from the corner: the picture is centred
        // in the frame, not in the widget.
        const QRect frame(3, 5, 400, 200);
        // Wide picture, taller frame share: full height, centred across.
        QCOMPARE(placement::Fitted(QSize(100, 100), frame), QRect(103, 5, 200, 200));
        // Wider than the frame's shape: full width, centred down; 800 x 100 -> 400 x 50.
        QCOMPARE(placement::Fitted(QSize(800, 100), frame), QRect(3, 80, 400, 50));
        // A small picture is enlarged, not shown at its own size.
        QCOMPARE(placement::Fitted(QSize(4, 1), frame), QRect(3, 55, 400, 100));
        // Odd leftovers split with the extra pixel after the picture, as the views always drew.
        QCOMPARE(placement::Fitted(QSize(10, 10), QRect(0, 0, 7, 4)), QRect(1, 0, 4, 4));

        // Whatever the sizes, the proportions hold to the pixel and the margins are even.
        for (int pw : {1, 3, 37, 640})
            for (int ph : {1, 23, 480})
                for (QSize view : {QSize(433, 369), QSize(301, 199), QSize(1, 1), QSize(50, 1000)}) {
                    const QRect frame2(QPoint(2, 7), view);
                    const QRect r = placement::Fitted(QSize(pw, ph), frame2);
                    QVERIFY(r.isEmpty() || frame2.contains(r));
                    QVERIFY(r.width() == view.width() || r.height() == view.height());
                    QVERIFY(std::abs(qint64(r.width()) * ph - qint64(r.height()) * pw) < qMax(pw, ph));
                    QVERIFY(qAbs((r.left() - frame2.left()) - (frame2.right() - r.right())) <= 1);
                    QVERIFY(qAbs((r.top() - frame2.top()) - (frame2.bottom() - r.bottom())) <= 1);
                }
    }

    void centredKeepsTheSizeAndSticksOutEvenly()
    {
        const QRect frame(3, 5, 100, 80);
        QCOMPARE(placement::Centred(QSize(2, 2), frame), QRect(52, 44, 2, 2));
        // Larger than the frame: the same overhang on each side, for the view to clip.
        QCOMPARE(placement::Centred(QSize(120, 100), frame), QRect(-7, -5, 120, 100));
    }

    void nothingToPlaceOrNowhereToPlaceItGivesAnEmptyRectangle()
    {
        QVERIFY(placement::Fitted(QSize(), QRect(0, 0, 50, 50)).isEmpty());
        QVERIFY(placement::Fitted(QSize(0, 10), QRect(0, 0, 50, 50)).isEmpty());
        QVERIFY(placement::Fitted(QSize(10, 10), QRect(0, 0, 0, 50)).isEmpty());
        QVERIFY(placement::Fitted(QSize(10, 10), QRect(0, 0, 50, 0)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
