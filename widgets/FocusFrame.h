#pragma once
// A frame drawn around whichever button of a window has the keyboard focus, so that a pupil
// answering with the keyboard sees which button Space would press. The styles we run under draw
// a button's focus too faintly to see across the room.

#include <QPointer>
#include <QWidget>

class QAbstractButton;

class FocusFrame : public QWidget {
    Q_OBJECT
public:
    // Follows the focus among the buttons of WINDOW.
    explicit FocusFrame(QWidget* window);
    // Frames FOCUS now, when it is one of the window's buttons: the window gives a button the
    // focus while it is not yet active (just shown), when no focus change is announced.
    void Follow(QWidget* focus);

    static constexpr int kWidth = 3;   // pixels of frame outside the button

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    // A widget pointer, not a button one: the filter still sees events while the button is being
    // destroyed, when it is no longer a button and a cast to one would be invalid.
    QPointer<QWidget> button_;
};
