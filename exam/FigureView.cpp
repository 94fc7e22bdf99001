#include "FigureView.h"

#include "DBImage.h"
#include "Placement.h"
#include "Resample.h"

#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace exam {

FigureView::FigureView(QWidget* parent) : QWidget(parent)
{
    // The figure takes whatever room the texts and buttons leave.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FigureView::SetFigure(const QByteArray& bytes)
{
    SetPicture(bytes.isEmpty() ? QImage() : DBImage::Decode(bytes));
}

void FigureView::SetPicture(const QImage& picture)
{
    picture_ = picture;
    enlarged_ = QImage();
    updateGeometry();
    setCursor(picture_.isNull() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    setToolTip(picture_.isNull() ? QString() : tr("クリックで拡大"));
    update();
}

QRect FigureView::Placement(QSize picture, QSize view)
{
    return placement::Fitted(picture, QRect(QPoint(0, 0), view));
}

int FigureView::heightForWidth(int width) const
{
    return picture_.isNull() ? minimumHeight() : width * picture_.height() / std::max(1, picture_.width());
}

void FigureView::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect at = Placement(picture_.size(), size());
    const qreal ratio = devicePixelRatioF();
    const QSize device(int(std::lround(at.width() * ratio)), int(std::lround(at.height() * ratio)));
    if (device.width() > picture_.width() && device.height() > picture_.height()) {
        // Enlarged: made once for this size at the screen's own pixels, with a sharper filter
        // than the painter's, and drawn pixel for pixel.
        if (enlarged_.size() != device)
            enlarged_ = Enlarged(picture_, device);
        enlarged_.setDevicePixelRatio(ratio);
        painter.drawImage(at.topLeft(), enlarged_);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(at, picture_);
}

void FigureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !picture_.isNull())
        emit enlargeRequested();
}

namespace {

// The enlarged figure: the whole available area of the screen, closed by Esc (as a dialog is),
// by a click, or by its close box.
class EnlargedFigure : public QDialog {
public:
    EnlargedFigure(QWidget* parent, const QImage& picture) : QDialog(parent)
    {
        setObjectName(QStringLiteral("enlargedFigure"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(FigureView::tr("図(Escで閉じる)"));
        auto* layout = new QVBoxLayout(this);
        auto* view = new FigureView(this);
        view->setObjectName(QStringLiteral("enlargedFigureView"));
        view->SetPicture(picture);
        view->setCursor(Qt::ArrowCursor);
        view->setToolTip(QString());
        connect(view, &FigureView::enlargeRequested, this, &QDialog::accept);
        layout->addWidget(view, 1);
        auto* hint = new QLabel(FigureView::tr("Esc またはクリックで閉じる"), this);
        hint->setAlignment(Qt::AlignCenter);
        layout->addWidget(hint);
    }
};

}  // namespace

QWidget* FigureView::ShowEnlarged(QWidget* parent, const QImage& picture)
{
    if (picture.isNull())
        return nullptr;
    auto* window = new EnlargedFigure(parent, picture);
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->setGeometry(screen->availableGeometry().adjusted(40, 40, -40, -40));
    window->setModal(true);
    window->showMaximized();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace exam
