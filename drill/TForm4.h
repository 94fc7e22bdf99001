#pragma once
// The question window: one drill from its start (FormShow) through the answers (BitBtn3Click,
// BitBtn4Click) and the next questions (BitBtn1Click) to its end (BitBtn5Click, FormClose).
// The arithmetic and the question search live in Scoring.h and Search.h.

#include "BuildConfig.h"
#include "DataSource.h"
#include "Dialogs.h"
#include "DirectoryLock.h"
#include "Table.h"
#include "ui_TForm4.h"

#include <QTimer>
#include <QWidget>

class TForm4 : public QWidget, public Ui::TForm4 {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;   // closes the tables, so a drill still open at program end is stored

    // The difficulty the question search aims at; the main menu sets it before showing.
    int DrillLevel = 0;

    // Drill counters: the question on screen (1 for the first), right answers, answers, and
    // the pass limit of the question search.
    int Total = 0;
    int Sei = 0;
    int Ans = 0;
    int LKaisu = 0;

    // When true, the drill start resets every question's settled count. Taken from the build;
    // tests may change it.
    bool ResetSettledCounts = Professional;

    Table* Table1;             // question bank
    Table* Table2;             // answer history
    Table* Table3;             // advice table
    DataSource* DataSource1;
    DataSource* DataSource2;
    DataSource* DataSource3;
    QTimer* Timer1;
    dialogs::OpenFileOptions OpenDialog1;

    // Handlers, each the steps of its event in order.
    void FormShow();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn1Click();
    void BitBtn5Click();
    void FormClose();
    void Timer1Timer();

    static constexpr const char* NoQuestionMessage = "出題できる問題がありません。";
    static constexpr const char* InUseMessage =
        "このデータは、別に起動している学科練習システムで練習中のため使えません。"
        "そちらの練習を終了してから、もう一度始めてください。";

    // Held on the data directory while the tables are open.
    DirectoryLock Lock;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Judge(int answer);
    bool OpenTables(const std::string& directory);
    // Shows the question the search found, or ends the drill when there is none.
    bool ShowNextQuestion();
    // The unanswered state: the answer buttons on, "次の問題" off, explanation and verdict hidden.
    void SetUnanswered();
    // The drill level's bar and its label.
    void ShowDrillLevel();
    void NoQuestion();
    void CloseTables();
    void ApplyFontHeights();
    void SetCaption(QLabel* label, const QString& text);
    void SetTextColor(QWidget* widget, QPalette::ColorRole role, const QColor& color);
};
