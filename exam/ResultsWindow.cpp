#include "ResultsWindow.h"

#include "ui_ResultsWindow.h"

#include "ExamClock.h"
#include "Exception.h"
#include "ExceptionBoundary.h"
#include "QuestionStore.h"
#include "Readable.h"
#include "Syllabus.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollArea>

namespace exam {
namespace {

QString ItemName(int code)
{
    if (code == 0)
        return ResultsWindow::tr("(教習項目なし)");
    const syllabus::Item* item = syllabus::Find(code);
    const QString name = item ? syllabus::DisplayName(*item)
                              : ResultsWindow::tr("不明な項目");
    return QStringLiteral("%1 %2").arg(code).arg(name);
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString Mark(int answer)
{
    switch (answer) {
    case 1: return ResultsWindow::tr("正");
    case 0: return ResultsWindow::tr("誤");
    case kUnanswered: return ResultsWindow::tr("未解答");
    }
    return QStringLiteral("?");
}

}  // namespace

ResultsWindow::ResultsWindow(QWidget* parent) : QWidget(parent), ui(new Ui::ResultsWindow)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    // Long explanations scroll, and the time line (with "時間切れで採点しました") wraps, rather
    // than being cut off.
    // The wheel scrolls it under the pointer; Tab reaches it, and then the arrow and page keys
    // scroll it, down to a hazard item's last part and its explanation.
    QScrollArea* detail = ScrollInPlace(ui->bodyRow, ui->detailColumn, 2);
    detail->setFocusPolicy(Qt::StrongFocus);
    detail->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->timeLabel->setWordWrap(true);
    for (QTableWidget* t : {ui->categoryTable, ui->questionTable}) {
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->hide();
    }
    ui->categoryTable->setColumnCount(3);
    ui->categoryTable->setHorizontalHeaderLabels({ResultsWindow::tr("教習項目"), ResultsWindow::tr("得点"), ResultsWindow::tr("正答率")});
    ui->categoryTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // A topic's name longer than its column (in some languages) goes on two lines, and only its
    // row grows: the others keep their height.
    ui->categoryTable->setWordWrap(true);
    QHeaderView* rows = ui->categoryTable->verticalHeader();
    rows->setMinimumSectionSize(rows->defaultSectionSize());
    rows->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->questionTable->setColumnCount(6);
    ui->questionTable->setHorizontalHeaderLabels({ResultsWindow::tr("問"), ResultsWindow::tr("判定"), ResultsWindow::tr("あなたの答え"),
                                                  ResultsWindow::tr("正解"), ResultsWindow::tr("教習項目"), ResultsWindow::tr("問題")});
    ui->questionTable->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    ConnectHandler(ui->questionTable, &QTableWidget::currentCellChanged, this,
                   [this](int row, int, int, int) { ShowDetail(row); });
    ConnectHandler(ui->practiceButton, &QPushButton::clicked, this, [this] { emit practiceMissedRequested(); });
    ConnectHandler(ui->closeButton, &QPushButton::clicked, this, [this] { close(); });
    // The figure as wide as the column, as tall as its proportions make it; the texts below it.
    QSizePolicy figurePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    figurePolicy.setHeightForWidth(true);
    ui->figureView->setSizePolicy(figurePolicy);
    ConnectHandler(ui->figureView, &FigureView::enlargeRequested, this,
                   [this] { FigureView::ShowEnlarged(this, ui->figureView->picture()); });
    ui->closeButton->setShortcut(QKeySequence(Qt::Key_Escape));
}

ResultsWindow::~ResultsWindow() = default;

void ResultsWindow::changeEvent(QEvent* event)
{
    // The .ui's captions; the rest is written in the pupil's language when next shown.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void ResultsWindow::ShowResult(std::shared_ptr<const QuestionStore> store, const Paper& paper,
                               const Answers& answers, const Result& result,
                               std::chrono::milliseconds used, bool timeRanOut)
{
    store_ = std::move(store);
    paper_ = paper;
    answers_ = answers;
    result_ = result;

    // Only a graded mock has results to show.
    const QString title = (paper.test ? MockTitle(Definition(*paper.test)) : ResultsWindow::tr("練習")) +
                          ResultsWindow::tr("の結果");
    setWindowTitle(title);
    ui->titleLabel->setText(title);
    ui->scoreLabel->setText(ResultsWindow::tr("%1 / %2 点　(合格点 %3 点)").arg(result.score).arg(result.maxScore).arg(result.passMark));
    ui->verdictLabel->setText(result.passed ? ResultsWindow::tr("合格") : ResultsWindow::tr("不合格"));
    ui->verdictLabel->setStyleSheet(result.passed ? QStringLiteral("color: #107010;") : QStringLiteral("color: #c01010;"));
    QString time = ResultsWindow::tr("所要時間 %1 / 制限時間 %2").arg(ExamClock::Format(used), ExamClock::Format(paper.timeLimit));
    if (timeRanOut)
        time += ResultsWindow::tr("\n時間切れで採点しました。");
    if (result.unanswered > 0)
        time += ResultsWindow::tr("　未解答 %1問").arg(result.unanswered);
    ui->timeLabel->setText(time);
    ui->noteLabel->setText(QString::fromStdString(paper.note));
    ui->noteLabel->setVisible(!paper.note.empty());
    int missed = 0;
    for (const QuestionResult& r : result.questions)
        missed += !r.right;
    ui->practiceButton->setEnabled(missed > 0);
    FillCategories();
    // A bank without syllabus codes has nothing to show per item.
    ui->categoryTable->setVisible(!(result.categories.size() == 1 && result.categories[0].bunrui == 0));
    FillQuestions();
    ui->questionTable->setCurrentCell(0, 0);
    ShowDetail(0);
}

void ResultsWindow::FillCategories()
{
    QTableWidget* t = ui->categoryTable;
    t->setRowCount(int(result_.categories.size()));
    int row = 0;
    for (const CategoryScore& c : result_.categories) {
        t->setItem(row, 0, Cell(ItemName(c.bunrui)));
        t->setItem(row, 1, Cell(QStringLiteral("%1 / %2").arg(c.score).arg(c.maxScore), Qt::AlignCenter));
        t->setItem(row, 2, Cell(QStringLiteral("%1 %").arg(c.maxScore ? 100 * c.score / c.maxScore : 0), Qt::AlignCenter));
        if (c.score < c.maxScore)
            t->item(row, 2)->setForeground(QColor(0xc0, 0x10, 0x10));
        ++row;
    }
    t->resizeColumnToContents(1);
    t->resizeColumnToContents(2);
}

QString ResultsWindow::AnswerText(const Question& q, const std::array<int, 3>& answers)
{
    QStringList parts;
    for (int p = 0; p < q.Parts(); ++p)
        parts << Mark(answers[std::size_t(p)]);
    return parts.join(QLatin1Char(' '));
}

QString ResultsWindow::MissedParts(const Question& q, const QuestionResult& r)
{
    if (r.right)
        return ResultsWindow::tr("○");
    if (!q.IsHazard())
        return ResultsWindow::tr("×");
    QStringList missed;
    for (int p = 0; p < 3; ++p)
        if (!r.partRight[std::size_t(p)])
            missed << QStringLiteral("(%1)").arg(p + 1);
    return ResultsWindow::tr("× ") + missed.join(QString());
}

void ResultsWindow::FillQuestions()
{
    QTableWidget* t = ui->questionTable;
    t->setRowCount(int(paper_.questions.size()));
    for (std::size_t i = 0; i < paper_.questions.size(); ++i) {
        const Question& q = paper_.questions[i];
        const QuestionResult& r = result_.questions[i];
        const int row = int(i);
        t->setItem(row, 0, Cell(QString::number(i + 1), Qt::AlignCenter));
        t->setItem(row, 1, Cell(MissedParts(q, r), Qt::AlignCenter));
        t->item(row, 1)->setForeground(r.right ? QColor(0x10, 0x70, 0x10) : QColor(0xc0, 0x10, 0x10));
        t->setItem(row, 2, Cell(AnswerText(q, answers_[i]), Qt::AlignCenter));
        t->setItem(row, 3, Cell(AnswerText(q, q.right), Qt::AlignCenter));
        t->setItem(row, 4, Cell(q.bunrui ? QString::number(*q.bunrui) : QString(), Qt::AlignCenter));
        const QString text = q.IsHazard() ? ResultsWindow::tr("【危険予測】") + store_->Situation(q) : store_->Text(q);
        t->setItem(row, 5, Cell(text));
    }
    for (int c = 0; c < 5; ++c)
        t->resizeColumnToContents(c);
}

void ResultsWindow::ShowDetail(int row)
{
    if (row < 0 || row >= int(paper_.questions.size()))
        return;
    const Question& q = paper_.questions[std::size_t(row)];
    const std::array<int, 3>& a = answers_[std::size_t(row)];
    QByteArray figure;
    try {
        figure = store_->Figure(q);
    } catch (const Exception&) {
    }
    ui->figureView->SetFigure(figure);
    ui->figureView->setVisible(!ui->figureView->picture().isNull());
    QString detail;
    if (q.IsHazard())
        detail += Breakable(store_->Situation(q)).toHtmlEscaped() + QStringLiteral("<br>");
    for (int p = 0; p < q.Parts(); ++p) {
        const QString prefix = q.IsHazard() ? QStringLiteral("(%1) ").arg(p + 1) : QString();
        const bool right = IsPartRight(q, a, p);
        detail += ResultsWindow::tr("<p><b>%1%2</b><br>あなたの答え: <span style='color:%3'>%4</span>　正解: %5<br>%6</p>")
                      .arg(prefix, Breakable(store_->Text(q, p)).toHtmlEscaped(), right ? "#107010" : "#c01010",
                           Mark(a[std::size_t(p)]), Mark(q.right[std::size_t(p)]),
                           Breakable(store_->Explanation(q, p)).toHtmlEscaped());
    }
    ui->detailLabel->setText(detail);
}

}  // namespace exam
