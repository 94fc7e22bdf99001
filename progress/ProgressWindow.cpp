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
#include <QBarSeries>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QFontMetrics>
#include <QTextDocumentFragment>
#include <QLegend>

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

// One Japanese face for everything the window and its PDF draw. Without it the default face has
// no Japanese, and each text falls back by script: names written in kanji alone (信号, 危険予測)
// fall back as Han text to a Chinese or Mincho face, names with kana to a Japanese Gothic one.
QFont JapaneseFont(QFont f)
{
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")});
    return f;
}

// A chart's own texts do not follow the widget's font: each is given the window's face.
void UseFont(QChart* chart, const QFont& font)
{
    QFont title = font;
    title.setBold(true);
    chart->setTitleFont(title);
    chart->legend()->setFont(font);
    for (QAbstractAxis* axis : chart->axes()) {
        QFont labels = JapaneseFont(axis->labelsFont());
        labels.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() : 12);
        axis->setLabelsFont(labels);
        axis->setTitleFont(labels);
    }
}

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

// A time axis of whole days over [FIRST, LAST], each tick at the start of a day, so that no two
// ticks carry the same date (the axis draws in the local time zone).
QDateTimeAxis* TimeAxis(qint64 first, qint64 last)
{
    auto* axis = new QDateTimeAxis;
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first), to = QDateTime::fromMSecsSinceEpoch(last);
    const DayAxis days = DaysAxis(from.date(), to.date(), QTimeZone::systemTimeZone());
    axis->setRange(days.min, days.max);
    axis->setFormat(DateAxisFormat(from, to, QDateTime::currentDateTime()));
    axis->setTickCount(days.ticks);
    return axis;
}

// The narrowest a chart over a time axis may be: every tick's date whole, with room between.
int TimeChartMinimumWidth(const QDateTimeAxis* axis)
{
    const QFontMetrics m(axis->labelsFont());
    const int label = m.horizontalAdvance(QStringLiteral("2026/12/30"));
    return axis->tickCount() * (label + m.horizontalAdvance(QStringLiteral("MM"))) + 60;
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

// An item's line in the bar chart: its share (0 % included, which draws no bar) and the answers
// it is taken over.
// A long item name on two lines, broken after the "・", "と" or "の" nearest its middle.
QString WrappedName(const QString& name)
{
    if (name.size() <= 8)
        return name.toHtmlEscaped();
    int best = -1;
    for (int i = 1; i + 1 < name.size(); ++i)
        if (QStringLiteral("・との").contains(name[i]) &&
            (best < 0 || std::abs(i + 1 - name.size() / 2) < std::abs(best + 1 - name.size() / 2)))
            best = i;
    if (best < 0)
        return name.toHtmlEscaped();
    return name.left(best + 1).toHtmlEscaped() + QStringLiteral("<br>") + name.mid(best + 1).toHtmlEscaped();
}

// On two lines, so that the longest names (104, 113, 217) stay whole: the chart gives its labels
// at most 40 % of its width and two lines, and cuts anything longer.
QString ItemBarLabel(const ItemShare& item)
{
    const QString name = WrappedName(item.name);
    return ProgressWindow::tr("%1% %2 %3%4(%5/%6問)")
        .arg(qRound(item.percent()))
        .arg(item.bunrui)
        .arg(name, name.contains(QStringLiteral("<br>")) ? QStringLiteral(" ") : QStringLiteral("<br>"))
        .arg(item.correct)
        .arg(item.answers);
}

QString TestName(study::Test test) { return test == study::Test::Honmen ? ProgressWindow::tr("本免") : ProgressWindow::tr("仮免"); }

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QWidget(parent), ui(new Ui::ProgressWindow)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    setFont(JapaneseFont(font()));
    QFont big = ui->emptyLabel->font();
    big.setPixelSize(20);
    ui->emptyLabel->setFont(big);
    QFont side = ui->readinessLabel->font();
    side.setPixelSize(15);
    ui->readinessLabel->setFont(side);
    ui->summaryLabel->setFont(side);
    ui->studyLabel->setFont(side);
    ui->testDateEdit->setDate(QDate::currentDate().addDays(30));
    ui->testDateEdit->setEnabled(false);

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
    ConnectHandler(ui->pupilNameEdit, &QLineEdit::editingFinished, this, &ProgressWindow::NameEdited);
    ConnectHandler(ui->testCombo, &QComboBox::currentIndexChanged, this, &ProgressWindow::TestDateEdited);
    ConnectHandler(ui->testDateEdit, &QDateEdit::dateChanged, this, &ProgressWindow::TestDateEdited);
    SetSnapshot({});
}

void ProgressWindow::NameEdited()
{
    const QString name = ui->pupilNameEdit->text().trimmed();
    if (filling_ || !rosterName_.isEmpty() || name == storedName_)
        return;
    storedName_ = name;
    emit pupilNameChanged(name);
}

