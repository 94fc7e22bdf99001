#include "ExamWindow.h"

#include "ui_ExamWindow.h"

#include "Dialogs.h"
#include "Exception.h"
#include "FocusFrame.h"
#include "ExceptionBoundary.h"
#include "LearningRecord.h"
#include "QuestionStore.h"
#include "Readable.h"

#include <QEvent>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>

namespace exam {
namespace {

const char* const kAnswerStyle =
    "QPushButton:checked { background: #1f5fbf; color: white; border: 3px solid #0b2f6f; }";

QString Mark(int answer) { return answer == 1 ? ExamWindow::tr("正") : ExamWindow::tr("誤"); }

QString Title(const Paper& paper)
{
    return paper.test ? MockTitle(Definition(*paper.test)) : ExamWindow::tr("練習");
}

// What the number panel's colours mean: a practice set judges at once and has no flags.
QString Legend(bool practice)
{
    return practice
        ? ExamWindow::tr("<span style='color:#8cc88c'>■</span> 正解　<span style='color:#e89c9c'>■</span> 不正解　□ 未解答")
        : ExamWindow::tr("<span style='color:#5c94d0'>■</span> 解答済み　□ 未解答　<span style='color:#e07000'>◥</span> 見直し");
}

// The keys the window answers to, as its hint line shows them.
QString KeyHints(bool practice)
{
    return practice ? ExamWindow::tr("1/O 正　2/X 誤　Enter 次へ　←→ 移動\n↑↓ 危険予測の小問　Z 図を拡大")
                    : ExamWindow::tr("1/O 正　2/X 誤　←→ 移動　↑↓ 危険予測の小問\nF 見直し　Z 図を拡大　Ctrl+Enter 採点");
}

}  // namespace

ExamWindow::ExamWindow(QWidget* parent) : QWidget(parent), ui(new Ui::ExamWindow)
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    setFocusPolicy(Qt::StrongFocus);
    // Three 255-byte sub-statements under a situation and a figure are taller than a small
    // screen: the question scrolls rather than being cut off.
    ScrollInPlace(ui->middleRow, ui->questionColumn, 1);
    for (QPushButton* b : {ui->trueButton, ui->falseButton, ui->partTrue1, ui->partFalse1, ui->partTrue2,
                           ui->partFalse2, ui->partTrue3, ui->partFalse3}) {
        b->setStyleSheet(kAnswerStyle);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    // A sub-statement's text takes the row's width; its buttons keep their size.
    ui->partsGrid->setColumnStretch(0, 1);
    // Tab reaches every button and the number panel, and shows where it is; a key other than
    // Tab and Space still goes to the exam, whatever has the focus.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setFocusPolicy(Qt::TabFocus);
        b->installEventFilter(this);
    }
    ui->questionMap->installEventFilter(this);
    new FocusFrame(this);

    // Clicking a checked answer button keeps the answer: the buttons show it, they do not toggle it.
    // Every handler runs inside the boundary: a question whose text cannot be read is reported,
    // and the exam goes on.
    ConnectHandler(ui->trueButton, &QPushButton::clicked, this, [this] { Answer(1); });
    ConnectHandler(ui->falseButton, &QPushButton::clicked, this, [this] { Answer(0); });
    const std::array<std::pair<QPushButton*, QPushButton*>, 3> parts{
        {{ui->partTrue1, ui->partFalse1}, {ui->partTrue2, ui->partFalse2}, {ui->partTrue3, ui->partFalse3}}};
    for (int p = 0; p < 3; ++p) {
        ConnectHandler(parts[std::size_t(p)].first, &QPushButton::clicked, this, [this, p] { SelectPart(p); Answer(1); });
        ConnectHandler(parts[std::size_t(p)].second, &QPushButton::clicked, this, [this, p] { SelectPart(p); Answer(0); });
    }
    ConnectHandler(ui->prevButton, &QPushButton::clicked, this, [this] { Go(current_ - 1); });
    ConnectHandler(ui->nextButton, &QPushButton::clicked, this, [this] { Go(current_ + 1); });
    ConnectHandler(ui->flagButton, &QPushButton::clicked, this, [this] { ToggleFlag(); });
    ConnectHandler(ui->gradeButton, &QPushButton::clicked, this, [this] { RequestGrade(); });
    ConnectHandler(ui->questionMap, &QuestionMap::jumpRequested, this, [this](int i) { Go(i); });
    ConnectHandler(ui->figureView, &FigureView::enlargeRequested, this, [this] { EnlargeFigure(); });
    timer_.setInterval(200);
    ConnectHandler(&timer_, &QTimer::timeout, this, &ExamWindow::Tick);
}

