#pragma once
// The learning-record window "学習記録": mock scores and drill shares over time, the syllabus
// items weakest first, a summary and whether the pupil is ready for each test. It only reads:
// practice is asked for by a signal, and whoever opened the window starts it.

#include "Statistics.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class ProgressWindow;
}
class QChartView;
class QPainter;
class QStackedWidget;

class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    enum class PracticeKind {
        WrongStatements,   // the statements whose latest answer was wrong
        Item,              // one syllabus item, given by its code
        HazardItems,       // the illustrated hazard items
    };
    Q_ENUM(PracticeKind)

    explicit ProgressWindow(QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Shows what SNAPSHOT holds; an empty record shows the empty state.
    void SetSnapshot(const progress::Snapshot& snapshot,
                     const QTimeZone& zone = QTimeZone::systemTimeZone());

    // Writes the window's content as one A4 page to PATH. False, with nothing left at PATH, when
    // it cannot be written or PATH is a symbolic link (never written through).
    bool WritePdf(const QString& path) const;
    // Paints what the PDF holds into AREA (device units) of P: readiness, summary, charts and
    // the items weakest first.
    void PaintReport(QPainter& p, const QSize& area) const;
    // The file name the PDF gets in FOLDER on DATE: "学習記録_YYYY-MM-DD.pdf", with "_2", "_3" ...
    // added when that name is taken, so an earlier printout is never replaced.
    static QString PdfPath(const QString& folder, const QDate& date);

    const progress::Summary& CurrentSummary() const { return summary_; }
    const std::vector<progress::ItemShare>& CurrentItems() const { return items_; }

signals:
    void practiceRequested(ProgressWindow::PracticeKind kind, int bunrui);

private:
    void SavePdfClick();
    void ShowReadiness(const std::vector<record::SessionSummary>& sessions);
    void ShowSummary(const QTimeZone& zone);
    void BuildMockChart(const std::vector<record::SessionSummary>& sessions);
    void BuildDrillChart(const std::vector<record::SessionSummary>& sessions);
    void BuildItemChart();
    // Puts VIEW on PAGES, or a sentence saying what will appear there when VIEW is null.
    void Place(QStackedWidget* pages, QChartView* view, const QString& placeholder);

    const QScopedPointer<Ui::ProgressWindow> ui;
    progress::Summary summary_;
    std::vector<progress::ItemShare> items_;
    QStringList readiness_;
    QChartView* mockView_ = nullptr;
    QChartView* drillView_ = nullptr;
    QChartView* itemView_ = nullptr;
    bool hasHazard_ = false;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};
