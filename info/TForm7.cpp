#include "TForm7.h"
#include "ui_TForm7.h"

#include "ExceptionBoundary.h"
#include "Highlight.h"
#include "LanguageChoice.h"
#include "ScreenFit.h"

#include <QMouseEvent>
#include <QPixmap>

static void InitPictures() { Q_INIT_RESOURCE(shell); }

namespace {
// Pixel heights of the layout; the .ui file can only hold point sizes.
constexpr int kTextPx = 10;
constexpr int kLinkPx = 12;
constexpr int kButtonPx = 16;

void SetPixelHeight(QWidget* w, int px)
{
    QFont f = w->font();
    f.setPixelSize(px);
    w->setFont(f);
}
}  // namespace

TForm7::TForm7(QWidget* parent) : QDialog(parent), ui(new Ui::TForm7)
{
    InitPictures();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // A white dialog; every text paints its own white background over the picture.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    SetPixelHeight(this, kTextPx);
    for (QLabel* link : {ui->Label1, ui->Label3, ui->Label5, ui->Label11})
        SetPixelHeight(link, kLinkPx);
    SetPixelHeight(ui->BitBtn1, kButtonPx);
    // The Japanese face's line is taller than the links' 15 pixels; sitting the text on the
    // bottom edge keeps its underline inside the label.
    for (QLabel* link : {ui->Label1, ui->Label3, ui->Label5})
        link->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    highlight::SetCaptionColour(ui->Label11, QColor(255, 128, 0));

    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/school.png")));
    ui->Image1->setScaledContents(false);

    // Pointer-move handlers run as they are named. Each widget with a handler stops the move
    // there, so the dialog's own handler does not undo a red caption; ui->Label10 has no handler
    // and must not pass the move on to the dialog either.
    setMouseTracking(true);
    const QList<QWidget*> tracked{ui->Image1, ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6,
                                  ui->Label7, ui->Label8, ui->Label9, ui->Label11, ui->Version, ui->BitBtn1};
    for (QWidget* w : tracked) {
        w->setMouseTracking(true);
        w->setAttribute(Qt::WA_NoMousePropagation);
        w->installEventFilter(this);
    }
    ui->Label10->setAttribute(Qt::WA_NoMousePropagation);
    for (QLabel* l : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6, ui->Label7, ui->Label8, ui->Label9,
                      ui->Label10, ui->Label11})
        l->setAutoFillBackground(true);

    FitTranslatedCaptions();

    ConnectHandler(ui->BitBtn1, &QPushButton::clicked, this, &TForm7::BitBtn1Click);
    ui->BitBtn1->setFocus();
    // The form file keeps only the size of a window; without a position of its own the
    // dialog would be centred. Placed once its texts have their sizes, so that a small screen
    // scales them with the rest.
    screenfit::Place(this, QPoint(224, 153), size());
    screenfit::InstallZoomKeys(this);
}

TForm7::~TForm7() = default;

namespace {
// The right edge a caption may reach: inside the dialog, clear of its border.
int CaptionsRight(const QWidget* dialog) { return dialog->width() - 8; }

// A caption longer than the Japanese it was laid out for gets the width its text needs, moved
// left where it would pass RIGHT.
void GiveRoom(QLabel* label, int right)
{
    const int need = label->sizeHint().width();
    if (need <= label->width())
        return;
    QRect g = label->geometry();
    g.setWidth(need);
    if (g.right() > right)
        g.moveRight(right);
    label->setGeometry(g);
}
}  // namespace

void TForm7::FitTranslatedCaptions()
{
    // In Japanese the first edition's layout stays as it is, pixel for pixel.
    if (!LanguageChoice::Instance().language())
        return;
    for (QLabel* l : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6, ui->Label7, ui->Label8,
                      ui->Label9, ui->Label11, ui->Version})
        GiveRoom(l, CaptionsRight(this));
    // The notice's sentence goes on right after its link, however long the link's word is.
    ui->Label10->move(ui->Label11->geometry().right() + 1, ui->Label10->y());
    GiveRoom(ui->Label10, CaptionsRight(this));
}

void TForm7::SetVersion(const QString& version)
{
    ui->Version->setText(tr("© Orvessa 自動車学校 Ver.") + version);
    if (LanguageChoice::Instance().language())
        GiveRoom(ui->Version, CaptionsRight(this));
}

void TForm7::ShowAtStartup()
{
    ui->BitBtn1->setText(tr("問題画面へ移動"));
    exec();
    ui->BitBtn1->setText(tr("閉じる"));
}

void TForm7::AllBlack()
{
    for (QWidget* w : {static_cast<QWidget*>(ui->Label1), static_cast<QWidget*>(ui->Label3),
                       static_cast<QWidget*>(ui->Label5), static_cast<QWidget*>(ui->BitBtn1)})
        highlight::SetCaptionColour(w, highlight::Black);
}

void TForm7::Highlight(QWidget* w)
{
    AllBlack();
    highlight::SetCaptionColour(w, highlight::Red);
}

void TForm7::Label1MouseMove() { Highlight(ui->Label1); }
void TForm7::Label3MouseMove() { Highlight(ui->Label3); }
void TForm7::Label5MouseMove() { Highlight(ui->Label5); }
void TForm7::BitBtn1MouseMove() { Highlight(ui->BitBtn1); }
void TForm7::FormMouseMove() { AllBlack(); }

void TForm7::Label1Click() { AllBlack(); }
void TForm7::Label3Click() { AllBlack(); }
void TForm7::Label5Click() { AllBlack(); }

void TForm7::BitBtn1Click()
{
    close();
    AllBlack();
}

bool TForm7::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == ui->Label1)
            Label1MouseMove();
        else if (watched == ui->Label3)
            Label3MouseMove();
        else if (watched == ui->Label5)
            Label5MouseMove();
        else if (watched == ui->BitBtn1)
            BitBtn1MouseMove();
        else
            FormMouseMove();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        // A click: released with the left button over the label it was pressed on.
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = qobject_cast<QWidget*>(watched);
        if (me->button() == Qt::LeftButton && w && w->rect().contains(me->position().toPoint())) {
            if (watched == ui->Label1)
                Label1Click();
            else if (watched == ui->Label3)
                Label3Click();
            else if (watched == ui->Label5)
                Label5Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm7::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}