ExamWindow::~ExamWindow() = default;

void ExamWindow::Start(std::shared_ptr<const QuestionStore> store, Paper paper,
                       record::LearningRecord* record)
{
    store_ = std::move(store);
    paper_ = std::move(paper);
    answers_ = BlankAnswers(paper_);
    flags_.assign(paper_.questions.size(), false);
    result_ = Result();
    record_ = record;
    session_.reset();
    current_ = -1;
    timeRanOut_ = false;
    running_ = true;
    practiceUsed_ = std::chrono::milliseconds(0);
    clock_ = std::make_unique<ExamClock>(std::chrono::milliseconds(paper_.timeLimit), clockSource_);
    clock_->Start();

    ShowCaptions();
    ui->flagButton->setVisible(!IsPractice());
    ui->remainingLabel->setVisible(!IsPractice());
    ui->questionMap->SetCount(int(paper_.questions.size()));

    Record([this](record::LearningRecord& r) {
        const char* kind = paper_.test ? Definition(*paper_.test).sessionKind : record::kPractice;
        session_ = r.BeginSession({kind, std::nullopt, paper_.seed});
    }, ExamWindow::tr("このまま続けられますが、この回は学習記録に残りません。"));
    Show(0);
    ShowClock();
    if (!IsPractice())
        timer_.start();
}

void ExamWindow::ShowCaptions()
{
    const QString title = Title(paper_);
    setWindowTitle(title);
    ui->titleLabel->setText(title);
    ui->gradeButton->setText(IsPractice() ? ExamWindow::tr("練習を終える") : ExamWindow::tr("採点する"));
    ui->keysLabel->setText(KeyHints(IsPractice()));
    ui->legendLabel->setText(Legend(IsPractice()));
}

void ExamWindow::changeEvent(QEvent* event)
{
    // The .ui's captions in the new language, then the exam's own texts and its question anew.
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (!paper_.questions.empty()) {
            ShowCaptions();
            const int shown = current_;
            current_ = -1;
            Show(shown);
            ShowClock();
        }
    }
    QWidget::changeEvent(event);
}

std::chrono::milliseconds ExamWindow::TimeUsed() const
{
    return clock_ ? clock_->Used() : std::chrono::milliseconds(0);
}

// ---- Showing a question ----

void ExamWindow::Show(int index)
{
    if (paper_.questions.empty())
        return;
    index = std::clamp(index, 0, int(paper_.questions.size()) - 1);
    const bool moved = index != current_;
    current_ = index;
    const Question& q = paper_.questions[std::size_t(index)];
    if (moved) {
        part_ = 0;
        const int total = int(paper_.questions.size());
        ui->questionNumberLabel->setText(
            q.IsHazard() ? ExamWindow::tr("問%1 / %2　危険予測").arg(index + 1).arg(total)
                         : ExamWindow::tr("問%1 / %2").arg(index + 1).arg(total));
        QByteArray figure;
        try {
            figure = store_->Figure(q);
        } catch (const Exception&) {
            // A figure that cannot be read is left out; the question itself still stands.
        }
        // The figure's place stays when a question has none, so that 正 and 誤 do not move.
        ui->figureView->SetFigure(figure);
        ui->situationLabel->setVisible(q.IsHazard());
        ui->statementLabel->setVisible(!q.IsHazard());
        ui->answerPanel->setVisible(!q.IsHazard());
        ui->partsPanel->setVisible(q.IsHazard());
        if (q.IsHazard()) {
            ui->situationLabel->setText(Breakable(store_->Situation(q)));
            QLabel* labels[] = {ui->partLabel1, ui->partLabel2, ui->partLabel3};
            for (int p = 0; p < 3; ++p)
                labels[p]->setText(QStringLiteral("(%1) ").arg(p + 1) + Breakable(store_->Text(q, p)));
        } else {
            ui->statementLabel->setText(Breakable(store_->Text(q)));
        }
        ui->prevButton->setEnabled(index > 0);
        ui->nextButton->setEnabled(index + 1 < total);
        ui->questionMap->SetCurrent(index);
    }
    ShowAnswerState();
    ShowJudgement();
}

