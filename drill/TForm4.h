#pragma once
// The question window: one drill from its start (FormShow) through the answers (BitBtn3Click,
// BitBtn4Click) and the next questions (BitBtn1Click) to its end (BitBtn5Click, FormClose).
// The drill itself (its state and what it does to the tables) is a drill::Session; the
// handlers call it and show what it returns.

#include "DataSource.h"
#include "Dialogs.h"
#include "Directory.h"
#include "LearningRecord.h"
#include "Session.h"
#include "Table.h"

#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
namespace Ui { class TForm4; }

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;   // closes the tables, so a drill still open at program end is stored

    // A drill at LEVEL. A drill already on screen is only brought forward: it keeps the level
    // it started with.
    void StartDrill(int level);

    Table* const Table1;       // question bank
    Table* const Table2;       // answer history
    Table* const Table3;       // advice table

    // The drill on those tables.
    drill::Session Drill;
    // The drill's state under the window's names: the difficulty the question search aims at
    // (StartDrill sets it before showing), the question on screen (1 for the first), right
    // answers, answers and the pass limit.
    int& DrillLevel = Drill.DrillLevel;
    int& Total = Drill.Total;
    int& Sei = Drill.Sei;
    int& Ans = Drill.Ans;
    int& LKaisu = Drill.LKaisu;
    // When true, the drill start resets every question's settled count. The program sets it
    // from its build; false until then.
    bool& ResetSettledCounts = Drill.ResetSettledCounts;

    QTimer* Timer1;

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
    static constexpr const char* FileBusyMessage =
        "データファイルが、ほかのプログラムで使用中のため使えません。"
        "しばらくしてから、もう一度始めてください。";

    static constexpr const char* UnstoredMessage =
        "問題データと履歴のどちらにも、この練習の結果を保存していません。学習記録に答えが残っていれば、"
        "次に起動したときに保存できます。";
    static constexpr const char* RecordMessage =
        "学習記録を使えないため、この練習の答えは学習記録に残りません。練習はこのまま続けられます。";

    // The data directory of the drill, locked while the tables are open.
    data::Directory Data;
    // Every answer of every drill, kept across drills; the drill goes on without it.
    record::LearningRecord Record;

signals:
    // The pupil gave no data directory, or its files could not be read: the program should end.
    void programEndRequested();
    // The window closed and its drill's tables were written back: what the drill gained is in
    // the data directory's files now.
    void drillStored();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const std::unique_ptr<Ui::TForm4> ui;
    DataSource* DataSource1;
    DataSource* DataSource2;
    DataSource* DataSource3;
    dialogs::OpenFileOptions OpenDialog1;
    void Judge(int answer);
    bool OpenTables();
    void OpenRecord();
    // Tells the pupil, once a drill, that the learning record failed.
    void ReportRecordFailure(const std::string& why);
    void ReportRecordFailure() { ReportRecordFailure(Drill.TakeRecordFailure()); }
    bool recordFailureTold_ = false;
    // The keyboard's next answer goes to BUTTON, and the frame shows it.
    void FocusOn(QPushButton* button);
    class FocusFrame* focusFrame_ = nullptr;
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
