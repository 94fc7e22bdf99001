#include "FocusFrame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPainter>

FocusFrame::FocusFrame(QWidget* window) : QWidget(window), window_(window)
{
    setObjectName(QStringLiteral("FocusFrame"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    // Only a change inside this window: another window taking the focus leaves this one's focus
    // widget where it was, and that is where a key goes once the window is active again.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == window_)
            Follow(now);
    });
}

void FocusFrame::Follow(QWidget* focus)
{
    QWidget* button = qobject_cast<QAbstractButton*>(focus);
    if (button && button->window() != window_)
        button = nullptr;
    if (button_ && button_ != button)
        button_->removeEventFilter(this);
    button_ = button;
    if (!button) {
        hide();
        return;
    }
    // Beside the button, in its parent, so that the group box's caption and neighbours stay
    // where they are; the frame only borders it.
    button->installEventFilter(this);
    setParent(button->parentWidget());
    setGeometry(button->geometry().adjusted(-kWidth, -kWidth, kWidth, kWidth));
    setVisible(button->isVisible() && button->isEnabled());
    raise();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == button_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize
                               || event->type() == QEvent::Hide || event->type() == QEvent::Show
                               || event->type() == QEvent::EnabledChange))
        Follow(button_);
    return false;
}

void FocusFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen pen(QColor(0, 0, 128), kWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    const qreal half = kWidth / 2.0;
    p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}
