// 教官用 一覧 without a server: the rows it is given sorted by a header click, filtered by the
// teacher's controls, a double-click naming the pupil under the cursor whatever the order, the
// confirmations in front of every change, and the saved list.

#include "DataDirectory.h"
#include "Dialogs.h"
#include "ScreenFit.h"
#include "FormChild.h"
#include "LanguageChoice.h"
#include "TeacherOverviewWindow.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(school::Pupil)

namespace {

// A pupil with NUMBER, NAME, READING, last studied DAYS_AGO days before TODAY (negative: never),
// and 仮免 mocks SCORES (newest first, of 50, pass mark 45) out of MOCKS.
school::OverviewRow Pupil(const char* number, const char* name, const char* reading, int daysAgo,
                          std::vector<int> scores = {}, int mocks = -1)
{
    static const QDate today(2026, 12, 8);
    school::OverviewRow r;
    r.number = number;
    r.name = name;
    r.furigana = reading;
    if (daysAgo >= 0)
        r.lastDay = today.addDays(-daysAgo);
    r.answers = daysAgo >= 0 ? 100 : 0;
    for (const exam::TestDefinition& t : exam::Tests())
        r.tests.push_back({t.test, 0, {}});
    school::TestScores& karimen = r.tests[0];
    for (int s : scores)
        karimen.last.push_back({exam::Test::Karimen, {}, s, 50, 45});
    karimen.mocks = mocks < 0 ? int(scores.size()) : mocks;
    r.mocks = karimen.mocks;
    return r;
}

const QDate kToday(2026, 12, 8);

}  // namespace

class TestTeacherWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TeacherOverviewWindow> window_;
    QTableView* table_ = nullptr;

    QStringList Numbers() const
    {
        QStringList out;
        for (int r = 0; r < table_->model()->rowCount(); ++r)
            out << table_->model()->index(r, 0).data().toString();
        return out;
    }

    void ClickHeader(int column)
    {
        QHeaderView* header = table_->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }

    void DoubleClickRow(int row)
    {
        const QRect cell = table_->visualRect(table_->model()->index(row, 1));
        QTest::mouseClick(table_->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table_->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void init()
    {
        dialogs::SetTestMode(true);
        window_ = std::make_unique<TeacherOverviewWindow>();
        window_->SetRows({Pupil("1003", "佐藤 花子", "さとう はなこ", 0, {50, 47, 45}),
                          Pupil("1001", "鈴木 一郎", "すずき いちろう", 10, {48, 30, 46}),
                          Pupil("1002", "青木 健", "あおき けん", -1),
                          Pupil("1004", "田中 次郎", "たなか じろう", 3, {46, 45}, 2)},
                         kToday);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        table_ = Child<QTableView>(window_, "pupilTable");
    }

    void cleanup()
    {
        window_.reset();
        dialogs::TakeMessages();
    }

    // Fitted as the program's other windows: the pupil's zoom draws it larger only as far as
    // the screen holds it, smaller as asked, and its frame stays on the screen.
    void fitsTheScreenAtAnyZoom()
    {
        QTemporaryDir home;
        SetProgramPath(home.filePath("lentavo").toStdString());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const double zoom : {3.0, 0.5}) {
            screenfit::SetZoom(zoom);
            TeacherOverviewWindow window;
            const double font = Child<QTableView>(&window, "pupilTable")->font().pointSizeF();
            window.ShowFitted();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // Tried until the window manager has framed it: the frame decides the factor.
            // (A scaled screen's logical frame may be rounded a pixel past it.)
            QTRY_VERIFY(screen.adjusted(-1, -1, 1, 1).contains(window.frameGeometry()));
            const QSize design = TeacherOverviewWindow::kDesignMinimum;
            auto factor = [&window] { return screenfit::CurrentFactor(&window); };
            QTRY_COMPARE(window.minimumSize(), QSize(int(design.width() * factor()), int(design.height() * factor())));
            QTRY_VERIFY(qAbs(Child<QTableView>(&window, "pupilTable")->font().pointSizeF() - font * factor()) < 0.01);
            // No screen holds the design three times over; half of it fits anywhere.
            QVERIFY2(zoom > 1 ? factor() < zoom : factor() == zoom, qPrintable(QString::number(factor())));
        }
        screenfit::SetZoom(1.0);
        // With LENTAVO_SCREENSHOTS set, the whole screen with the list fitted on it, the window
        // manager's frame included where there is one.
        if (const QString dir = qEnvironmentVariable("LENTAVO_SCREENSHOTS"); !dir.isEmpty()) {
            window_->hide();
            window_->ShowFitted();
            QTest::qWait(1500);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(dir + "/teacher-overview.png"));
        }
    }

    void headerClicksSortByTheColumnsValue()
    {
        QCOMPARE(Numbers(), (QStringList{"1001", "1002", "1003", "1004"}));
        ClickHeader(1);   // 氏名, by reading: あおき さとう すずき たなか
        QCOMPARE(Numbers(), (QStringList{"1002", "1003", "1001", "1004"}));
        ClickHeader(2);   // 最終学習日: never studied first
        QCOMPARE(Numbers(), (QStringList{"1002", "1001", "1004", "1003"}));
        ClickHeader(7);   // 仮免 判定: nothing, まだ, 合格圏
        QCOMPARE(table_->model()->index(3, 7).data().toString(), QStringLiteral("合格圏"));
        QCOMPARE(table_->model()->index(3, 0).data().toString(), QStringLiteral("1003"));
        QCOMPARE(table_->model()->index(0, 0).data().toString(), QStringLiteral("1002"));
        ClickHeader(7);   // again: descending
        QCOMPARE(table_->model()->index(0, 0).data().toString(), QStringLiteral("1003"));
        // Never sat comes before まだ from any earlier order, not only from the one above.
        table_->sortByColumn(0, Qt::DescendingOrder);
        table_->sortByColumn(7, Qt::AscendingOrder);
        QCOMPARE(table_->model()->index(0, 0).data().toString(), QStringLiteral("1002"));

        // A roster's readings may be katakana: on a Japanese system カトウ sorts with the か row,
        // not after every hiragana reading as the characters' codes would put it.
        const QLocale system;
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        std::vector<school::OverviewRow> rows{Pupil("1003", "佐藤 花子", "さとう はなこ", 0),
                                              Pupil("1002", "青木 健", "あおき けん", 0),
                                              Pupil("1005", "加藤 明", "カトウ アキラ", 0)};
        rows[0].weakest = {{101, QStringLiteral("信号"), 10, 8}};
        rows[2].weakest = {{102, QStringLiteral("標識"), 10, 3}};
        window_->SetRows(rows, kToday);
        table_->sortByColumn(1, Qt::AscendingOrder);
        const QStringList byReading = Numbers();
        QLocale::setDefault(system);
        QCOMPARE(byReading, (QStringList{"1002", "1005", "1003"}));
        // 苦手項目, the last column: by the weakest item's share, a pupil with none last.
        table_->sortByColumn(table_->model()->columnCount() - 1, Qt::AscendingOrder);
        QCOMPARE(Numbers(), (QStringList{"1005", "1003", "1002"}));
        // The numbers' columns are right-aligned, the texts' are not.
        for (int c = 0; c < table_->model()->columnCount(); ++c)
            QCOMPARE(table_->model()->index(0, c).data(Qt::TextAlignmentRole).isValid(), c >= 2 && c <= 5);
        QCOMPARE(table_->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        // The proxy hands an invalid index on to the rows' model; it answers nothing.
        QVERIFY(!table_->model()->data(QModelIndex()).isValid());
    }

    void filtersKeepWhatTheTeacherAskedFor()
    {
        auto* ready = Child<QComboBox>(window_, "readyBox");
        ready->setCurrentIndex(1);   // 仮免 合格圏
        QCOMPARE(Numbers(), QStringList{"1003"});
        ready->setCurrentIndex(0);
        Child<QCheckBox>(window_, "idleCheck")->setChecked(true);
        Child<QSpinBox>(window_, "idleDays")->setValue(7);
        QCOMPARE(Numbers(), (QStringList{"1001", "1002"}));   // 10 days, never
        Child<QCheckBox>(window_, "idleCheck")->setChecked(false);
        Child<QLineEdit>(window_, "searchEdit")->setText(QStringLiteral("たなか"));
        QCOMPARE(Numbers(), QStringList{"1004"});
        QCOMPARE(Child<QLabel>(window_, "countLabel")->text(), QStringLiteral("1人 / 在籍 4人"));
    }

    void doubleClickNamesThePupilUnderTheCursor()
    {
        QSignalSpy opened(window_.get(), &TeacherOverviewWindow::pupilOpened);
        ClickHeader(3);   // 解答数, then the row order differs from the model's
        ClickHeader(1);
        DoubleClickRow(2);   // すずき
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), QStringLiteral("1001"));
        QCOMPARE(opened.at(0).at(1).toString(), QStringLiteral("鈴木 一郎"));
    }

    void changesOnlyAfterAConfirmation()
    {
        QSignalSpy left(window_.get(), &TeacherOverviewWindow::markLeftRequested);
        QSignalSpy pin(window_.get(), &TeacherOverviewWindow::resetPinRequested);
        QSignalSpy added(window_.get(), &TeacherOverviewWindow::addPupilRequested);
        QTest::mouseClick(Child<QPushButton>(window_, "leftButton"), Qt::LeftButton);
        QCOMPARE(left.count(), 0);   // nobody selected: told to pick one
        QCOMPARE(dialogs::TakeMessages().size(), 1);
        table_->selectRow(3);
        dialogs::QueueConfirmAnswer(false);
        QTest::mouseClick(Child<QPushButton>(window_, "leftButton"), Qt::LeftButton);
        QCOMPARE(left.count(), 0);
        dialogs::QueueConfirmAnswer(true);
        QTest::mouseClick(Child<QPushButton>(window_, "leftButton"), Qt::LeftButton);
        QCOMPARE(left.count(), 1);
        QCOMPARE(left.at(0).at(0).toString(), QStringLiteral("1004"));
        dialogs::QueueConfirmAnswer(true);
        QTest::mouseClick(Child<QPushButton>(window_, "resetPinButton"), Qt::LeftButton);
        QCOMPARE(pin.count(), 1);

        QTest::keyClicks(Child<QLineEdit>(window_, "numberEdit"), "12");
        Child<QLineEdit>(window_, "nameEdit")->setText(QStringLiteral("山田"));
        QTest::mouseClick(Child<QPushButton>(window_, "addButton"), Qt::LeftButton);
        QCOMPARE(added.count(), 0);   // a number of two digits is refused before asking
        QTest::keyClicks(Child<QLineEdit>(window_, "numberEdit"), "345");
        dialogs::QueueConfirmAnswer(true);
        QTest::mouseClick(Child<QPushButton>(window_, "addButton"), Qt::LeftButton);
        QCOMPARE(added.count(), 1);
        const auto pupil = added.at(0).at(0).value<school::Pupil>();
        QCOMPARE(pupil.number, std::string("12345"));
        QCOMPARE(pupil.pin.size(), std::size_t(6));
    }

    void savedListHoldsTheShownRows()
    {
        std::vector<school::OverviewRow> many;
        for (int i = 0; i < 81; ++i)
            many.push_back(Pupil(qPrintable(QString::number(2000 + i)), "生徒", "せいと", i % 5));
        window_->SetRows(many, kToday);
        QTemporaryDir dir;
        window_->WritePdf(dir.path() + "/list.pdf");
        QFile pdf(dir.path() + "/list.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll().count("/Type /Page\n"), 3);   // 40 a page

        QTest::keyClicks(Child<QLineEdit>(window_, "searchEdit"), "2080");
        window_->WriteCsv(dir.path() + "/list.csv");
        QFile csv(dir.path() + "/list.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF番号,"));
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.contains("\r\n2080,生徒,2026-12-08,"));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines[0].count(','), lines[1].count(','));   // a heading for each column, no more
    }

    // In English the list, its filter and its verdicts are English; the CSV a school reads with
    // its own tools keeps the Japanese column names and verdicts.
    void listInTheTeachersLanguageCsvInJapanese()
    {
        LanguageChoice::Instance().Choose(honyaku::FindLanguage("en"), honyaku::Mode::Both);
        window_ = std::make_unique<TeacherOverviewWindow>();
        window_->SetRows({Pupil("1003", "佐藤 花子", "さとう はなこ", 0, {50, 47, 45})}, kToday);
        table_ = Child<QTableView>(window_, "pupilTable");
        const QAbstractItemModel* model = table_->model();
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Provisional verdict"));
        QCOMPARE(model->index(0, 7).data().toString(), QStringLiteral("Ready"));
        QCOMPARE(Child<QComboBox>(window_, "readyBox")->itemText(1), QStringLiteral("Provisional ready to pass"));

        QTemporaryDir dir;
        window_->WriteCsv(dir.path() + "/list.csv");
        LanguageChoice::Instance().Choose(nullptr, honyaku::Mode::Both);
        QFile csv(dir.path() + "/list.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY2(bytes.startsWith("\xEF\xBB\xBF番号,氏名,最終学習日,解答数,学習日数,模試回数,仮免 直近3回,仮免 判定,"),
                 bytes.left(200).constData());
        QVERIFY(bytes.contains(",合格圏,"));
    }
};

QTEST_MAIN(TestTeacherWindow)
#include "tst_teacher_window.moc"