void ProgressWindow::TestDateEdited()
{
    const int index = ui->testCombo->currentIndex();
    ui->testDateEdit->setEnabled(index > 0);
    if (filling_)
        return;
    const std::optional<study::Test> test =
        index == 1 ? std::optional(study::Test::Karimen) : index == 2 ? std::optional(study::Test::Honmen) : std::nullopt;
    emit testDateChanged(test, ui->testDateEdit->date());
}

void ProgressWindow::SetRosterName(const QString& name)
{
    rosterName_ = name;
    const QSignalBlocker quiet(ui->pupilNameEdit);
    ui->pupilNameEdit->setReadOnly(!name.isEmpty());
    ui->pupilNameEdit->setText(PupilName());
    setWindowTitle(PupilName().isEmpty() ? tr("学習記録") : tr("学習記録") + QStringLiteral(" — ") + PupilName());
}

QString ProgressWindow::PupilName() const { return rosterName_.isEmpty() ? storedName_ : rosterName_; }

void ProgressWindow::ShowPupil(const record::PupilProfile& pupil)
{
    filling_ = true;
    storedName_ = QString::fromStdString(pupil.name.value_or(std::string()));
    SetRosterName(rosterName_);
    const auto date = study::TestDateOf(pupil);
    ui->testCombo->setCurrentIndex(!date ? 0 : date->first == study::Test::Karimen ? 1 : 2);
    if (date)
        ui->testDateEdit->setDate(date->second);
    ui->testDateEdit->setEnabled(date.has_value());
    filling_ = false;
}

ProgressWindow::~ProgressWindow()
{
    // Closing the window takes the focus from the name field, whose editingFinished would then
    // reach a window already half destroyed.
    for (QWidget* field : {static_cast<QWidget*>(ui->pupilNameEdit), static_cast<QWidget*>(ui->testCombo),
                           static_cast<QWidget*>(ui->testDateEdit)})
        field->blockSignals(true);
}

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
    notRanked_ = ItemsNotRanked(snapshot.rates);
    study_ = snapshot.study;
    ShowPupil(snapshot.pupil);
    hasHazard_ = std::any_of(snapshot.statements.begin(), snapshot.statements.end(),
                             [](const StatementKey& k) { return k.source == record::kSourceHazard; });
    const bool empty = IsEmpty(snapshot);
    ui->pages->setCurrentWidget(empty ? ui->emptyPage : ui->contentPage);
    ui->savePdfButton->setEnabled(!empty);
    if (empty) {
        mockView_ = drillView_ = itemView_ = forecastView_ = nullptr;
        for (QStackedWidget* pages : {ui->mockChartPages, ui->drillChartPages, ui->itemChartPages, ui->forecastPages})
            Clear(pages);
        readiness_.clear();
        return;
    }
    ShowReadiness(snapshot.sessions);
    ShowSummary(zone);
    BuildMockChart(snapshot.sessions);
    BuildDrillChart(snapshot.sessions);
    BuildItemChart();
    ShowStudy();
    BuildForecastChart();
    ShowPracticeButtons();
}

namespace {
// What the scheduler says, for the side column and the PDF: today's review, the test date's
// plan and 推定 記憶率.
QStringList StudyLines(const StudyOutlook& o)
{
    QStringList lines;
    lines << ProgressWindow::tr("今日の復習 %1問(期日の来た問題 %2問)").arg(o.queued).arg(o.dueToday);
    lines << ProgressWindow::tr("推定 記憶率 %1%(%2の範囲)").arg(qRound(100 * o.meanRecall)).arg(TestName(o.recallTest));
    if (o.test && o.testDate && o.plan)
        lines << ProgressWindow::tr("%1 %2まで%3日: 1日に約%4問(新しい問題 %5問)")
                     .arg(TestName(*o.test), o.testDate->toString(QStringLiteral("M/d")))
                     .arg(o.plan->days)
                     .arg(o.plan->answersPerDay)
                     .arg(o.plan->newPerDay);
    else if (o.test && o.testDate)
        lines << ProgressWindow::tr("%1の試験日 %2 は過ぎました").arg(TestName(*o.test), o.testDate->toString(QStringLiteral("M/d")));
    return lines;
}
}  // namespace

void ProgressWindow::ShowStudy()
{
    ui->studyLabel->setText(study_ ? StudyLines(*study_).join(QLatin1Char('\n')) : QString());
}

