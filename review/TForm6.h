#pragma once
// The review window: the latest drill's answers in a grid, and the selected answer's question
// shown again with its figure and explanation. It only reads its tables.

#include "DataSource.h"
#include "Dialogs.h"
#include "Table.h"
#include "ui_TForm6.h"

#include <QWidget>

class HistoryModel;

class TForm6 : public QWidget, public Ui::TForm6 {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;   // closes the tables while the views that follow them still exist

    Table* Table1;             // answer history, read again at every showing
    Table* Table2;             // question bank, read at the first showing only
    DataSource* DataSource1;   // Table1 -> DBGrid1
    DataSource* DataSource2;   // Table2 -> DBMemo1, DBImage2, DBMemo2
    HistoryModel* GridModel;
    dialogs::OpenFileOptions OpenDialog1;   // no filter, the toolkit's default title

    void FormShow();
    // Reads the history again as a new showing does, for the window brought forward while it
    // was still open.
    void ReadAgain();
    void DataSource1DataChange();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Reads the history again (and the bank the first time). False when a file could not be
    // read: the failure has then been reported and the program is ending.
    bool LoadTables(const std::string& directory);
    // Points the question pane at the current history row's question.
    void FollowHistory(const std::string& bango);
};
