#include "TForm4.h"
#include "ui_TForm4.h"

#include "CaptionStyle.h"
#include "DataDirectory.h"
#include "ExceptionBoundary.h"
#include "Exception.h"
#include "FocusFrame.h"
#include "Honyaku.h"
#include "Scoring.h"
#include "ScreenFit.h"
#include "ShowOrRaise.h"
#include "Layouts.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include <cstdio>

namespace field = layouts::field;

namespace {
// The layout's character heights in pixels; the .ui holds point sizes only.
struct FontHeight {
    const char* name;
    int pixels;
};
constexpr FontHeight kFontHeights[] = {
    {"GroupBox2", 24}, {"DBMemo1", 29},   {"GroupBox1", 24}, {"DBMemo2", 29},
    {"GroupBox3", 27}, {"DBImage1", 12},  {"GroupBox4", 27}, {"Label15", 24},
    {"Label10", 12},   {"Label11", 12},   {"Label12", 12},   {"Label13", 12},
    {"Label14", 12},   {"DBEdit1", 12},   {"DBEdit2", 12},   {"DBEdit3", 12},
    {"DBEdit4", 12},   {"DBEdit5", 12},   {"Label1", 24},    {"ProgressBar1", 12},
    {"Label9", 12},    {"Label3", 24},    {"ProgressBar2", 12}, {"Label4", 12},
    {"Label5", 24},    {"Edit1", 12},     {"Label16", 12},   {"Edit2", 12},
    {"Label17", 12},   {"Edit3", 12},     {"Label18", 12},   {"BitBtn5", 29},
    {"GroupBox6", 19}, {"DBMemo3", 12},   {"GroupBox5", 27}, {"Label2", 37},
    {"Label6", 37},    {"Label7", 37},    {"Label8", 37},    {"BitBtn3", 37},
    {"BitBtn4", 37},   {"BitBtn1", 37},
};

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kLime(0, 255, 0);
const QColor kBlack(0, 0, 0);

}  // namespace

QString TForm4::AnswerText(int answer) { return answer == 1 ? tr("正") : tr("誤"); }

TForm4::TForm4(QWidget* parent)
    : QWidget(parent),
      Table1(new Table(this)),
      Table2(new Table(this)),
      Table3(new Table(this)),
      Drill(*Table1, *Table2, *Table3),
      ui(new Ui::TForm4)
{
    ui->setupUi(this);
    // A fixed frame with the system menu and the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplyFontHeights();
    SetTextColor(ui->BitBtn3, QPalette::ButtonText, kRed);
    SetTextColor(ui->BitBtn4, QPalette::ButtonText, kBlue);
    SetTextColor(ui->BitBtn1, QPalette::ButtonText, kLime);
    SetTextColor(ui->BitBtn5, QPalette::ButtonText, kBlack);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    auto* captions = new CaptionStyle;
    captions->setParent(this);
    for (QGroupBox* box : findChildren<QGroupBox*>())
        box->setStyle(captions);

    DataSource1 = new DataSource(this);
    DataSource2 = new DataSource(this);
    DataSource3 = new DataSource(this);
    DataSource1->setDataSet(Table1);
    DataSource2->setDataSet(Table2);
    DataSource3->setDataSet(Table3);

    ui->DBMemo1->setDataSource(DataSource1);
    ui->DBMemo1->setDataField(field::Mondai);
    ui->DBMemo2->setDataSource(DataSource1);
    ui->DBMemo2->setDataField(field::Kaisetsu);
    ui->DBMemo1->setTranslated(record::kSourceBank);
    ui->DBMemo2->setTranslated(record::kSourceBank);
    ui->DBImage1->setDataSource(DataSource1);
    ui->DBImage1->setDataField(field::Zu);
    ui->DBImage1->setMode(DBImage::Mode::Fit);
    ui->DBEdit1->setDataSource(DataSource1);
    ui->DBEdit1->setDataField(field::Bango);
    ui->DBEdit2->setDataSource(DataSource1);
    ui->DBEdit2->setDataField(field::NKaisu);
    // The count of right answers, as its label says; the answer code would give the answer away.
    ui->DBEdit3->setDataSource(DataSource1);
    ui->DBEdit3->setDataField(field::Seikaisu);
    ui->DBEdit4->setDataSource(DataSource1);
    ui->DBEdit4->setDataField(field::Kaisu);
    ui->DBEdit5->setDataSource(DataSource1);
    ui->DBEdit5->setDataField(field::Nani);
    ui->DBMemo3->setDataSource(DataSource3);
    ui->DBMemo3->setDataField(field::Seikai);
    ui->DBMemo3->setTranslated(honyaku::kAdviceSource, field::Nani);

    OpenDialog1 = DataFileDialog();

    // Stored enabled: it ticks from start-up until the first drill start stops it.
    Timer1 = new QTimer(this);
    Timer1->setInterval(300);
    ConnectHandler(Timer1, &QTimer::timeout, this, &TForm4::Timer1Timer);
    Timer1->start();

    // Answering from the keyboard: the statistics boxes only show, and must not take the keys.
    for (QLineEdit* box : {ui->Edit1, ui->Edit2, ui->Edit3})
        box->setFocusPolicy(Qt::NoFocus);
    focusFrame_ = new FocusFrame(this);

    ConnectHandler(ui->BitBtn3, &QPushButton::clicked, this, &TForm4::BitBtn3Click);
    ConnectHandler(ui->BitBtn4, &QPushButton::clicked, this, &TForm4::BitBtn4Click);
    ConnectHandler(ui->BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    ConnectHandler(ui->BitBtn5, &QPushButton::clicked, this, &TForm4::BitBtn5Click);
    screenfit::InstallZoomKeys(this);
}

TForm4::~TForm4()
{
    Timer1->stop();
    // The program may end with a drill open: store it. This runs on the way out (a signal, the
    // main window closed), where a message box would wait for a pupil who is gone: a failure
    // goes to standard error. The bank and the history are stored together or not at all;
    // when they cannot be, neither is, and the learning record keeps the drill's answers for
    // the next start to store.
    try {
        Drill.End();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lentavo: %s\nlentavo: %s\n", e.what(), UnstoredMessage);
    }
    if (const std::string why = Drill.TakeRecordFailure(); !why.empty())
        std::fprintf(stderr, "lentavo: %s: %s\n", record::kFileName, why.c_str());
    for (Table* table : {Table1, Table2, Table3})
        table->Discard();
}

void TForm4::ApplyFontHeights()
{
    for (const FontHeight& h : kFontHeights) {
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(h.name));
        if (!w)
            continue;
        QFont f = w->font();
        f.setPixelSize(h.pixels);
        w->setFont(f);
    }
}

