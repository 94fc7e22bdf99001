#include "ScreenFit.h"

#include "DataDirectory.h"
#include "Exception.h"
#include "Settings.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace screenfit {

namespace {

// What a placed window's children look like at factor 1, so that every later factor is applied
// to the design and never to an earlier result (no drift after zooming in and out).
class DesignRecord : public QObject {
public:
    explicit DesignRecord(QWidget* window) : QObject(window)
    {
        setObjectName(QStringLiteral("screenfit-design"));
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (InsideScrollArea(child, window))
                continue;   // a scroll area lays out its own viewport and bars
            items_.push_back({child, child->geometry(), child->font()});
        }
    }

    void Apply(double factor)
    {
        factor_ = factor;
        for (const Item& item : items_) {
            if (!item.widget)
                continue;
            const QRect& g = item.geometry;
            const int left = int(std::lround(g.left() * factor));
            const int top = int(std::lround(g.top() * factor));
            const int right = int(std::lround((g.left() + g.width()) * factor));
            const int bottom = int(std::lround((g.top() + g.height()) * factor));
            item.widget->setGeometry(left, top, right - left, bottom - top);
            QFont font = item.font;
            if (font.pixelSize() > 0)
                font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
            else if (font.pointSizeF() > 0)
                font.setPointSizeF(font.pointSizeF() * factor);
            item.widget->setFont(font);
            // A picture label drawn at its natural size would be cut off in a smaller window;
            // the label keeps the picture's proportions, so scaling its contents keeps them too.
            if (auto* label = qobject_cast<QLabel*>(item.widget.data());
                label && !label->pixmap().isNull())
                label->setScaledContents(factor != 1.0);
        }
    }

    double factor_ = 1.0;
    QPoint designPos;
    QSize designClient;
    Origin origin = Origin::Frame;

private:
    static bool InsideScrollArea(const QWidget* child, const QWidget* window)
    {
        for (const QWidget* p = child->parentWidget(); p && p != window; p = p->parentWidget())
            if (qobject_cast<const QAbstractScrollArea*>(p))
                return true;
        return false;
    }

    struct Item {
        QPointer<QWidget> widget;
        QRect geometry;
        QFont font;
    };
    std::vector<Item> items_;
};

DesignRecord* RecordOf(const QWidget* window)
{
    return window->findChild<DesignRecord*>(QStringLiteral("screenfit-design"), Qt::FindDirectChildrenOnly);
}

std::optional<double> zoom;

QString ZoomFilePath()
{
    const QString settings = QFile::decodeName(QByteArray::fromStdString(SettingsFilePath()));
    const qsizetype slash = settings.lastIndexOf(QLatin1Char('/'));
    return (slash < 0 ? QString() : settings.left(slash + 1)) + QString::fromLatin1(settings::kZoomFileName);
}

void ChangeZoom(double value)
{
    SetZoom(value);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (DesignRecord* record = RecordOf(window); record && window->isVisible())
            Place(window, record->designPos, record->designClient, record->origin);
    }
}

}  // namespace

double Factor(QSize client, QSize frame, QSize available, double zoom)
{
    if (client.isEmpty())
        return zoom;
    const double fit = std::min(double(available.width() - frame.width()) / client.width(),
                                double(available.height() - frame.height()) / client.height());
    return std::max(0.1, std::min(zoom, fit));
}

double ClampZoom(double value)
{
    if (!std::isfinite(value))
        return 1.0;
    // Whole steps, so that Ctrl++ then Ctrl+- comes back to exactly 1.
    const double stepped = std::round(value / kZoomStep) * kZoomStep;
    return std::clamp(stepped, kMinZoom, kMaxZoom);
}

double Zoom()
{
    if (!zoom) {
        // A pipe, a device or anything long in the file's place is refused without waiting.
        const auto stored = settings::ReadZoom(QFile::encodeName(ZoomFilePath()).toStdString());
        zoom = stored ? ClampZoom(*stored) : 1.0;
    }
    return *zoom;
}

void SetZoom(double value)
{
    zoom = ClampZoom(value);
    // Only a preference: a folder that cannot be written, or a link or a pipe in the file's place,
    // keeps it for this run.
    try {
        settings::WriteZoom(QFile::encodeName(ZoomFilePath()).toStdString(), *zoom);
    } catch (const Exception& e) {
        qWarning("%s", e.what());
    }
}

void Place(QWidget* window, QPoint designPos, QSize designClient, Origin origin)
{
    DesignRecord* record = RecordOf(window);
    if (!record)
        record = new DesignRecord(window);
    record->designPos = designPos;
    record->designClient = designClient;
    record->origin = origin;

    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), designClient);
    // Before the window is first mapped its frame is not known yet; it counts as none.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const double factor = Factor(designClient, frame, available.size(), Zoom());

    record->Apply(factor);
    const QSize client(int(std::lround(designClient.width() * factor)),
                       int(std::lround(designClient.height() * factor)));
    window->setFixedSize(client);
    if (factor == 1.0 && origin == Origin::Client) {
        window->setGeometry(QRect(designPos, client));
    } else if (factor == 1.0) {
        window->move(designPos);
    } else {
        const QSize outer = client + frame;
        window->move(available.left() + std::max(0, (available.width() - outer.width()) / 2),
                     available.top() + std::max(0, (available.height() - outer.height()) / 2));
    }
}

double CurrentFactor(const QWidget* window)
{
    const DesignRecord* record = RecordOf(window);
    return record ? record->factor_ : 1.0;
}

void InstallZoomKeys(QWidget* window)
{
    const auto add = [window](const QKeySequence& keys, auto change) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, change);
    };
    add(QKeySequence::ZoomIn, [] { ChangeZoom(Zoom() + kZoomStep); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), [] { ChangeZoom(Zoom() + kZoomStep); });
    add(QKeySequence::ZoomOut, [] { ChangeZoom(Zoom() - kZoomStep); });
    add(QKeySequence(Qt::CTRL | Qt::Key_0), [] { ChangeZoom(1.0); });
}

}  // namespace screenfit
