#pragma once
// 教官用 一覧: one row a pupil, sortable by any column and filtered by readiness, days without
// study and a typed name or number; the list saved as CSV or PDF; pupils added, their PINs reset
// and marked as left. It talks to no server: it shows the rows it is given and says by signals
// what the teacher asked for, after the teacher confirmed it.

#include "Admin.h"
#include "Overview.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class TeacherOverviewWindow;
}
class QPainter;

namespace school {
class OverviewModel;
class OverviewProxy;
}

class TeacherOverviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit TeacherOverviewWindow(QWidget* parent = nullptr);
    ~TeacherOverviewWindow() override;

    // Shows the window fitted to the screen as every window of the program is: maximised, drawn
    // smaller as a whole where the screen's available area cannot hold its design, its frame on
    // the screen; raised when already shown.
    void ShowFitted();
    // The smallest client size the window's design reads well at.
    static constexpr QSize kDesignMinimum{1016, 600};

    // Shows ROWS (every pupil at the school), judged on TODAY, keeping the filter and the sort.
    void SetRows(std::vector<school::OverviewRow> rows, const QDate& today = QDate::currentDate());
    // The rows shown, in the order shown.
    std::vector<const school::OverviewRow*> ShownRows() const;

    // The shown rows as CSV at PATH (written whole). Throws Exception.
    void WriteCsv(const QString& path) const;
    // The shown rows as an A4 PDF at PATH, 40 pupils a page, each page with the date and the
    // filter. Throws Exception.
    void WritePdf(const QString& path) const;
    static constexpr int kRowsPerPage = 40;

signals:
    void pupilOpened(const QString& number, const QString& name);
    void addPupilRequested(const school::Pupil& pupil);
    void resetPinRequested(const QString& number, const QString& name);
    void markLeftRequested(const QString& number, const QString& name);
    void reloadRequested();

private:
    void FilterChanged();
    void TableDoubleClicked(const QModelIndex& index);
    void AddButtonClick();
    void ResetPinButtonClick();
    void LeftButtonClick();
    void CsvButtonClick();
    void PdfButtonClick();
    // The selected pupil, or null (then the teacher is told to pick one).
    const school::OverviewRow* Selected();
    // The selected pupil's number and name once the teacher said YES to QUESTION (%1 number,
    // %2 name); nothing when none is selected or the teacher declined.
    std::optional<std::pair<QString, QString>> ConfirmForSelected(const QString& question, const QString& yes);
    QString AskFile(const QString& title, const QString& filter, const QString& suffix);
    void PaintPage(QPainter& p, const QSize& area, const std::vector<const school::OverviewRow*>& rows,
                   int page, int pages) const;

    const QScopedPointer<Ui::TeacherOverviewWindow> ui;
    school::OverviewModel* model_;
    school::OverviewProxy* proxy_;
    QDate today_ = QDate::currentDate();
};