void ExamWindow::ShowAnswerState()
{
    const Question& q = paper_.questions[std::size_t(current_)];
    const std::array<int, 3>& a = answers_[std::size_t(current_)];
    // Answered practice questions are judged and stay as answered.
    const bool locked = !running_ || (IsPractice() && IsAnswered(q, a));
    if (q.IsHazard()) {
        QPushButton* t[] = {ui->partTrue1, ui->partTrue2, ui->partTrue3};
        QPushButton* f[] = {ui->partFalse1, ui->partFalse2, ui->partFalse3};
        QLabel* labels[] = {ui->partLabel1, ui->partLabel2, ui->partLabel3};
        for (int p = 0; p < 3; ++p) {
            t[p]->setChecked(a[std::size_t(p)] == 1);
            f[p]->setChecked(a[std::size_t(p)] == 0);
            const bool partLocked = !running_ || (IsPractice() && a[std::size_t(p)] != kUnanswered);
            t[p]->setEnabled(!partLocked);
            f[p]->setEnabled(!partLocked);
            labels[p]->setStyleSheet(p == part_ ? QStringLiteral("background: #fff3c0;") : QString());
        }
    } else {
        ui->trueButton->setChecked(a[0] == 1);
        ui->falseButton->setChecked(a[0] == 0);
        ui->trueButton->setEnabled(!locked);
        ui->falseButton->setEnabled(!locked);
    }
    ui->flagButton->setChecked(flags_[std::size_t(current_)]);
    ui->questionMap->SetState(current_, MapState(current_));
}

unsigned ExamWindow::MapState(int index) const
{
    const Question& q = paper_.questions[std::size_t(index)];
    const std::array<int, 3>& a = answers_[std::size_t(index)];
    unsigned s = QuestionMap::Unanswered;
    if (IsAnswered(q, a)) {
        s |= QuestionMap::Answered;
        if (IsPractice()) {
            bool right = true;
            for (int p = 0; p < q.Parts(); ++p)
                right = right && IsPartRight(q, a, p);
            s |= right ? QuestionMap::Right : QuestionMap::Wrong;
        }
    }
    if (flags_[std::size_t(index)])
        s |= QuestionMap::Flagged;
    return s;
}

void ExamWindow::ShowJudgement()
{
    QString judgement, explanation;
    if (IsPractice()) {
        const Question& q = paper_.questions[std::size_t(current_)];
        const std::array<int, 3>& a = answers_[std::size_t(current_)];
        bool anyWrong = false;
        for (int p = 0; p < q.Parts(); ++p) {
            if (a[std::size_t(p)] == kUnanswered)
                continue;
            const QString prefix = q.IsHazard() ? QStringLiteral("(%1) ").arg(p + 1) : QString();
            const bool right = IsPartRight(q, a, p);
            anyWrong = anyWrong || !right;
            judgement += prefix + (right ? ExamWindow::tr("正解　")
                                         : ExamWindow::tr("不正解(正しくは%1)　").arg(Mark(q.right[std::size_t(p)])));
            explanation += prefix + Breakable(store_->Explanation(q, p)) + QLatin1Char('\n');
        }
        // From the answers, not the words: a translation need not repeat one word in the other.
        const bool allRight = IsAnswered(q, a) && !anyWrong;
        ui->judgementLabel->setStyleSheet(judgement.isEmpty() ? QString()
            : allRight ? QStringLiteral("color: #107010;") : QStringLiteral("color: #c01010;"));
    }
    ui->judgementLabel->setText(judgement.trimmed());
    ui->explanationLabel->setText(explanation.trimmed());
    ui->judgementLabel->setVisible(IsPractice());
    ui->explanationLabel->setVisible(IsPractice());
}