void ProgressWindow::BuildForecastChart()
{
    forecastView_ = nullptr;
    if (!study_ || study_->forecast.empty()) {
        Place(ui->forecastPages, nullptr, tr("問題ファイルがあると、ここに復習の予定が表示されます。"));
        return;
    }
    QChart* chart = NewChart(tr("これから7日の復習(問・左端が今日)"));
    auto* set = new QBarSet(tr("復習"));
    QStringList days;
    const QDate today = QDate::currentDate();
    int most = 1;
    for (std::size_t i = 0; i < study_->forecast.size(); ++i) {
        *set << study_->forecast[i];
        most = std::max(most, study_->forecast[i]);
        days << today.addDays(qint64(i)).toString(QStringLiteral("d"));
    }
    set->setColor(TestColour(0));
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(days);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setRange(0, most);
    y->setTickCount(2);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    chart->legend()->hide();
    QFont small = font();
    small.setPixelSize(11);
    UseFont(chart, small);
    forecastView_ = NewView(chart);
    forecastView_->setMinimumSize(0, 0);
    Place(ui->forecastPages, forecastView_, {});
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
    UseFont(chart.chart, font());
    mockView_ = NewView(chart.chart);
    mockView_->setMinimumWidth(TimeChartMinimumWidth(chart.x));
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
    UseFont(chart.chart, font());
    drillView_ = NewView(chart.chart);
    drillView_->setMinimumWidth(TimeChartMinimumWidth(chart.x));
    Place(ui->drillChartPages, drillView_, {});
}

void ProgressWindow::BuildItemChart()
{
    itemView_ = nullptr;
    if (items_.empty()) {
        Place(ui->itemChartPages, nullptr,
              ProgressWindow::tr("項目のついた問題に%1問以上答えると、ここに項目ごとの正答率が弱い順に表示されます。%2")
                  .arg(kMinItemAnswers)
                  .arg(notRanked_ > 0 ? ProgressWindow::tr("(答えが%1問未満の項目: %2)").arg(kMinItemAnswers).arg(notRanked_)
                                      : QString()));
        return;
    }
    const int shown = std::min<int>(kMaxBars, int(items_.size()));
    QChart* chart = NewChart(ProgressWindow::tr("項目ごとの正答率(直近%1問ずつ・%2問以上答えた項目を弱い順)")
                                 .arg(kItemWindow)
                                 .arg(kMinItemAnswers));
    auto* set = new QBarSet(ProgressWindow::tr("正答率"));
    QStringList categories;
    // A horizontal bar chart draws its first category at the bottom: the weakest goes last.
    for (int i = shown - 1; i >= 0; --i) {
        const ItemShare& item = items_[std::size_t(i)];
        *set << item.percent();
        categories << ItemBarLabel(item);
    }
    set->setColor(TestColour(0));
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    // The share is in the item's label: a bar's own label is not drawn for 0 %, and is cut off
    // on a short bar.
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
    UseFont(chart, small);
    ConnectHandler(set, &QBarSet::clicked, this, [this, shown](int index) {
        const int item = shown - 1 - index;
        if (item >= 0 && item < int(items_.size()))
            emit practiceRequested(exam::PracticeKind::SyllabusItem, items_[std::size_t(item)].bunrui);
    });
    itemView_ = NewView(chart);
    // Wide enough for every label whole, and room for the bars beside them.
    const QFontMetrics m(small);
    int widest = m.horizontalAdvance(chart->title());
    for (const QString& label : categories)
        for (const QString& line : label.split(QStringLiteral("<br>")))
            widest = std::max(widest, m.horizontalAdvance(QTextDocumentFragment::fromHtml(line).toPlainText()) * 5 / 2);
    itemView_->setMinimumSize(widest + 40, shown * (2 * m.height() + 6) + 90);
    Place(ui->itemChartPages, itemView_, {});
}

QString ProgressWindow::PdfFolder(const QString& documents, const QString& home)
{
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : home;
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
        pdf.setTitle(PupilName().isEmpty() ? ProgressWindow::tr("学習記録") : ProgressWindow::tr("学習記録") + QStringLiteral(" — ") + PupilName());
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
               ProgressWindow::tr("学習記録  ") + (PupilName().isEmpty() ? QString() : PupilName() + QStringLiteral("  ")) +
                   QDate::currentDate().toString(ProgressWindow::tr("yyyy年M月d日")));
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
    if (study_)
        line(StudyLines(*study_).join(QStringLiteral(" / ")));
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
    line(ProgressWindow::tr("項目ごとの正答率(直近%1問ずつ、%2問以上答えた項目を弱い順)").arg(kItemWindow).arg(kMinItemAnswers),
         width - half);
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
        PdfFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath()));
    if (folder.isEmpty())
        return;
    const QString path = PdfPath(folder, QDate::currentDate());
    if (WritePdf(path))
        dialogs::ShowMessage(this, ProgressWindow::tr("PDFを保存しました。\n") + QDir::toNativeSeparators(path));
    else
        dialogs::ShowMessage(this, ProgressWindow::tr("PDFを保存できませんでした。フォルダに書き込めるか確かめてください。\n") +
                                       QDir::toNativeSeparators(path));
}
