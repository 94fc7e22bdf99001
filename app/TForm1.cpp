#include "TForm1.h"
#include "ui_TForm1.h"

#include "BuildConfig.h"
#include "Dialogs.h"
#include "ExceptionBoundary.h"
#include "ScreenFit.h"
#include "Highlight.h"
#include "LanguageButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace {
constexpr int kButtonPx = 21;

// Drill levels of the three difficulties; the 本免 row starts the same drills as the 仮免 row.
constexpr int kEasy = 0;
constexpr int kNormal = 5;
constexpr int kHard = 15;

struct Zone {
    int x1, x2, y1, y2;
};
constexpr Zone kHandZones[] = {
    {677, 1019, 4, 58},     // the school's name plate
    {112, 556, 83, 156},    // the title banner
    {817, 1019, 66, 138},   // the upper guide sign
    {817, 1019, 149, 222},  // the lower guide sign
};

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent), ui(new Ui::TForm1), public_(Public), professional_(Professional)
{
    ui->setupUi(this);
    // Only the close box: the menu is neither minimised nor maximised, and not resized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());

    // Closing this window is what ends the program; hiding the others must not.
    QGuiApplication::setQuitOnLastWindowClosed(false);

    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/menu.png")));
    ui->Image1->setScaledContents(false);
    ui->Image1->lower();

    const QList<QPushButton*> buttons{ui->BitBtn1, ui->BitBtn2, ui->BitBtn3, ui->BitBtn4, ui->BitBtn5,
                                      ui->BitBtn6, ui->BitBtn7, ui->BitBtn8, ui->BitBtn9, ui->ProgressButton,
                                      ui->TodaysReviewButton};
    for (QPushButton* b : buttons) {
        QFont f = b->font();
        f.setPixelSize(kButtonPx);
        b->setFont(f);
    }
    // Each pointer-move handler runs for its own widget and the move goes no further.
    for (QWidget* w : std::initializer_list<QWidget*>{ui->BitBtn1, ui->BitBtn2, ui->BitBtn3, ui->BitBtn4, ui->BitBtn5,
                                                      ui->BitBtn6, ui->BitBtn7, ui->BitBtn8, ui->BitBtn9,
                                                      ui->ProgressButton, ui->TodaysReviewButton, ui->Image1}) {
        w->setMouseTracking(true);
        w->setAttribute(Qt::WA_NoMousePropagation);
        w->installEventFilter(this);
    }

    ConnectHandler(ui->BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    ConnectHandler(ui->BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    ConnectHandler(ui->BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    ConnectHandler(ui->BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    ConnectHandler(ui->BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn7Click);
    ConnectHandler(ui->BitBtn8, &QPushButton::clicked, this, &TForm1::BitBtn8Click);
    ConnectHandler(ui->BitBtn9, &QPushButton::clicked, this, &TForm1::BitBtn9Click);
    ConnectHandler(ui->BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    ConnectHandler(ui->ProgressButton, &QPushButton::clicked, this, [this] { emit learningRecordRequested(); });
    ConnectHandler(ui->TodaysReviewButton, &QPushButton::clicked, this, [this] { emit todaysReviewRequested(); });

    // The mock exams sit on the guide signs, drawn as the picture's signs are, and say what
    // their test's definition says.
    const std::pair<QPushButton*, exam::Test> signs[] = {
        {ui->MockKarimenButton, exam::Test::Karimen},
        {ui->MockHonmenButton, exam::Test::Honmen},
        {ui->MockGaimenButton, exam::Test::Gaimen},
    };
    for (const auto& [sign, test] : signs) {
        sign->setStyleSheet(QStringLiteral(
            "QPushButton { background: #1d4f9c; color: white; border: 3px solid white;"
            " border-radius: 6px; }"
            "QPushButton:hover { background: #2a66c4; }"
            "QPushButton:pressed { background: #163d78; }"));
        ConnectHandler(sign, &QPushButton::clicked, this, [this, test = test] { emit mockExamRequested(test); });
    }

    ConnectHandler(ui->LogoutButton, &QPushButton::clicked, this, [this] { emit signOutRequested(); });
    ShowPupil(QString());
    ShowSignCaptions();

    // The pupil's language, in the picture's empty top-left corner.
    auto* language = new LanguageButton(this);
    language->setGeometry(16, 16, 230, 36);
    // Out of the tab chain, as the signs are: the first edition's keys go round its buttons only.
    language->setFocusPolicy(Qt::NoFocus);

    screenfit::InstallZoomKeys(this);
}

void TForm1::ShowPupil(const QString& caption)
{
    ui->PupilLabel->setText(caption);
    ui->SchoolStrip->setVisible(!caption.isEmpty());
    ShowPending(0);
}

void TForm1::ShowPending(int pending)
{
    pending_ = pending;
    ShowCounts();
}

TForm1::~TForm1() = default;

void TForm1::ShowSignCaptions()
{
    for (const auto& [sign, test] : {std::pair{ui->MockKarimenButton, exam::Test::Karimen},
                                     std::pair{ui->MockHonmenButton, exam::Test::Honmen},
                                     std::pair{ui->MockGaimenButton, exam::Test::Gaimen}})
        sign->setText(exam::MenuCaption(exam::Definition(test)));
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ShowSignCaptions();
        ShowCounts();
    }
    QWidget::changeEvent(event);
    // Back from a drill, an exam or a practice set: what the menu shows of the record may have
    // changed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        emit activated();
}

void TForm1::SetBuildConfig(bool isPublic, bool professional)
{
    public_ = isPublic;
    professional_ = professional;
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Only our own show, not the window system's restore of an already shown window.
    if (!event->spontaneous())
        RunHandler([this] { FormShow(); });
}

void TForm1::FormShow()
{
    ui->BitBtn1->setVisible(professional_);
    AllBlack();
    if (public_) {
        dialogs::SetApplicationTitle(QStringLiteral("Tomivel"));
    } else {
        dialogs::SetApplicationTitle(QStringLiteral("Lentavo"));
        // Answered modally: the menu goes on once the dialog is closed.
        emit startupInformationRequested();
    }
    ui->Image1->resize(1022, 768);
    // The left edge is meant to lie just off the screen; a screen too small for the window gets
    // it scaled down whole, its title bar on the screen.
    screenfit::Place(this, QPoint(-2, 0), QSize(1022, 768));
    ui->BitBtn6->setFocus();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Ends the event loop without closing the other windows: their close handlers must not
    // run. The question window writes its tables back when it is destroyed.
    if (event->isAccepted())
        QCoreApplication::exit(0);
}

void TForm1::AllBlack()
{
    for (QPushButton* b : {ui->BitBtn1, ui->BitBtn2, ui->BitBtn3, ui->BitBtn4, ui->BitBtn5, ui->BitBtn6, ui->BitBtn7,
                           ui->BitBtn8, ui->BitBtn9, ui->ProgressButton, ui->TodaysReviewButton})
        highlight::SetCaptionColour(b, highlight::Black);
}

void TForm1::SetTodaysReviewCount(std::optional<int> count)
{
    todaysReview_ = count;
    ShowCounts();
}

void TForm1::ShowCounts()
{
    ui->PendingLabel->setText(pending_ > 0 ? tr("未送信 %1件").arg(pending_) : QString());
    ui->TodaysReviewButton->setText(todaysReview_ ? tr("今日の復習  %1問").arg(*todaysReview_) : tr("今日の復習"));
}

void TForm1::StartDrill(int level) { emit drillRequested(level); }

void TForm1::BitBtn6Click() { StartDrill(kEasy); }
void TForm1::BitBtn4Click() { StartDrill(kNormal); }
void TForm1::BitBtn5Click() { StartDrill(kHard); }
void TForm1::BitBtn3Click() { StartDrill(kEasy); }
void TForm1::BitBtn7Click() { StartDrill(kNormal); }
void TForm1::BitBtn8Click() { StartDrill(kHard); }

void TForm1::BitBtn9Click() { emit reviewRequested(); }

void TForm1::BitBtn2Click() { close(); }

void TForm1::Highlight(QWidget* button)
{
    AllBlack();
    highlight::SetCaptionColour(button, highlight::Red);
}

void TForm1::BitBtn1MouseMove() { Highlight(ui->BitBtn1); }
void TForm1::BitBtn2MouseMove() { Highlight(ui->BitBtn2); }
void TForm1::BitBtn3MouseMove() { Highlight(ui->BitBtn3); }
void TForm1::BitBtn4MouseMove() { Highlight(ui->BitBtn4); }
void TForm1::BitBtn5MouseMove() { Highlight(ui->BitBtn5); }
void TForm1::BitBtn6MouseMove() { Highlight(ui->BitBtn6); }
void TForm1::BitBtn7MouseMove() { Highlight(ui->BitBtn7); }
void TForm1::BitBtn8MouseMove() { Highlight(ui->BitBtn8); }
void TForm1::BitBtn9MouseMove() { Highlight(ui->BitBtn9); }
void TForm1::ProgressButtonMouseMove() { Highlight(ui->ProgressButton); }
void TForm1::TodaysReviewButtonMouseMove() { Highlight(ui->TodaysReviewButton); }

bool TForm1::InHandZone(int x, int y)
{
    for (const Zone& z : kHandZones)
        if (x >= z.x1 && x <= z.x2 && y >= z.y1 && y <= z.y2)
            return true;
    return false;
}

void TForm1::Image1MouseMove(int x, int y)
{
    AllBlack();
    // The window's own cursor; the buttons keep their hand pointer.
    setCursor(InHandZone(x, y) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == ui->Image1) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            Image1MouseMove(p.x(), p.y());
        } else if (watched == ui->BitBtn1) {
            BitBtn1MouseMove();
        } else if (watched == ui->BitBtn2) {
            BitBtn2MouseMove();
        } else if (watched == ui->BitBtn3) {
            BitBtn3MouseMove();
        } else if (watched == ui->BitBtn4) {
            BitBtn4MouseMove();
        } else if (watched == ui->BitBtn5) {
            BitBtn5MouseMove();
        } else if (watched == ui->BitBtn6) {
            BitBtn6MouseMove();
        } else if (watched == ui->BitBtn7) {
            BitBtn7MouseMove();
        } else if (watched == ui->BitBtn8) {
            BitBtn8MouseMove();
        } else if (watched == ui->BitBtn9) {
            BitBtn9MouseMove();
        } else if (watched == ui->ProgressButton) {
            ProgressButtonMouseMove();
        } else if (watched == ui->TodaysReviewButton) {
            TodaysReviewButtonMouseMove();
        }
    }
    return QWidget::eventFilter(watched, event);
}
