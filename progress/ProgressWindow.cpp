#include "ProgressWindow.h"

#include "Dialogs.h"
#include "Exception.h"
#include "ExceptionBoundary.h"
#include "SafeFile.h"
#include "ui_ProgressWindow.h"

#include <QEvent>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QBuffer>
#include <QFile>
#include <QStandardPaths>
#include <QValueAxis>

#include <QStackedWidget>

#include <algorithm>
#include <numeric>
#include <set>

using namespace progress;

namespace {

// The bar chart shows this many of the weakest items; the rest are stronger and the bars stay
// readable.
constexpr int kMaxBars = 12;
constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

// Each test's line, in the order of the tests; the bars take the first.
const QColor kTestColours[] = {QColor(0x1f, 0x6f, 0xd1), QColor(0xd9, 0x6a, 0x0b), QColor(0x8e, 0x3f, 0xb5)};
const QColor kPassColour(0x2e, 0x9d, 0x3a);

QColor TestColour(std::size_t index) { return kTestColours[index % std::size(kTestColours)]; }

QChart* NewChart(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QChartView* NewView(QChart* chart)
{
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 180);
    return view;
}

QValueAxis* PercentAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTickCount(6);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    return axis;
}

// A time axis over [FIRST, LAST] with some room either side, a day at least, so that a single
// point does not sit on the frame.
QDateTimeAxis* TimeAxis(qint64 first, qint64 last)
{
    auto* axis = new QDateTimeAxis;
    const qint64 pad = std::max<qint64>(kDayMs / 2, (last - first) / 20);
    axis->setRange(QDateTime::fromMSecsSinceEpoch(first - pad),
                   QDateTime::fromMSecsSinceEpoch(last + pad));
    axis->setFormat(DateAxisFormat(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last),
                                   QDateTime::currentDateTime()));
    axis->setTickCount(6);
    return axis;
}

// Deletes what PAGES shows: the chart or placeholder of an earlier opening.
void Clear(QStackedWidget* pages)
{
    while (pages->count() > 0) {
        QWidget* w = pages->widget(0);
        pages->removeWidget(w);
        delete w;
    }
}

QString ShortDate(const QDateTime& utc, const QTimeZone& zone)
{
    return utc.toTimeZone(zone).toString(QStringLiteral("M/d"));
}

QString MockLine(const MockResult& m, const QTimeZone& zone)
{
    return ProgressWindow::tr("%1 %2 %3/%4点 %5")
        .arg(ShortDate(m.when, zone), exam::Name(exam::Definition(m.test)))
        .arg(m.score)
        .arg(m.maxScore)
        .arg(m.passed() ? ProgressWindow::tr("合格") : ProgressWindow::tr("不合格"));
}