void ExamWindow::ShowClock()
{
    if (!clock_ || IsPractice())
        return;
    const auto left = clock_->Remaining();
    ui->remainingLabel->setText(ExamWindow::tr("残り ") + ExamClock::Format(left));
    ui->remainingLabel->setStyleSheet(left < std::chrono::minutes(5) ? QStringLiteral("color: #c01010;") : QString());
}

// ---- The pupil's actions ----

void ExamWindow::Answer(int value)
{
    if (!running_ || paper_.questions.empty())
        return;
    const Question& q = paper_.questions[std::size_t(current_)];
    int& slot = answers_[std::size_t(current_)][std::size_t(part_)];
    if (IsPractice()) {
        if (slot != kUnanswered)
            return;
        slot = value;
        if (session_)
            Record([&](record::LearningRecord& r) { r.AddAnswer(*session_, RecordAnswer(q, part_, value)); },
                   ExamWindow::tr("練習はこのまま続けられますが、ここからの答えは学習記録に残りません(それまでの答えは残っています)。"));
    } else {
        slot = value;
    }
    // A hazard item's keys go on to its next sub-statement; the question stays.
    if (q.IsHazard() && part_ < 2)
        ++part_;
    ShowAnswerState();
    ShowJudgement();
    setFocus();
}

void ExamWindow::Go(int index)
{
    if (index < 0 || index >= int(paper_.questions.size()))
        return;
    Show(index);
    setFocus();
}

void ExamWindow::SelectPart(int part)
{
    if (current_ < 0 || !paper_.questions[std::size_t(current_)].IsHazard())
        return;
    part_ = std::clamp(part, 0, 2);
    ShowAnswerState();
}

void ExamWindow::ToggleFlag()
{
    if (!running_ || IsPractice() || paper_.questions.empty())
        return;
    flags_[std::size_t(current_)] = !flags_[std::size_t(current_)];
    ShowAnswerState();
    setFocus();
}

void ExamWindow::RequestGrade()
{
    if (!running_)
        return;
    if (IsPractice()) {
        FinishPractice();
        return;
    }
    const QString text = ExamWindow::tr("採点しますか？\n") + GradeWarning(CountUnanswered(paper_, answers_),
                                                                    int(std::count(flags_.begin(), flags_.end(), true)));
    const bool yes = dialogs::Confirm(this, text, ExamWindow::tr("採点する"), ExamWindow::tr("試験に戻る"), true);
    // The clock may have graded the exam while the question was open.
    if (yes && running_)
        Grade();
    setFocus();
}

void ExamWindow::Tick()
{
    ShowClock();
    if (running_ && !IsPractice() && clock_->Expired()) {
        timeRanOut_ = true;
        Grade();
    }
}

void ExamWindow::Grade()
{
    running_ = false;
    timer_.stop();
    // The clock may grade while a confirmation is open: it would stay over the results, still
    // offering to go back to an exam that is over.
    dialogs::CloseOpenQuestions(this);
    result_ = exam::Grade(paper_, answers_);
    if (session_)
        Record([this](record::LearningRecord& r) {
            r.GradeSession(*session_, RecordAnswers(paper_, answers_), result_.score, result_.maxScore,
                           result_.passMark);
        }, ExamWindow::tr("この試験の解答と採点の結果は学習記録に残りません(記録には「未完了」の試験として残ります)。"));
    hide();
    emit graded();
}

