#pragma once
// The information dialog: the school's picture, contact details, study-meeting notice and the
// version line. Shown modally at start-up only by the non-public build; the main menu writes
// its version line and its button's caption.

#include "ui_TForm7.h"

#include <QDialog>

class TForm7 : public QDialog, public Ui::TForm7 {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Every highlightable caption (the three links and the button) back to black.
    void AllBlack();

    void Label1MouseMove();
    void Label3MouseMove();
    void Label5MouseMove();
    void BitBtn1MouseMove();
    void FormMouseMove();

    // The links look like links but open nothing.
    void Label1Click();
    void Label3Click();
    void Label5Click();
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Highlight(QWidget* w);
};
