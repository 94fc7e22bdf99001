#include "TForm4.h"

#include "CaptionStyle.h"
#include "DataDirectory.h"
#include "Handlers.h"
#include "Layouts.h"
#include "Scoring.h"
#include "ScreenFit.h"
#include "Search.h"
#include "Settings.h"
#include "Windows.h"

#include <QCloseEvent>
#include <QShowEvent>

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

QString AnswerText(int answer) { return answer == 1 ? QStringLiteral("正") : QStringLiteral("誤"); }
}  // namespace

TForm4::TForm4(QWidget* parent) : QWidget(parent)
{
    setupUi(this);
    // A fixed frame with the system menu and the close box only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplyFontHeights();
    SetTextColor(BitBtn3, QPalette::ButtonText, kRed);
    SetTextColor(BitBtn4, QPalette::ButtonText, kBlue);
    SetTextColor(BitBtn1, QPalette::ButtonText, kLime);
    SetTextColor(BitBtn5, QPalette::ButtonText, kBlack);
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    auto* captions = new CaptionStyle;
    captions->setParent(this);
    for (QGroupBox* box : findChildren<QGroupBox*>())
        box->setStyle(captions);

    Table1 = new Table(this);
    Table2 = new Table(this);
    Table3 = new Table(this);
    Table1->SetRequiredFields(layouts::Bank());
    Table2->SetRequiredFields(layouts::History());
    Table3->SetRequiredFields(layouts::Advice());
    DataSource1 = new DataSource(this);
    DataSource2 = new DataSource(this);
    DataSource3 = new DataSource(this);
    DataSource1->setDataSet(Table1);
    DataSource2->setDataSet(Table2);
    DataSource3->setDataSet(Table3);

    DBMemo1->setDataSource(DataSource1);
    DBMemo1->setDataField("Mondai");
    DBMemo2->setDataSource(DataSource1);
    DBMemo2->setDataField("Kaisetsu");
    DBImage1->setDataSource(DataSource1);
    DBImage1->setDataField("Zu");
    DBImage1->setMode(DBImage::Mode::Fit);
    DBEdit1->setDataSource(DataSource1);
    DBEdit1->setDataField("Bango");
    DBEdit2->setDataSource(DataSource1);
    DBEdit2->setDataField("NKaisu");
    // The count of right answers, as its label says; the answer code would give the answer away.
    DBEdit3->setDataSource(DataSource1);
    DBEdit3->setDataField("Seikaisu");
    DBEdit4->setDataSource(DataSource1);
    DBEdit4->setDataField("Kaisu");
    DBEdit5->setDataSource(DataSource1);
    DBEdit5->setDataField("Nani");
    DBMemo3->setDataSource(DataSource3);
    DBMemo3->setDataField("Seikai");

    OpenDialog1.title = QStringLiteral("問題データファイルを開いてください。");
    OpenDialog1.filters = {QStringLiteral("データファイル(*.cds)"), QStringLiteral("すべてのファイル(*)")};
    OpenDialog1.fileMustExist = true;

    // Stored enabled: it ticks from start-up until the first drill start stops it.
    Timer1 = new QTimer(this);
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, [this] { RunHandler([this] { Timer1Timer(); }); });
    Timer1->start();

    connect(BitBtn3, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn4Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn5Click(); }); });
    screenfit::InstallZoomKeys(this);
}

