#include "TForm6.h"
#include "ui_TForm6.h"

#include "CaptionStyle.h"
#include "ScreenFit.h"
#include "DataDirectory.h"
#include "Directory.h"
#include "ExceptionBoundary.h"
#include "FilterText.h"
#include "HistoryModel.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Settings.h"
#include "ShowOrRaise.h"

#include <QHeaderView>
#include <QEvent>
#include <QShowEvent>

namespace field = layouts::field;

namespace {
void SetPixelHeight(QWidget* w, int px)
{
    QFont f = w->font();
    f.setPixelSize(px);
    w->setFont(f);
}
}  // namespace

TForm6::TForm6(QWidget* parent)
    : QWidget(parent),
      Table1(new Table(this)),
      Table2(new Table(this)),
      ui(new Ui::TForm6),
      DataSource1(new DataSource(this)),
      DataSource2(new DataSource(this)),
      GridModel(new HistoryModel(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setWindowTitle(QString());

    // Pixel heights of the layout; the .ui file can only hold point sizes.
    SetPixelHeight(ui->GroupBox2, 24);
    SetPixelHeight(ui->GroupBox3, 27);
    SetPixelHeight(ui->GroupBox1, 24);
    SetPixelHeight(ui->DBMemo1, 29);
    SetPixelHeight(ui->DBMemo2, 29);
    SetPixelHeight(ui->Label1, 12);
    SetPixelHeight(ui->Button1, 21);
    // The Japanese faces stand taller than the layout's captions allow for.
    auto* captions = new CaptionStyle;
    captions->setParent(this);
    for (QGroupBox* box : {ui->GroupBox1, ui->GroupBox2, ui->GroupBox3})
        box->setStyle(captions);

    QFont cells(QStringLiteral("ＭＳ Ｐゴシック"));
    cells.setPixelSize(12);
    ui->DBGrid1->setFont(cells);

    DataSource1->setDataSet(Table1);
    DataSource2->setDataSet(Table2);

    ui->DBMemo1->setDataSource(DataSource2);
    ui->DBMemo1->setDataField(QString::fromLatin1(field::Mondai));
    ui->DBMemo2->setDataSource(DataSource2);
    ui->DBMemo2->setDataField(QString::fromLatin1(field::Kaisetsu));
    ui->DBMemo1->setTranslated(record::kSourceBank);
    ui->DBMemo2->setTranslated(record::kSourceBank);
    ui->DBImage2->setDataSource(DataSource2);
    ui->DBImage2->setDataField(QString::fromLatin1(field::Zu));
    ui->DBImage2->setMode(DBImage::Mode::Fit);
    for (DBMemo* memo : {ui->DBMemo1, ui->DBMemo2}) {
        memo->setReadOnly(true);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // A long question or explanation would be cut off at the pane's height otherwise.
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    GridModel->setTable(Table1);
    GridModel->bindView(ui->DBGrid1);
    ui->DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->DBGrid1->setTabKeyNavigation(true);   // Tab moves between cells, not out of the grid
    ui->DBGrid1->setShowGrid(true);
    ui->DBGrid1->verticalHeader()->setVisible(true);   // the row indicator
    ui->DBGrid1->horizontalHeader()->setVisible(true);
    ui->DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->DBGrid1->horizontalHeader()->setMinimumSectionSize(HistoryModel::SeihiWidth);

    ConnectHandler(DataSource1, &DataSource::dataChange, this, &TForm6::DataSource1DataChange);
    ConnectHandler(ui->Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
}

TForm6::~TForm6()
{
    // The tables die among this window's children; a notice they send then must not reach a
    // handler of a window that is already half gone.
    disconnect(DataSource1, nullptr, this, nullptr);
    // This window never changes its tables, so closing them writes nothing and cannot fail
    // in a way that loses data.
    try {
        Table1->Close();
        Table2->Close();
    } catch (const std::exception&) {
    }
}

void TForm6::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Our own show only: a restore by the window system is not a new showing.
    if (!event->spontaneous())
        RunHandler([this] { FormShow(); });
}

void TForm6::changeEvent(QEvent* event)
{
    // Only the .ui's captions are words; the grid and the memos follow their data.
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void TForm6::FormShow()
{
    const DataDirectory dir = FindDataDirectory(this, OpenDialog1);
    if (dir.cancelled) {
        // No data directory: the program ends, and there is nothing to show meanwhile.
        emit programEndRequested();
        return;
    }
    if (!LoadTables(dir.directory))
        return;

    // The question pane starts at the first history row; an empty history shows no question
    // (no question carries the number 0000).
    if (Table1->RecordCount() > 0)
        FollowHistory(Table1->FieldByName(field::Bango).AsString());
    else
        FollowHistory("0000");

    // The left edge is meant to lie just off the screen; a screen too small for the window gets
    // it scaled down whole, its title bar on the screen.
    screenfit::Place(this, QPoint(-2, 0), QSize(1022, 768));
    ui->DBGrid1->setFocus();
}

void TForm6::ShowLatest()
{
    const bool leftOpen = isVisible();
    ShowOrRaise(this);
    // Left open behind the menu, it would still show the drill before the latest.
    if (leftOpen)
        ReadAgain();
}

void TForm6::ReadAgain()
{
    RunHandler([this] { FormShow(); });
}

bool TForm6::LoadTables(const std::string& directory)
{
    try {
        const data::Directory data(directory);
        if (Table1->FileName().empty()) {
            data.OpenHistory(*Table1);
        } else {
            // Every showing reads the history as the question window last wrote it.
            Table1->Close();
            Table1->Open();
        }
        if (Table2->FileName().empty())
            data.OpenBank(*Table2);
        return true;
    } catch (...) {
        ReportDataFilesMissing(this, std::current_exception());
        emit programEndRequested();
        return false;
    }
}

void TForm6::FollowHistory(const std::string& bango)
{
    Table2->SetFilter(FilterText().Equals(field::Bango, bango));
    Table2->SetFiltered(true);
}

void TForm6::DataSource1DataChange()
{
    // The history is never filtered; with no row there is nothing to follow.
    if (!Table1->Active() || Table1->RecordCount() == 0)
        return;
    FollowHistory(Table1->FieldByName(field::Bango).AsString());
}

void TForm6::Button1Click() { emit programEndRequested(); }
