#pragma once
// The main menu: a full-window picture with the drill buttons, the review button, "学習記録",
// "終了", and on the guide signs the mock exams, which the menu asks for by a signal.
// Closing it ends the program, whatever other windows are open. It asks for the other windows
// by signals; app/ decides what answers them.

#include "TestDefinition.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui { class TForm1; }

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The build configuration the show sequence reads; the constants unless a test says
    // otherwise before the window is shown.
    void SetBuildConfig(bool isPublic, bool professional);

    // Every button caption, the hidden one included, back to black.
    void AllBlack();

    void FormShow();
    void BitBtn6Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn3Click();
    void BitBtn7Click();
    void BitBtn8Click();
    void BitBtn9Click();
    void BitBtn2Click();

    void BitBtn1MouseMove();
    void BitBtn2MouseMove();
    void BitBtn3MouseMove();
    void BitBtn4MouseMove();
    void BitBtn5MouseMove();
    void BitBtn6MouseMove();
    void BitBtn7MouseMove();
    void BitBtn8MouseMove();
    void BitBtn9MouseMove();
    void ProgressButtonMouseMove();
    void TodaysReviewButtonMouseMove();
    // X, Y: the pointer in Image1, which is the client area.
    void Image1MouseMove(int x, int y);

    // School mode's strip at the bottom left: the signed-in pupil (CAPTION: 氏名 (番号)) and
    // ログアウト; hidden (the single-pupil menu) until this is called, and by an empty CAPTION.
    void ShowPupil(const QString& caption);
    // "未送信 N件" in the strip; nothing at 0.
    void ShowPending(int pending);
    // Today's review count on its button; nothing while it is unknown (no data directory yet).
    void SetTodaysReviewCount(std::optional<int> count);

    // True when (X, Y) lies in one of the picture's hand-pointer zones (bounds inclusive).
    static bool InHandZone(int x, int y);

signals:
    // A drill button: a drill at LEVEL, or the drill on screen brought forward.
    void drillRequested(int level);
    // "問題の見直し".
    void reviewRequested();
    // The non-public build's show sequence: the information dialog, modally, before the menu.
    void startupInformationRequested();
    // One of the mock-exam signs was clicked.
    void mockExamRequested(exam::Test test);
    // "学習記録" was clicked; the program opens the learning-record window.
    void learningRecordRequested();
    // School mode's ログアウト.
    void signOutRequested();
    // "今日の復習" was clicked.
    void todaysReviewRequested();
    // The menu became the active window again (back from a drill, an exam or a practice set):
    // what it shows of the record may have changed.
    void activated();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartDrill(int level);
    void Highlight(QWidget* button);
    // The mock-exam signs say what their tests' definitions say, in the pupil's language.
    void ShowSignCaptions();
    // The pending count and today's review count in the pupil's language (again after a change).
    void ShowCounts();

    const std::unique_ptr<Ui::TForm1> ui;
    bool public_;
    bool professional_;
    int pending_ = 0;
    std::optional<int> todaysReview_;
};
