#include "ScreenFit.h"

#include "DataDirectory.h"
#include "Exception.h"
#include "Settings.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace screenfit {

namespace {

enum class Kind { Fixed, Layout };

// What a placed window's parts look like at factor 1, so that every later factor is applied to
// the design and never to an earlier result (no drift after zooming in and out). It also watches
// the window: the frame is only known once the window system has framed it, and a window placed
// without it is placed again then.
class DesignRecord : public QObject {
public:
    DesignRecord(QWidget* window, Kind kind) : QObject(window), window_(window), kind_(kind)
    {
        setObjectName(QStringLiteral("screenfit-design"));
        for (QWidget* child : window->findChildren<QWidget*>()) {
            // A scroll area lays out its own viewport and bars; a layout window's texts inside
            // one still take the factor.
            if (kind == Kind::Fixed && InsideScrollArea(child, window))
                continue;
            items_.push_back({child, child->geometry(), child->font(), child->minimumSize(), child->maximumSize()});
        }
        if (kind == Kind::Layout) {
            windowFont_ = window->font();
            for (QLayout* layout : window->findChildren<QLayout*>())
                layouts_.push_back({layout, layout->contentsMargins(), Spacing(layout)});
        }
        window->installEventFilter(this);
        WatchHandle();
    }

    void Apply(double factor)
    {
        factor_ = factor;
        if (kind_ == Kind::Layout)
            window_->setFont(Scaled(windowFont_, factor));
        for (const Item& item : items_) {
            if (!item.widget)
                continue;
            item.widget->setFont(Scaled(item.font, factor));
            if (kind_ == Kind::Layout) {
                item.widget->setMinimumSize(Scaled(item.minimum, factor));
                if (item.maximum != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
                    item.widget->setMaximumSize(Scaled(item.maximum, factor));
                continue;
            }
            const QRect& g = item.geometry;
            const int left = int(std::lround(g.left() * factor));
            const int top = int(std::lround(g.top() * factor));
            const int right = int(std::lround((g.left() + g.width()) * factor));
            const int bottom = int(std::lround((g.top() + g.height()) * factor));
            item.widget->setGeometry(left, top, right - left, bottom - top);
            // A picture label drawn at its natural size would be cut off in a smaller window;
            // the label keeps the picture's proportions, so scaling its contents keeps them too.
            if (auto* label = qobject_cast<QLabel*>(item.widget.data());
                label && !label->pixmap().isNull())
                label->setScaledContents(factor != 1.0);
        }
        for (const LayoutItem& l : layouts_) {
            if (!l.layout)
                continue;
            const QMargins& m = l.margins;
            l.layout->setContentsMargins(Scaled(m.left(), factor), Scaled(m.top(), factor),
                                         Scaled(m.right(), factor), Scaled(m.bottom(), factor));
            if (auto* grid = qobject_cast<QGridLayout*>(l.layout.data())) {
                grid->setHorizontalSpacing(Scaled(l.spacing.width(), factor));
                grid->setVerticalSpacing(Scaled(l.spacing.height(), factor));
            } else if (l.spacing.width() >= 0) {
                l.layout->setSpacing(Scaled(l.spacing.width(), factor));
            }
        }
    }

    Kind kind() const { return kind_; }
    double factor_ = 1.0;
    QPoint designPos;
    QSize designSize;
    QMargins marginsUsed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        WatchHandle();
        // The window system tells the frame by a property, which no event announces; it is
        // there once the framed window is exposed, activated or painted.
        const bool telling = watched == window_
            ? event->type() == QEvent::Move || event->type() == QEvent::Show || event->type() == QEvent::WindowActivate ||
              event->type() == QEvent::UpdateRequest
            : event->type() == QEvent::Expose;
        if (telling && window_->isVisible()) {
            const QMargins own = OwnMargins(window_);
            if (!own.isNull())
                lastMargins = own;
            // Placed before its frame was known: once more now, with the frame.
            if (!own.isNull() && own != marginsUsed)
                QTimer::singleShot(0, this, [this] { Replace(); });
        }
        return false;
    }

private:
    void WatchHandle()
    {
        if (!handle_ && window_->windowHandle()) {
            handle_ = window_->windowHandle();
            handle_->installEventFilter(this);
        }
    }

    void Replace()
    {
        if (!window_->isVisible() || OwnMargins(window_) == marginsUsed)
            return;
        if (kind_ == Kind::Layout)
            FitLayout(window_, designSize);
        else
            Place(window_, designPos, designSize);
    }

