#pragma once
// The review window: the latest drill's answers in a grid, and the selected answer's question
// shown again with its figure and explanation. It only reads its tables.

#include "DataSource.h"
#include "Dialogs.h"
#include "Table.h"

#include <QWidget>

#include <memory>

class HistoryModel;
namespace Ui { class TForm6; }

class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;   // closes the tables while the views that follow them still exist

    Table* Table1;             // answer history, read again at every showing
    Table* Table2;             // question bank, read at the first showing only
    // "問題の見直し": shows the window, or brings it forward reading the latest drill again.
    void ShowLatest();

    void FormShow();
    // Reads the history again as a new showing does, for the window brought forward while it
    // was still open.
    void ReadAgain();
    void DataSource1DataChange();
    void Button1Click();

signals:
    // "終了", or no data directory to show: the program should end.
    void programEndRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const std::unique_ptr<Ui::TForm6> ui;
    DataSource* DataSource1;   // Table1 -> DBGrid1
    DataSource* DataSource2;   // Table2 -> DBMemo1, DBImage2, DBMemo2
    HistoryModel* GridModel;
    // The first edition's own dialog: no filter, the toolkit's default title.
    dialogs::OpenFileOptions OpenDialog1;
    // Reads the history again (and the bank the first time). False when a file could not be
    // read: the failure has then been reported and the program is ending.
    bool LoadTables(const std::string& directory);
    // Points the question pane at the current history row's question.
    void FollowHistory(const std::string& bango);
};
