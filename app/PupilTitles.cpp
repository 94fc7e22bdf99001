#include "PupilTitles.h"

#include "Dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {
const QString kSeparator = QStringLiteral(" — ");
}

PupilTitles::PupilTitles(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

PupilTitles::~PupilTitles() { qApp->removeEventFilter(this); }

QString PupilTitles::Titled(const QString& title, const QString& pupil)
{
    if (pupil.isEmpty() || title.endsWith(kSeparator + pupil))
        return title;
    // A window without a title of its own is captioned with the program's title.
    return (title.isEmpty() ? dialogs::ApplicationTitle() : title) + kSeparator + pupil;
}

void PupilTitles::Name(const QString& pupil)
{
    pupil_ = pupil;
    for (QWidget* window : QApplication::topLevelWidgets())
        Apply(window);
}

void PupilTitles::Apply(QWidget* window) const
{
    if (pupil_.isEmpty() || !window->isWindow() || window == exempt_)
        return;
    const QString titled = Titled(window->windowTitle(), pupil_);
    if (titled != window->windowTitle())
        window->setWindowTitle(titled);
}

bool PupilTitles::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show) && watched->isWidgetType())
        Apply(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}
