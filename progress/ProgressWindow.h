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
    // The folder "PDFに保存" proposes: DOCUMENTS when that folder exists, else HOME.
    static QString PdfFolder(const QString& documents, const QString& home);
    // The file name the PDF gets in FOLDER on DATE: "学習記録_YYYY-MM-DD.pdf", with "_2", "_3" ...
    // added when that name is taken, so an earlier printout is never replaced.
    static QString PdfPath(const QString& folder, const QDate& date);

    // Whether a practice set can be started from here: the program says so once it has wired
    // practiceRequested to the exam window. Until then the practice buttons stay off rather
    // than do nothing.
    void SetPracticeAvailable(bool available);

    // The pupil's name as the school's roster gives it (school mode): shown and printed instead
    // of the name kept in the record, and not editable here. Empty: the record's name again.
    void SetRosterName(const QString& name);
    // The name the window and the PDF show; empty when the pupil gave none.
    QString PupilName() const;

    const progress::Summary& CurrentSummary() const { return summary_; }
    const std::optional<progress::StudyOutlook>& CurrentStudy() const { return study_; }
    const std::vector<progress::ItemShare>& CurrentItems() const { return items_; }

signals:
    // BUNRUI: the syllabus item of a SyllabusItem practice, 0 for the others.
    void practiceRequested(exam::PracticeKind kind, int bunrui);
    // The pupil entered a name (empty: removed it); whoever opened the window stores it.
    void pupilNameChanged(const QString& name);
    // The pupil set the date of their test, or "未定" (no TEST).
    void testDateChanged(std::optional<study::Test> test, const QDate& date);

private:
    void SavePdfClick();
    void ShowReadiness(const std::vector<record::SessionSummary>& sessions);
    void ShowSummary(const QTimeZone& zone);
    void BuildMockChart(const std::vector<record::SessionSummary>& sessions);
    void BuildDrillChart(const std::vector<record::SessionSummary>& sessions);
    void BuildItemChart();
    void ShowStudy();
    void BuildForecastChart();
    void ShowPupil(const record::PupilProfile& pupil);
    void TestDateEdited();
    void NameEdited();
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
    QChartView* forecastView_ = nullptr;
    std::optional<progress::StudyOutlook> study_;
    QString storedName_;    // the record's
    QString rosterName_;    // the school's, which wins
    int notRanked_ = 0;     // items with too few answers to rank
    bool filling_ = false;  // the controls are being set from the record, not by the pupil
    bool hasHazard_ = false;
    bool practiceAvailable_ = false;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
};