TForm4::~TForm4()
{
    Timer1->stop();
    // The program may end with a drill open: store it. Every table is tried, and a failure is
    // reported rather than lost silently.
    for (Table* table : {Table1, Table2, Table3}) {
        try {
            table->Close();
        } catch (const std::exception& e) {
            dialogs::ShowMessage(nullptr, QString::fromUtf8(e.what()));
        }
    }
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
    // 1. The data directory, from the settings file or the pupil.
    const DataDirectory data = FindDataDirectory(this, OpenDialog1);
    if (data.cancelled) {
        // Never go on to open (and then empty) a history found in the working directory.
        CloseMainWindow();
        return;
    }
    // Another copy of the program drilling on the same data would overwrite this drill's
    // history (or this one its): refuse to start a second drill there.
    if (Lock.Acquire(data.directory) == DirectoryLock::Result::InUse) {
        dialogs::ShowMessage(this, QString::fromUtf8(InUseMessage));
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
        return;
    }
    // 2. The three tables, as one guarded step.
    if (!OpenTables(data.directory))
        return;
    // 3.
    Table3->SetFilter("Nani = -1");
    Table3->SetFiltered(true);
    // 4.
    Total = 1;
    Ans = 0;
    Sei = 0;
    LKaisu = 0;
    // 5. A drill's history holds its own answers only.
    while (!Table2->Eof())
        Table2->Delete();
    // 6. Every posted record leaves the "NKaisu > 0" view, so the loop ends.
    if (ResetSettledCounts) {
        Table1->SetFilter("NKaisu > 0");
        Table1->SetFiltered(true);
        while (!Table1->Eof()) {
            Table1->Edit();
            Table1->FieldByName("NKaisu").SetAsInteger(0);
            Table1->Post();
        }
    }
    // 7, 8.
    if (!ShowNextQuestion())
        return;
    // 9., 10.
    SetUnanswered();
    // 11.
    ShowDrillLevel();
    ProgressBar1->show();
    Label9->show();
    // 12.
    ProgressBar2->setValue(0);
    ProgressBar2->show();
    SetCaption(Label4, QStringLiteral("0 %"));
    Label4->show();
    // 13.
    GroupBox2->setTitle(QStringLiteral("問題1"));
    // 14. The filter text stays; the advice view shows the first record.
    Table3->SetFiltered(false);
    // 15.
    Timer1->stop();
    // 16. The frame, not just the inside, is 1022 x 768 at (-1, 0); a screen too small for it
    // gets the window scaled down whole.
    const QSize frame = frameGeometry().size() - geometry().size();
    screenfit::Place(this, QPoint(-1, 0), QSize(1022, 768) - frame, screenfit::Origin::Frame);
}

bool TForm4::OpenTables(const std::string& directory)
{
    try {
        const std::pair<Table*, const char*> files[] = {
            {Table1, layouts::kBankFile}, {Table2, layouts::kHistoryFile}, {Table3, layouts::kAdviceFile}};
        for (const auto& [table, name] : files) {
            table->Close();   // open only after a failed start; nothing to write then
            table->SetFileName(directory + name);
            table->Open();
        }
        return true;
    } catch (...) {
        ReportDataFilesMissing(this);
        return false;
    }
}

bool TForm4::ShowNextQuestion()
{
    if (!drill::SearchQuestion(*Table1, DrillLevel, LKaisu)) {
        NoQuestion();
        return false;
    }
    // Narrow the bank to the question found; every view on DataSource1 shows it.
    const std::string bango = Table1->FieldByName("Bango").AsString();
    Table1->SetFilter("Bango = " + bango);
    Table1->SetFiltered(true);
    return true;
}