    static int Scaled(int v, double factor) { return v < 0 ? v : int(std::lround(v * factor)); }
    static QSize Scaled(QSize s, double factor) { return QSize(Scaled(s.width(), factor), Scaled(s.height(), factor)); }
    static QFont Scaled(QFont font, double factor)
    {
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
        else if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * factor);
        return font;
    }
    // Horizontal and vertical spacing (-1: the style's).
    static QSize Spacing(const QLayout* layout)
    {
        if (auto* grid = qobject_cast<const QGridLayout*>(layout))
            return QSize(grid->horizontalSpacing(), grid->verticalSpacing());
        return QSize(layout->spacing(), layout->spacing());
    }
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
        QSize minimum;
        QSize maximum;
    };
    struct LayoutItem {
        QPointer<QLayout> layout;
        QMargins margins;
        QSize spacing;
    };
    QWidget* window_;
    Kind kind_;
    QPointer<QWindow> handle_;
    QFont windowFont_;
    std::vector<Item> items_;
    std::vector<LayoutItem> layouts_;

public:
    // Asked of the window system each time: the widget's own frame geometry is only brought up
    // to date when the window moves.
    static QMargins OwnMargins(const QWidget* window)
    {
        return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    }
    static inline QMargins lastMargins;
};

DesignRecord* RecordOf(const QWidget* window)
{
    return window->findChild<DesignRecord*>(QStringLiteral("screenfit-design"), Qt::FindDirectChildrenOnly);
}

DesignRecord* Record(QWidget* window, Kind kind)
{
    DesignRecord* record = RecordOf(window);
    return record ? record : new DesignRecord(window, kind);
}

QRect Available(const QWidget* window, QSize fallback)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), fallback);
}

QSize Outside(const QMargins& m) { return QSize(m.left() + m.right(), m.top() + m.bottom()); }

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
        DesignRecord* record = RecordOf(window);
        if (!record || !window->isVisible())
            continue;
        if (record->kind() == Kind::Layout)
            FitLayout(window, record->designSize);
        else
            Place(window, record->designPos, record->designSize);
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

QPoint FramePosition(QPoint designPos, QSize outer, const QRect& available)
{
    const auto axis = [](int design, int size, int first, int length) {
        const int lowest = first + std::min(design, 0);
        const int at = first + design;
        return std::max(lowest, std::min(at, first + length - size));
    };
    return QPoint(axis(designPos.x(), outer.width(), available.left(), available.width()),
                  axis(designPos.y(), outer.height(), available.top(), available.height()));
}

QMargins FrameMargins(const QWidget* window)
{
    const QMargins own = DesignRecord::OwnMargins(window);
    return own.isNull() ? DesignRecord::lastMargins : own;
}

void Place(QWidget* window, QPoint designPos, QSize designClient)
{
    DesignRecord* record = Record(window, Kind::Fixed);
    record->designPos = designPos;
    record->designSize = designClient;
    const QRect available = Available(window, designClient);
    const QMargins margins = FrameMargins(window);
    record->marginsUsed = margins;
    const double factor = Factor(designClient, Outside(margins), available.size(), Zoom());

    record->Apply(factor);
    const QSize client(int(std::lround(designClient.width() * factor)),
                       int(std::lround(designClient.height() * factor)));
    const QSize outer = client + Outside(margins);
    const QPoint frame = factor == 1.0
        ? FramePosition(designPos, outer, available)
        : QPoint(available.left() + std::max(0, (available.width() - outer.width()) / 2),
                 available.top() + std::max(0, (available.height() - outer.height()) / 2));
    window->setFixedSize(client);
    // The client area in one call with its size, so that no platform pulls the window elsewhere
    // between a move and a resize.
    window->setGeometry(QRect(frame + QPoint(margins.left(), margins.top()), client));
}

void FitLayout(QWidget* window, QSize designMinimum)
{
    const bool first = !RecordOf(window);
    DesignRecord* record = Record(window, Kind::Layout);
    if (!designMinimum.isEmpty())
        record->designSize = designMinimum;
    else if (first)
        record->designSize = window->minimumSize();
    designMinimum = record->designSize;
    const QRect available = Available(window, designMinimum);
    const QMargins margins = FrameMargins(window);
    record->marginsUsed = margins;
    const double factor = Factor(designMinimum, Outside(margins), available.size(), Zoom());
    record->Apply(factor);
    window->setMinimumSize(int(std::floor(designMinimum.width() * factor)),
                           int(std::floor(designMinimum.height() * factor)));
    if (!window->isMaximized() && !window->isFullScreen())
        window->setGeometry(available.marginsRemoved(margins));
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