void TForm4::SetTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Active, role, color);
    p.setColor(QPalette::Inactive, role, color);
    widget->setPalette(p);
}

void TForm4::SetCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();   // labels size themselves to their caption
}

void TForm4::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RunHandler([this] { FormShow(); });
}

void TForm4::closeEvent(QCloseEvent* event)
{
    // A table that cannot be written back keeps the window open with its data, so closing
    // again can succeed.
    if (RunHandler([this] { FormClose(); }))
        event->accept();
    else
        event->ignore();
}

// ---- Drill start ----------------------------------------------------------------------------

void TForm4::FormShow()
{
    // The data directory, from the settings file or the pupil.
    const DataDirectory data = FindDataDirectory(this, OpenDialog1);
    if (data.cancelled) {
        // Never go on to open (and then empty) a history found in the working directory.
        emit programEndRequested();
        return;
    }
    Data = data::Directory(data.directory);
    // Another copy of the program drilling on the same data would overwrite this drill's
    // history (or this one its): refuse to start a second drill there.
    if (Data.Lock() == DirectoryLock::Result::InUse) {
        dialogs::ShowMessage(this, tr(InUseMessage));
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
        return;
    }
    // The three tables, as one guarded step.
    if (!OpenTables())
        return;
    recordFailureTold_ = false;
    OpenRecord();
    if (!Drill.Start()) {
        NoQuestion();
        return;
    }
    ReportRecordFailure();
    SetUnanswered();
    ShowDrillLevel();
    ui->ProgressBar1->show();
    ui->Label9->show();
    ui->ProgressBar2->setValue(0);
    ui->ProgressBar2->show();
    SetCaption(ui->Label4, QStringLiteral("0 %"));
    ui->Label4->show();
    ui->GroupBox2->setTitle(QuestionTitle());
    Timer1->stop();
    FocusOn(ui->BitBtn3);
    // The frame, not just the inside, is 1022 x 768 at (-1, 0); a screen too small for it gets
    // the window scaled down whole.
    const QMargins frame = screenfit::FrameMargins(this);
    screenfit::Place(this, QPoint(-1, 0), QSize(1022 - frame.left() - frame.right(), 768 - frame.top() - frame.bottom()));
}

bool TForm4::OpenTables()
{
    try {
        Data.OpenBank(*Table1);
        Data.OpenHistory(*Table2);
        Data.OpenAdvice(*Table3);
        return true;
    } catch (const FileInUse&) {
        // Held by another program for the moment: the data is there, so the settings stay and
        // the program goes on; the pupil tries again.
        dialogs::ShowMessage(this, tr(FileBusyMessage));
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
        return false;
    } catch (...) {
        ReportDataFilesMissing(this);
        emit programEndRequested();
        return false;
    }
}

void TForm4::OpenRecord()
{
    Record.Close();
    try {
        Data.OpenRecord(Record);
        Drill.UseRecord(&Record);
    } catch (const std::exception& e) {
        Drill.UseRecord(nullptr);
        ReportRecordFailure(e.what());
    }
}

void TForm4::ReportRecordFailure(const std::string& why)
{
    if (why.empty() || recordFailureTold_)
        return;
    recordFailureTold_ = true;
    dialogs::ShowMessage(this, tr(RecordMessage) + QStringLiteral("\n\n") + QString::fromStdString(why));
}