void TForm4::NoQuestion()
{
    // No pass limit could ever find a question: end the drill instead of searching for ever.
    // The close sequence stores what this drill changed.
    dialogs::ShowMessage(this, QString::fromUtf8(NoQuestionMessage));
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

// ---- Judging --------------------------------------------------------------------------------

void TForm4::BitBtn3Click() { Judge(1); }
void TForm4::BitBtn4Click() { Judge(0); }

void TForm4::Judge(int answer)
{
    // 1.
    Table1->Edit();
    // 2.-5. Everything the answer is judged on is read before anything is written; the new
    // counters come from the drill arithmetic and are written at their steps below.
    drill::Counters before;
    before.kaisu = Table1->FieldByName("Kaisu").AsInteger();
    before.seikaisu = Table1->FieldByName("Seikaisu").AsInteger();
    before.nkaisu = Table1->FieldByName("NKaisu").AsInteger();
    before.nani = Table1->FieldByName("Nani").AsInteger();
    const std::string bango = Table1->FieldByName("Bango").AsString();
    const std::string mondai = Table1->FieldByName("Mondai").AsString();
    const bool right = Table1->FieldByName("Seikai").AsInteger() == answer;
    const drill::Counters after = drill::AfterAnswer(before, right);
    Table1->FieldByName("Kaisu").SetAsInteger(after.kaisu);
    ++Ans;

    // The history record, by field name so that its order in the file cannot swap values.
    auto appendHistory = [&](int seihi) {
        Row row(Table2->Fields().size());
        row[std::size_t(Table2->FieldIndex("Bango"))] = Value(bango);
        row[std::size_t(Table2->FieldIndex("Seihi"))] = Value(seihi);
        row[std::size_t(Table2->FieldIndex("Mondai"))] = Value(mondai);
        Table2->AppendRecord(row);
    };
    auto filterAdvice = [&] {
        Table3->SetFilter("Nani = " + std::to_string(DrillLevel));
        Table3->SetFiltered(true);
    };

    if (right) {
        // 6.
        Table1->FieldByName("NKaisu").SetAsInteger(after.nkaisu);
        ++Sei;
        Table1->FieldByName("Seikaisu").SetAsInteger(after.seikaisu);
        appendHistory(1);
        SetTextColor(Label7, QPalette::WindowText, kRed);
        SetTextColor(Label8, QPalette::WindowText, kRed);
        SetCaption(Label7, QStringLiteral("正　解"));
        SetCaption(Label8, AnswerText(answer));
        DBMemo3->setDataField("Seikai");
        if (Total > 10)
            filterAdvice();
    } else {
        // 7.
        appendHistory(0);
        SetTextColor(Label7, QPalette::WindowText, kBlack);
        SetTextColor(Label8, QPalette::WindowText, kBlack);
        SetCaption(Label7, QStringLiteral("不正解"));
        SetCaption(Label8, AnswerText(1 - answer));
        --DrillLevel;
        if (after.nkaisu != before.nkaisu)
            Table1->FieldByName("NKaisu").SetAsInteger(after.nkaisu);
        DBMemo3->setDataField("Fuseikai");
        if (Total > 10) {
            if (DrillLevel < 0)
                DrillLevel = 0;
            filterAdvice();
        }
    }
    // 8.
    Table1->FieldByName("Nani").SetAsInteger(after.nani);
    Table1->Post();
    // 9.
    BitBtn1->setEnabled(true);
    BitBtn3->setEnabled(false);
    BitBtn4->setEnabled(false);
    // 10.
    DBMemo2->show();
    Label7->show();
    Label8->show();
    // 11.
    Edit1->setText(QString::number(Sei));
    Edit2->setText(QString::number(Ans));
    Edit3->setText(QString::fromStdString(drill::PercentText(Sei, Ans)));
    const int percent = drill::PercentInteger(Sei, Ans);
    ProgressBar2->setValue(percent);
    SetCaption(Label4, QString::fromStdString(drill::PercentLabel(percent)));
    // 12. The verdict blinks until the next question.
    Timer1->start();
}

// ---- Next question --------------------------------------------------------------------------

void TForm4::BitBtn1Click()
{
    // 1.
    ++Total;
    GroupBox2->setTitle(QStringLiteral("問題") + QString::number(Total));
    // 2.-5.
    const drill::RecentAnswers recent = drill::LastAnswers(*Table2);
    DrillLevel = drill::MoveLevel(DrillLevel, recent.sum, recent.count);
    // 6.
    ShowDrillLevel();
    // 7., 8.
    SetUnanswered();
    Timer1->stop();
    // 9., 10.
    ShowNextQuestion();
}

void TForm4::SetUnanswered()
{
    // Only the answer buttons; the explanation and the verdict wait for the answer.
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(true);
    BitBtn4->setEnabled(true);
    DBMemo2->hide();
    Label7->hide();
    Label8->hide();
}

void TForm4::ShowDrillLevel()
{
    ProgressBar1->setValue(DrillLevel);
    SetCaption(Label9, QString::fromStdString(drill::PercentLabel(DrillLevel)));
}

// ---- Drill end ------------------------------------------------------------------------------

void TForm4::BitBtn5Click() { close(); }

void TForm4::FormClose()
{
    Table1->SetFiltered(false);
    // Each store writes back what changed; one that fails throws, leaving it and the tables
    // after it open.
    Table1->Close();
    Table2->Close();
    Table3->Close();
    Lock.Release();
}

void TForm4::Timer1Timer()
{
    // Not isVisible(): a tick while the window is hidden still flips the label.
    Label7->setVisible(Label7->isHidden());
}
