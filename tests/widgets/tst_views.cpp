// The data-aware views and the grid model over tables built through the table store.
#include "DBEdit.h"
#include "DBImage.h"
#include "DBMemo.h"
#include "DataSource.h"
#include "EucJp.h"
#include "Fonts.h"
#include "Layouts.h"
#include "DataDirectory.h"
#include "ScreenFit.h"
#include "TableModel.h"

#include <QBuffer>
#include <QLabel>
#include <QScreen>

#include <limits>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::string Euc(const char* utf8) { return eucjp::Encode(QString::fromUtf8(utf8)); }

std::string PictureBytes(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

QImage Filled(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

// A BMP header that claims WIDTH x HEIGHT pixels and carries none of them.
std::string LyingBmp(int width, int height)
{
    QByteArray b(54, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char((v >> (8 * i)) & 0xff);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    b[26] = 1;
    b[28] = 24;
    return b.toStdString();
}

}  // namespace

class TestViews : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string bankPath_;

private slots:
    void initTestCase()
    {
        InstallFontSubstitutions();
        QVERIFY(dir_.isValid());
        bankPath_ = dir_.filePath("mondai.cds").toStdString();
        std::vector<Row> rows;
        const char* texts[] = {"信号機のある交差点", "横断歩道", "踏切"};
        for (int i = 0; i < 3; ++i)
            rows.push_back(Row{Value(i), Value(10 * i), Value(), Value("000" + std::to_string(i + 1)),
                               Value(0), Value(1), Value(Euc("解説") + std::to_string(i)), Value(1),
                               Value(i == 0 ? PictureBytes(Filled(2, 2, Qt::red), "PNG") : std::string()),
                               Value(Euc(texts[i]))});
        Table::CreateFile(bankPath_, layouts::Bank(), rows);
    }

    void dataSourceSignals()
    {
        Table t;
        t.SetFileName(bankPath_);
        DataSource source;
        source.setDataSet(&t);
        QSignalSpy spy(&source, &DataSource::dataChange);
        QVERIFY(!source.hasCurrent());
        QVERIFY(!source.field("Mondai"));
        t.Open();
        QVERIFY(spy.count() > 0);
        QVERIFY(source.hasCurrent());
        spy.clear();
        t.Next();
        QVERIFY(spy.count() > 0);
        spy.clear();
        t.Edit();
        t.FieldByName("Kaisu").SetAsInteger(9);
        QVERIFY(spy.count() > 0);
        t.Cancel();
        QVERIFY(!source.field("NoSuchField"));
        // An empty view offers no field.
        t.SetFilter("Nani = 99");
        t.SetFiltered(true);
        QVERIFY(!source.hasCurrent());
        QVERIFY(!source.field("Mondai"));
        spy.clear();
        t.Close();
        QVERIFY(spy.count() > 0);
    }

    // Memo and field box follow the current record, decode EUC-JP, switch fields, and never
    // take typing.
    void memoAndFieldBox()
    {
        Table t;
        t.SetFileName(bankPath_);
        DataSource source;
        source.setDataSet(&t);
        DBMemo memo;
        memo.setDataSource(&source);
        memo.setDataField("Mondai");
        DBEdit box;
        box.setDataSource(&source);
        box.setDataField("Kaisu");
        DBEdit number;
        number.setDataSource(&source);
        number.setDataField("Bango");
        QCOMPARE(memo.toPlainText(), QString());
        t.Open();
        QCOMPARE(memo.toPlainText(), QStringLiteral("信号機のある交差点"));
        QCOMPARE(box.text(), QString());   // a null integer shows nothing
        QCOMPARE(number.text(), QStringLiteral("0001"));
        t.Next();
        QCOMPARE(memo.toPlainText(), QStringLiteral("横断歩道"));
        memo.setDataField("Kaisetsu");
        QCOMPARE(memo.toPlainText(), QStringLiteral("解説1"));
        t.Edit();
        t.FieldByName("Kaisu").SetAsInteger(12);
        QCOMPARE(box.text(), QStringLiteral("12"));
        t.Post();

        QVERIFY(memo.isReadOnly());
        QVERIFY(box.isReadOnly());
        memo.show();
        memo.setFocus();
        QTest::keyClicks(&memo, "abc");
        box.setFocus();
        QTest::keyClicks(&box, "7");
        QCOMPARE(memo.toPlainText(), QStringLiteral("解説1"));
        QCOMPARE(box.text(), QStringLiteral("12"));
        QCOMPARE(t.FieldByName("Kaisetsu").AsText(), QStringLiteral("解説1"));

        t.Close();
        QCOMPARE(memo.toPlainText(), QString());
        QCOMPARE(box.text(), QString());
    }

    void pictureDecoding()
    {
        QCOMPARE(DBImage::Decode(QByteArray::fromStdString(PictureBytes(Filled(3, 2, Qt::blue), "PNG"))).size(), QSize(3, 2));
        QCOMPARE(DBImage::Decode(QByteArray::fromStdString(PictureBytes(Filled(5, 4, Qt::blue), "BMP"))).size(), QSize(5, 4));
        QVERIFY(DBImage::Decode(QByteArray()).isNull());
        QVERIFY(DBImage::Decode("not a picture at all").isNull());
        // Cut short: no crash, nothing or a partial picture, never a failure.
        const std::string png = PictureBytes(Filled(40, 40, Qt::green), "PNG");
        DBImage::Decode(QByteArray::fromStdString(png.substr(0, png.size() / 2)));
        // Too large either way, whether real or only claimed by the header.
        QVERIFY(DBImage::Decode(QByteArray::fromStdString(PictureBytes(Filled(4097, 1, Qt::red), "PNG"))).isNull());
        QVERIFY(!DBImage::Decode(QByteArray::fromStdString(PictureBytes(Filled(4096, 1, Qt::red), "PNG"))).isNull());
        QVERIFY(DBImage::Decode(QByteArray::fromStdString(LyingBmp(100000, 100000))).isNull());
    }

    void pictureModes()
    {
        Table t;
        t.SetFileName(bankPath_);
        t.Open();
        DataSource source;
        source.setDataSet(&t);
        DBImage view;
        view.setFrameStyle(QFrame::NoFrame);
        view.resize(100, 80);
        view.setDataSource(&source);
        view.setDataField("Zu");
        QCOMPARE(view.picture().size(), QSize(2, 2));

        // Stretched: the 2 x 2 picture fills the whole view.
        QImage shot = view.grab().toImage();
        QCOMPARE(shot.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(98, 78), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(50, 40), QColor(Qt::red));
        // Natural size, centred: only the middle is red.
        view.setMode(DBImage::Mode::Center);
        shot = view.grab().toImage();
        QCOMPARE(shot.pixelColor(49, 39), QColor(Qt::red));
        QVERIFY(shot.pixelColor(1, 1) != QColor(Qt::red));
        QVERIFY(shot.pixelColor(60, 39) != QColor(Qt::red));
        // As large as fits in its own proportions: a square in the middle, never stretched.
        view.setMode(DBImage::Mode::Fit);
        shot = view.grab().toImage();
        QCOMPARE(shot.pixelColor(12, 2), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(88, 78), QColor(Qt::red));
        QVERIFY(shot.pixelColor(5, 40) != QColor(Qt::red));
        QVERIFY(shot.pixelColor(95, 40) != QColor(Qt::red));

        // A record without a picture shows nothing.
        t.Next();
        QVERIFY(view.picture().isNull());
        t.Prior();
        QVERIFY(!view.picture().isNull());
        t.Close();
        QVERIFY(view.picture().isNull());
    }

    void windowsFitTheScreen()
    {
        using screenfit::Factor;
        // The design size on its own screen is left alone; a frame that makes it too tall, or a
        // laptop at scale 2 (960 x 540 logical), scales it down by the tighter side.
        QCOMPARE(Factor({1022, 768}, {0, 0}, {1024, 768}, 1.0), 1.0);
        QCOMPARE(Factor({1022, 768}, {2, 30}, {1024, 768}, 1.0), 738.0 / 768);
        QCOMPARE(Factor({1022, 768}, {0, 0}, {960, 540}, 1.0), 540.0 / 768);
        // A zoom is granted as far as the screen holds it.
        QCOMPARE(Factor({1022, 768}, {0, 0}, {1920, 1080}, 1.2), 1.2);
        QCOMPARE(Factor({1022, 768}, {0, 0}, {1920, 1080}, 3.0), 1080.0 / 768);
        // The frame goes to the design position, the first edition's 2 pixels off the left edge
        // included; below a panel, and back from the right and bottom edges, but never with its
        // title bar off the top.
        using screenfit::FramePosition;
        QCOMPARE(FramePosition({-2, 0}, {1024, 790}, {0, 0, 1920, 1080}), QPoint(-2, 0));
        QCOMPARE(FramePosition({-2, 0}, {1024, 790}, {0, 32, 1920, 1048}), QPoint(-2, 32));
        QCOMPARE(FramePosition({224, 153}, {616, 363}, {0, 0, 700, 400}), QPoint(84, 37));
        QCOMPARE(FramePosition({224, 153}, {616, 363}, {0, 0, 600, 300}), QPoint(0, 0));
        QCOMPARE(FramePosition({-2, 0}, {1024, 790}, {100, 0, 1000, 700}), QPoint(98, 0));
        QCOMPARE(screenfit::ClampZoom(1.0 + 0.1 - 0.1 + 0.1 - 0.1), 1.0);
        QCOMPARE(screenfit::ClampZoom(0.54), 0.5);
        QCOMPARE(screenfit::ClampZoom(10), 3.0);
        QCOMPARE(screenfit::ClampZoom(std::numeric_limits<double>::quiet_NaN()), 1.0);

        // A window whose design is larger than the screen (1,028 x 772 in the tests) shrinks
        // with its children and their fonts and lies on the screen; the pupil's zoom is stored
        // beside the settings file, and placing again starts from the design, not from the last
        // result.
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(1028, 772));
        QTemporaryDir dir;
        SetProgramPath(dir.filePath("lentavo").toStdString());
        QWidget window;
        auto* child = new QLabel(QStringLiteral("正"), &window);
        child->setGeometry(100, 100, 200, 50);
        QFont font = child->font();
        font.setPixelSize(20);
        child->setFont(font);
        screenfit::Place(&window, QPoint(-2, 0), QSize(1285, 965));
        QCOMPARE(screenfit::CurrentFactor(&window), 0.8);
        QCOMPARE(child->geometry(), QRect(80, 80, 160, 40));
        QCOMPARE(child->font().pixelSize(), 16);
        QCOMPARE(window.geometry(), QRect(0, 0, 1028, 772));
        screenfit::SetZoom(0.5);
        QVERIFY(QFile::exists(dir.filePath("Lentavo.zoom")));
        screenfit::Place(&window, QPoint(-2, 0), QSize(1285, 965));
        QCOMPARE(child->geometry(), QRect(50, 50, 100, 25));
        QCOMPARE(child->font().pixelSize(), 10);
        screenfit::SetZoom(1.0);
        screenfit::Place(&window, QPoint(-2, 0), QSize(1285, 965));
        QCOMPARE(child->geometry(), QRect(80, 80, 160, 40));
        // The design size on the design screen is placed exactly as designed.
        screenfit::Place(&window, QPoint(-2, 0), QSize(1022, 768));
        QCOMPARE(window.geometry(), QRect(-2, 0, 1022, 768));
        QCOMPARE(child->geometry(), QRect(100, 100, 200, 50));

        // The zoom keys: Ctrl++ (or Ctrl+=) one step larger, Ctrl+- one smaller, Ctrl+0 back.
        screenfit::InstallZoomKeys(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(screenfit::Zoom(), 1.1);
        QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(screenfit::Zoom(), 1.2);
        QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(screenfit::Zoom(), 1.1);
        QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(screenfit::Zoom(), 1.0);
    }

    void gridModel()
    {
        Table t;
        t.SetFileName(bankPath_);
        TableModel model;
        model.setTable(&t);
        model.setColumns({{"Bango", "番号", -1}, {"Nani", "難易度", 25}, {"Mondai", "問題", -1}, {"Zzz", "?", -1}});
        QCOMPARE(model.rowCount(), 0);
        t.Open();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("難易度"));
        QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("0003"));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("20"));
        QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("横断歩道"));
        QCOMPARE(model.data(model.index(1, 3)).toString(), QString());   // a field the table lacks
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QTableView view;
        model.bindView(&view);
        QCOMPARE(view.columnWidth(1), 25);
        QCOMPARE(view.currentIndex().row(), 0);
        // The program moves the record: the grid follows, and the row indicator with it.
        t.Last();
        QCOMPARE(view.currentIndex().row(), 2);
        QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QStringLiteral("▶"));
        QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QString());
        // The pupil selects a row: its record becomes current.
        QSignalSpy rows(&model, &TableModel::currentRowChanged);
        view.selectionModel()->setCurrentIndex(model.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(t.RecNo(), 1);
        QCOMPARE(rows.count(), 1);
        QCOMPARE(view.selectionModel()->selectedRows().size(), 1);
        // A filter changes the rows; an edit shows at once.
        t.SetFilter("Nani >= 10");
        t.SetFiltered(true);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("0002"));
        QCOMPARE(view.currentIndex().row(), 0);
        t.SetFilter("Nani <= 10");   // another view of the same size
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("0001"));
        t.Edit();
        t.FieldByName("Nani").SetAsInteger(5);
        t.Post();
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("5"));
        t.Cancel();
        t.Close();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestViews)
#include "tst_views.moc"