void TForm4::NoQuestion()
{
    // No pass limit could ever find a question: end the drill instead of searching for ever.
    // The close sequence stores what this drill changed.
    dialogs::ShowMessage(this, tr(NoQuestionMessage));
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void TForm4::StartDrill(int level)
{
    if (!isVisible())
        DrillLevel = level;
    ShowOrRaise(this);
}

// ---- Judging --------------------------------------------------------------------------------

void TForm4::BitBtn3Click() { Judge(1); }
void TForm4::BitBtn4Click() { Judge(0); }

void TForm4::Judge(int answer)
{
    const drill::Verdict verdict = Drill.Judge(answer);
    ReportRecordFailure();
    shownVerdict_ = verdict;
    ShowVerdict(verdict);
    ui->DBMemo3->setDataField(QString::fromLatin1(verdict.adviceField));
    ui->BitBtn1->setEnabled(true);
    ui->BitBtn3->setEnabled(false);
    ui->BitBtn4->setEnabled(false);
    ui->DBMemo2->show();
    ui->Label7->show();
    ui->Label8->show();
    const drill::Statistics stats = Drill.Stats();
    ui->Edit1->setText(QString::number(stats.right));
    ui->Edit2->setText(QString::number(stats.answers));
    ui->Edit3->setText(QString::fromStdString(stats.percentText));
    ui->Edit3->setCursorPosition(0);   // a long rate shows its start, not its tail
    ui->ProgressBar2->setValue(stats.percent);
    SetCaption(ui->Label4, QString::fromStdString(drill::PercentLabel(stats.percent)));
    // The verdict blinks until the next question.
    Timer1->start();
    FocusOn(ui->BitBtn1);
}

// ---- Next question --------------------------------------------------------------------------

void TForm4::BitBtn1Click()
{
    const bool found = Drill.Next();
    ui->GroupBox2->setTitle(QuestionTitle());
    ShowDrillLevel();
    SetUnanswered();
    Timer1->stop();
    FocusOn(ui->BitBtn3);
    if (!found)
        NoQuestion();
}

void TForm4::ShowVerdict(const drill::Verdict& verdict)
{
    const QColor& color = verdict.right ? kRed : kBlack;
    SetTextColor(ui->Label7, QPalette::WindowText, color);
    SetTextColor(ui->Label8, QPalette::WindowText, color);
    SetCaption(ui->Label7, verdict.right ? tr("正　解", "verdict") : tr("不正解"));
    SetCaption(ui->Label8, AnswerText(verdict.shownAnswer));
}

QString TForm4::QuestionTitle() const { return tr("問題%1").arg(Total); }

void TForm4::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void TForm4::Retranslate()
{
    // The .ui's captions come back in the new language; what the drill wrote into the others
    // (numbers, the question's number, the verdict) is written again.
    const QString level = ui->Label9->text(), rate = ui->Label4->text();
    const QString right = ui->Edit1->text(), answers = ui->Edit2->text(), percent = ui->Edit3->text();
    ui->retranslateUi(this);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    SetCaption(ui->Label9, level);
    SetCaption(ui->Label4, rate);
    ui->Edit1->setText(right);
    ui->Edit2->setText(answers);
    ui->Edit3->setText(percent);
    ui->Edit3->setCursorPosition(0);
    if (Total > 0)
        ui->GroupBox2->setTitle(QuestionTitle());
    if (shownVerdict_)
        ShowVerdict(*shownVerdict_);
}

void TForm4::SetUnanswered()
{
    shownVerdict_.reset();
    // Only the answer buttons; the explanation and the verdict wait for the answer.
    ui->BitBtn1->setEnabled(false);
    ui->BitBtn3->setEnabled(true);
    ui->BitBtn4->setEnabled(true);
    ui->DBMemo2->hide();
    ui->Label7->hide();
    ui->Label8->hide();
}

void TForm4::ShowDrillLevel()
{
    ui->ProgressBar1->setValue(DrillLevel);
    SetCaption(ui->Label9, QString::fromStdString(drill::PercentLabel(DrillLevel)));
}

// ---- Drill end ------------------------------------------------------------------------------

void TForm4::BitBtn5Click() { close(); }

void TForm4::FormClose()
{
    // A write-back that fails throws with every table open and the window as it was.
    Drill.End();
    ReportRecordFailure();
    Record.Close();
    Data.Unlock();
    emit drillStored();
}

void TForm4::FocusOn(QPushButton* button)
{
    button->setFocus();
    focusFrame_->Follow(button);
}

void TForm4::keyPressEvent(QKeyEvent* event)
{
    // 1 or O answers 正, 2 or X 誤, Return goes on once answered: each only as its button would.
    QPushButton* button = nullptr;
    switch (event->key()) {
    case Qt::Key_1:
    case Qt::Key_O:
        button = ui->BitBtn3;
        break;
    case Qt::Key_2:
    case Qt::Key_X:
        button = ui->BitBtn4;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        button = ui->BitBtn1;
        break;
    default:
        break;
    }
    if (!button || (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A key held down must not answer the next question too.
    if (!event->isAutoRepeat() && button->isEnabled())
        button->click();
    event->accept();
}

void TForm4::Timer1Timer()
{
    // Not isVisible(): a tick while the window is hidden still flips the label.
    ui->Label7->setVisible(ui->Label7->isHidden());
}
