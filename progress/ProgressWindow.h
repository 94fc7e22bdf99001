#pragma once
// The learning-record window "学習記録": mock scores and drill shares over time, the syllabus
// items weakest first, a summary and whether the pupil is ready for each test. It only reads:
// practice is asked for by a signal, and whoever opened the window starts it.

#include "Paper.h"
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

    // Whether a practice set can be started from here: the program says so once it has wired
    // practiceRequested to the exam window. Until then the practice buttons stay off rather
    // than do nothing.
    void SetPracticeAvailable(bool available);

    const progress::Summary& CurrentSummary() const { return summary_; }
    const std::vector<progress::ItemShare>& CurrentItems() const { return items_; }

signals:
    // BUNRUI: the syllabus item of a SyllabusItem practice, 0 for the others.
    void practiceRequested(exam::PracticeKind kind, int bunrui);

protected:
    void changeEvent(QEvent* event) override;

private:
    void SavePdfClick();
    void ShowReadiness(const std::vector<record::SessionSummary>& sessions);
    void ShowSummary(const QTimeZone& zone);
    void BuildMockChart(const std::vector<record::SessionSummary>& sessions);
    void BuildDrillChart(const std::vector<record::SessionSummary>& sessions);
    void BuildItemChart();
    void ShowPracticeButtons();
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
    bool practiceAvailable_ = false;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};