QString ItemLabel(const ItemShare& item)
{
    return QStringLiteral("%1 %2").arg(item.bunrui).arg(item.name);
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent), ui(new Ui::ProgressWindow)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    QFont big = ui->emptyLabel->font();
    big.setPixelSize(20);
    ui->emptyLabel->setFont(big);
    QFont side = ui->readinessLabel->font();
    side.setPixelSize(15);
    ui->readinessLabel->setFont(side);
    ui->summaryLabel->setFont(side);

    ConnectHandler(ui->closeButton, &QPushButton::clicked, this, [this] { close(); });
    ConnectHandler(ui->savePdfButton, &QPushButton::clicked, this, &ProgressWindow::SavePdfClick);
    ConnectHandler(ui->practiseWrongButton, &QPushButton::clicked, this,
                   [this] { emit practiceRequested(exam::PracticeKind::LatestWrong, 0); });
    ConnectHandler(ui->practiseHazardButton, &QPushButton::clicked, this,
                   [this] { emit practiceRequested(exam::PracticeKind::HazardItems, 0); });
    ConnectHandler(ui->practiseWeakestButton, &QPushButton::clicked, this, [this] {
        if (!items_.empty())
            emit practiceRequested(exam::PracticeKind::SyllabusItem, items_.front().bunrui);
    });
    SetSnapshot({});
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::changeEvent(QEvent* event)
{
    // The .ui's captions; the rest is written in the pupil's language when next shown.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void ProgressWindow::SetSnapshot(const Snapshot& snapshot, const QTimeZone& zone)
{
    zone_ = zone;
    summary_ = Summarize(snapshot, zone);
    items_ = WeakestFirst(snapshot.rates);
    hasHazard_ = std::any_of(snapshot.statements.begin(), snapshot.statements.end(),
                             [](const StatementKey& k) { return k.source == record::kSourceHazard; });
    const bool empty = IsEmpty(snapshot);
    ui->pages->setCurrentWidget(empty ? ui->emptyPage : ui->contentPage);
    ui->savePdfButton->setEnabled(!empty);
    if (empty) {
        mockView_ = drillView_ = itemView_ = nullptr;
        for (QStackedWidget* pages : {ui->mockChartPages, ui->drillChartPages, ui->itemChartPages})
            Clear(pages);
        readiness_.clear();
        return;
    }
    ShowReadiness(snapshot.sessions);
    ShowSummary(zone);
    BuildMockChart(snapshot.sessions);
    BuildDrillChart(snapshot.sessions);
    BuildItemChart();
    ShowPracticeButtons();
}

void ProgressWindow::SetPracticeAvailable(bool available)
{
    practiceAvailable_ = available;
    ShowPracticeButtons();
}

void ProgressWindow::ShowPracticeButtons()
{
    const bool canPractise = practiceAvailable_;
    const QString noPractice = ProgressWindow::tr("練習の画面がまだありません");
    ui->practiseWrongButton->setEnabled(canPractise && summary_.latestWrong > 0);
    ui->practiseWeakestButton->setEnabled(canPractise && !items_.empty());
    ui->practiseWeakestButton->setToolTip(!canPractise ? noPractice
                                          : items_.empty() ? QString()
                                                           : ItemLabel(items_.front()));
    ui->practiseHazardButton->setEnabled(canPractise && hasHazard_);
    ui->practiseHazardButton->setToolTip(
        !canPractise ? noPractice
        : hasHazard_ ? QString()
                     : ProgressWindow::tr("危険予測の問題ファイル(kiken.cds)がありません"));
    if (itemView_ && canPractise)
        itemView_->setToolTip(ProgressWindow::tr("棒をクリックすると、その項目の問題を練習します"));
}

void ProgressWindow::ShowReadiness(const std::vector<record::SessionSummary>& sessions)
{
    readiness_.clear();
    QString html;
    for (const Readiness& r : ShownReadiness(sessions)) {
        readiness_ << r.message;
        const QString colour = r.ready ? kPassColour.name() : QStringLiteral("#333333");
        html += QStringLiteral("<p style='color:%1'>%2%3</p>")
                    .arg(colour, r.ready ? QStringLiteral("<b>") : QString(),
                         r.message.toHtmlEscaped());
    }
    ui->readinessLabel->setText(html);
}

void ProgressWindow::ShowSummary(const QTimeZone& zone)
{
    QString html = QStringLiteral("<table cellspacing='3'>");
    auto row = [&](const QString& name, const QString& value) {
        html += QStringLiteral("<tr><td>%1</td><td align='right'><b>%2</b></td></tr>")
                    .arg(name.toHtmlEscaped(), value.toHtmlEscaped());
    };
    row(ProgressWindow::tr("解答した数"), ProgressWindow::tr("%1問").arg(summary_.answers));
    row(ProgressWindow::tr("練習した日数"), ProgressWindow::tr("%1日").arg(summary_.daysPractised));
    row(ProgressWindow::tr("まだ解いていない問題"), ProgressWindow::tr("%1問").arg(summary_.neverAnswered));
    row(ProgressWindow::tr("最後に間違えた問題"), ProgressWindow::tr("%1問").arg(summary_.latestWrong));
    html += ProgressWindow::tr("</table><p>直近の模擬試験:");
    if (summary_.lastMocks.empty())
        html += ProgressWindow::tr("<br>まだありません");
    for (const MockResult& m : summary_.lastMocks)
        html += QStringLiteral("<br>") + MockLine(m, zone).toHtmlEscaped();
    html += QStringLiteral("</p>");
    ui->summaryLabel->setText(html);
}

void ProgressWindow::Place(QStackedWidget* pages, QChartView* view, const QString& placeholder)
{
    Clear(pages);
    if (view) {
        pages->addWidget(view);
        return;
    }
    auto* label = new QLabel(placeholder);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFrameShape(QFrame::StyledPanel);
    pages->addWidget(label);
}

namespace {

// A chart of percentages over time, its time axis spanning every point added at construction.
struct TimeChart {
    QChart* chart;
    QDateTimeAxis* x;
    QValueAxis* y;

    TimeChart(const QString& title, const std::vector<QDateTime>& times) : chart(NewChart(title))
    {
        const auto [first, last] = std::minmax_element(times.begin(), times.end());
        x = TimeAxis(first->toMSecsSinceEpoch(), last->toMSecsSinceEpoch());
        y = PercentAxis(QStringLiteral("%"));
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
    }
    QLineSeries* Line(const QString& name, const std::vector<std::pair<QDateTime, double>>& points)
    {
        auto* line = new QLineSeries;
        line->setName(name);
        for (const auto& [when, percent] : points)
            line->append(double(when.toMSecsSinceEpoch()), percent);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        return line;
    }
};

template <class Point>
std::vector<std::pair<QDateTime, double>> Points(const std::vector<Point>& from)
{
    std::vector<std::pair<QDateTime, double>> out;
    for (const Point& p : from)
        out.emplace_back(p.when, p.percent());
    // In time order, as the axis runs: a clock put back between two sessions must not draw the
    // line backwards over itself.
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

template <class Point>
void AddTimes(std::vector<QDateTime>& times, const std::vector<Point>& from)
{
    for (const Point& p : from)
        times.push_back(p.when);
}

}  // namespace

void ProgressWindow::BuildMockChart(const std::vector<record::SessionSummary>& sessions)
{
    mockView_ = nullptr;
    struct Line {
        const exam::TestDefinition* test;
        std::size_t index;
        std::vector<MockResult> mocks;
    };
    std::vector<Line> lines;
    std::vector<QDateTime> times;
    for (std::size_t i = 0; i < exam::Tests().size(); ++i) {
        const exam::TestDefinition& test = exam::Tests()[i];
        std::vector<MockResult> mocks = MockScores(sessions, test.test);
        if (mocks.empty())
            continue;
        AddTimes(times, mocks);
        lines.push_back({&test, i, std::move(mocks)});
    }
    if (lines.empty()) {
        Place(ui->mockChartPages, nullptr,
              ProgressWindow::tr("模擬試験を受けると、ここに得点の移り変わりが表示されます。"));
        return;
    }
    TimeChart chart(ProgressWindow::tr("模擬試験の得点(満点に対する%)"), times);
    // One pass line for each share the tests shown pass at: tests passed at the same share of
    // their maximum share a line.
    std::set<std::pair<int, int>> shares;
    for (const Line& line : lines) {
        const exam::PassRule& pass = line.test->pass;
        const int common = std::gcd(pass.numerator, pass.denominator);
        shares.insert({pass.numerator / common, pass.denominator / common});
    }
    for (const auto& [numerator, denominator] : shares) {
        const double percent = 100.0 * numerator / denominator;
        QLineSeries* pass = chart.Line(ProgressWindow::tr("合格ライン(%1%)").arg(percent),
                                       {{chart.x->min(), percent}, {chart.x->max(), percent}});
        pass->setPen(QPen(kPassColour, 2, Qt::DashLine));
    }
    for (const Line& line : lines) {
        QLineSeries* series = chart.Line(exam::Name(*line.test), Points(line.mocks));
        series->setPointsVisible(true);
        series->setPen(QPen(TestColour(line.index), 2));
    }
    mockView_ = NewView(chart.chart);
    Place(ui->mockChartPages, mockView_, {});
}

void ProgressWindow::BuildDrillChart(const std::vector<record::SessionSummary>& sessions)
{
    drillView_ = nullptr;
    const auto drills = DrillShares(sessions, record::kDrill);
    const auto practice = DrillShares(sessions, record::kPractice);
    if (drills.empty() && practice.empty()) {
        Place(ui->drillChartPages, nullptr,
              ProgressWindow::tr("練習問題に挑戦すると、ここに正答率の移り変わりが表示されます。"));
        return;
    }
    std::vector<QDateTime> times;
    AddTimes(times, drills);
    AddTimes(times, practice);
    TimeChart chart(ProgressWindow::tr("練習ごとの正答率(%)"), times);
    const std::pair<const std::vector<SharePoint>*, QString> kinds[] = {
        {&drills, ProgressWindow::tr("練習問題")}, {&practice, ProgressWindow::tr("苦手の練習")}};
    for (const auto& [points, name] : kinds)
        if (!points->empty())
            chart.Line(name, Points(*points))->setPointsVisible(points->size() < 60);
    drillView_ = NewView(chart.chart);
    Place(ui->drillChartPages, drillView_, {});
}

void ProgressWindow::BuildItemChart()
{
    itemView_ = nullptr;
    if (items_.empty()) {
        Place(ui->itemChartPages, nullptr,
              ProgressWindow::tr("項目のついた問題に答えると、ここに項目ごとの正答率が弱い順に表示されます。"));
        return;
    }
    const int shown = std::min<int>(kMaxBars, int(items_.size()));
    QChart* chart = NewChart(ProgressWindow::tr("項目ごとの正答率(直近%1問ずつ・弱い順)").arg(kItemWindow));
    auto* set = new QBarSet(ProgressWindow::tr("正答率"));
    QStringList categories;
    // A horizontal bar chart draws its first category at the bottom: the weakest goes last.
    for (int i = shown - 1; i >= 0; --i) {
        const ItemShare& item = items_[std::size_t(i)];
        *set << item.percent();
        categories << ItemLabel(item);
    }
    set->setColor(TestColour(0));
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value%"));
    series->setLabelsPrecision(3);
    chart->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    QFont small = names->labelsFont();
    small.setPixelSize(11);
    names->setLabelsFont(small);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    QValueAxis* share = PercentAxis(QString());
    chart->addAxis(share, Qt::AlignBottom);
    series->attachAxis(share);
    chart->legend()->hide();
    ConnectHandler(set, &QBarSet::clicked, this, [this, shown](int index) {
        const int item = shown - 1 - index;
        if (item >= 0 && item < int(items_.size()))
            emit practiceRequested(exam::PracticeKind::SyllabusItem, items_[std::size_t(item)].bunrui);
    });
    itemView_ = NewView(chart);
    Place(ui->itemChartPages, itemView_, {});
}

QString ProgressWindow::PdfPath(const QString& folder, const QDate& date)
{
    const QDir dir(folder);
    const QString stem = ProgressWindow::tr("学習記録_") + date.toString(Qt::ISODate);
    QString path = dir.filePath(stem + QStringLiteral(".pdf"));
    // A dangling link counts as taken: it is never written through.
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(QStringLiteral("%1_%2.pdf").arg(stem).arg(n));
    return path;
}

bool ProgressWindow::WritePdf(const QString& path) const
{
    // Made in memory and written whole by the one writer that never follows a link.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(ProgressWindow::tr("学習記録"));
        QPainter p(&pdf);
        if (!p.isActive())
            return false;
        PaintReport(p, pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
    }
    try {
        safefile::Write(QFile::encodeName(path).toStdString(), file.data().toStdString());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void ProgressWindow::PaintReport(QPainter& p, const QSize& area) const
{
    // Laid out in units of about a point (the printable width of A4 is about 571), scaled to
    // the device.
    const double width = 571.0;
    const double scale = area.width() / width;
    const double height = area.height() / scale;
    p.save();
    p.scale(scale, scale);

    QFont title = font();
    title.setPixelSize(18);
    title.setBold(true);
    QFont body = font();
    body.setPixelSize(10);
    QFont heading = body;
    heading.setBold(true);

    p.setFont(title);
    p.drawText(QRectF(0, 0, width, 24), Qt::AlignLeft | Qt::AlignVCenter,
               ProgressWindow::tr("学習記録  ") + QDate::currentDate().toString(ProgressWindow::tr("yyyy年M月d日")));
    double y = 30;
    auto line = [&](const QString& text, double x = 0) {
        p.drawText(QRectF(x, y, width - x, 14), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += 14;
    };
    p.setFont(heading);
    for (const QString& r : readiness_)
        line(r);
    y += 4;
    p.setFont(body);
    line(ProgressWindow::tr("解答した数 %1問 / 練習した日数 %2日 / まだ解いていない問題 %3問 / 最後に間違えた問題 %4問")
             .arg(summary_.answers)
             .arg(summary_.daysPractised)
             .arg(summary_.neverAnswered)
             .arg(summary_.latestWrong));
    QStringList mocks;
    for (const MockResult& m : summary_.lastMocks)
        mocks << MockLine(m, zone_);
    line(ProgressWindow::tr("直近の模擬試験: ") +
         (mocks.isEmpty() ? ProgressWindow::tr("まだありません") : mocks.join(QStringLiteral(" / "))));
    y += 6;

    // Each chart laid out again for its box, so it fills the box instead of keeping the
    // window's proportions, then put back as the window shows it. A chart the record has no
    // data for is left out rather than drawn empty.
    auto chart = [&](QChartView* view, const QRectF& box) {
        if (!view)
            return;
        QChart* c = view->chart();
        const QSizeF shown = c->size();
        // Drawn a little larger than the box and scaled down, so its lettering keeps to the
        // page's size of type.
        c->resize(box.size() * 1.3);
        if (c->layout())
            c->layout()->activate();
        view->scene()->render(&p, box, QRectF(c->pos(), c->size()), Qt::IgnoreAspectRatio);
        c->resize(shown);
        if (c->layout())
            c->layout()->activate();
    };
    const double half = width / 2 - 5;
    chart(mockView_, QRectF(0, y, half, 210));
    chart(drillView_, QRectF(width - half, y, half, 210));
    y += 218;

    const double top = y;
    chart(itemView_, QRectF(0, top, half, std::min(430.0, height - top)));
    p.setFont(heading);
    line(ProgressWindow::tr("項目ごとの正答率(直近%1問ずつ、弱い順)").arg(kItemWindow), width - half);
    QFont list = body;
    list.setPixelSize(9);
    p.setFont(list);
    for (const ItemShare& item : items_) {
        if (y + 14 > height)
            break;
        line(ProgressWindow::tr("%1%  %2 (%3/%4問)")
                 .arg(qRound(item.percent()), 3)
                 .arg(ItemLabel(item))
                 .arg(item.correct)
                 .arg(item.answers),
             width - half + 8);
    }
    p.restore();
}

void ProgressWindow::SavePdfClick()
{
    const QString folder = dialogs::GetExistingDirectory(
        this, ProgressWindow::tr("PDFを保存するフォルダ"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (folder.isEmpty())
        return;
    const QString path = PdfPath(folder, QDate::currentDate());
    if (WritePdf(path))
        dialogs::ShowMessage(this, ProgressWindow::tr("PDFを保存しました。\n") + QDir::toNativeSeparators(path));
    else
        dialogs::ShowMessage(this, ProgressWindow::tr("PDFを保存できませんでした。フォルダに書き込めるか確かめてください。\n") +
                                       QDir::toNativeSeparators(path));
}