void ExamWindow::FinishPractice()
{
    running_ = false;
    if (session_)
        Record([this](record::LearningRecord& r) { r.EndSession(*session_); },
               ExamWindow::tr("答えは学習記録に残っていますが、練習は「未完了」として残ります。"));
    int answered = 0, right = 0;
    for (std::size_t i = 0; i < paper_.questions.size(); ++i) {
        const Question& q = paper_.questions[i];
        for (int p = 0; p < q.Parts(); ++p) {
            if (answers_[i][std::size_t(p)] == kUnanswered)
                continue;
            ++answered;
            right += IsPartRight(q, answers_[i], p);
        }
    }
    hide();
    dialogs::ShowMessage(parentWidget(), answered == 0
        ? ExamWindow::tr("練習を終えました。答えた問題はありません。")
        : ExamWindow::tr("練習を終えました。%1問中%2問正解でした。").arg(answered).arg(right));
    emit ended();
}

// The record never stops an exam: the first failure is told once, saying what the record kept,
// and the exam goes on without it.
void ExamWindow::Record(const std::function<void(record::LearningRecord&)>& write, const QString& lost)
{
    if (!record_)
        return;
    try {
        write(*record_);
    } catch (const Exception& e) {
        record_ = nullptr;
        dialogs::ShowMessage(this, ExamWindow::tr("学習記録に書き込めません。") + lost + QLatin1Char('\n') +
                                   QString::fromStdString(e.Message()));
    }
}

// ---- Keys and closing ----

void ExamWindow::keyPressEvent(QKeyEvent* event)
{
    RunHandler(this, [&] { KeyPress(event); });
}

void ExamWindow::KeyPress(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_1:
    case Qt::Key_O:
        Answer(1);
        break;
    case Qt::Key_2:
    case Qt::Key_X:
        Answer(0);
        break;
    case Qt::Key_Left:
        Go(current_ - 1);
        break;
    case Qt::Key_Right:
        Go(current_ + 1);
        break;
    case Qt::Key_Up:
        SelectPart(part_ - 1);
        break;
    case Qt::Key_Down:
        SelectPart(part_ + 1);
        break;
    case Qt::Key_F:
        ToggleFlag();
        break;
    case Qt::Key_Z:
        EnlargeFigure();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl)
            RequestGrade();
        else if (running_ && current_ >= 0 &&
                 IsAnswered(paper_.questions[std::size_t(current_)], answers_[std::size_t(current_)]))
            Go(current_ + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ExamWindow::closeEvent(QCloseEvent* event)
{
    RunHandler(this, [&] { Close(event); });
}

void ExamWindow::Close(QCloseEvent* event)
{
    if (running_ && IsPractice()) {
        FinishPractice();
    } else if (running_) {
        const bool giveUp = dialogs::Confirm(
            this, ExamWindow::tr("試験をやめますか？\n採点はされず、記録には「未完了」として残ります。"),
            ExamWindow::tr("やめる"), ExamWindow::tr("試験に戻る"), false);
        if (!giveUp || !running_) {
            event->ignore();
            setFocus();
            return;
        }
        running_ = false;
        timer_.stop();
        emit ended();
    }
    event->accept();
}

bool ExamWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Tab moves on and Space presses the focused button; the number panel takes ↑/↓ itself.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Space)
        return false;
    if (watched == ui->questionMap && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down))
        return false;
    keyPressEvent(key);
    return key->isAccepted();
}

void ExamWindow::EnlargeFigure()
{
    FigureView::ShowEnlarged(this, ui->figureView->picture());
}

QString ExamWindow::GradeWarning(int unanswered, int flagged)
{
    QString text = unanswered > 0
        ? ExamWindow::tr("未解答の問題が%1問あります(未解答は不正解になります)。").arg(unanswered)
        : ExamWindow::tr("すべての問題に解答しています。");
    if (flagged > 0)
        text += ExamWindow::tr("\n「見直し」の印が付いたままの問題が%1問あります。").arg(flagged);
    return text;
}

void ExamWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    activateWindow();
    setFocus();
}

}  // namespace exam
