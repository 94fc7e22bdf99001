#pragma once
// The sign-in of school mode, before the menu: 教習生番号, PIN, Return. It checks only what it
// can see (a number of four to eight digits, a PIN given) and asks for the sign-in by a signal;
// whoever opened it asks the server and tells it the answer (Refuse, OfferTakeOver, Reset).

#include "Client.h"

#include <QScopedPointer>
#include <QString>
#include <QWidget>

namespace Ui { class SignInWindow; }

class SignInWindow : public QWidget {
    Q_OBJECT
public:
    explicit SignInWindow(QWidget* parent = nullptr);
    ~SignInWindow() override;

    // Which field a refusal sends the pupil back to.
    enum class Field { Number, Pin };

    // Tells the pupil why the server refused RESULT (not a SignedIn one): a wrong PIN and the
    // tries left, a lock and until when, an unknown number; a sign-in at another PC is offered
    // to be taken over (OfferTakeOver).
    void ShowRefusal(const school::SignInResult& result);

    // Shows the window as every window of the program: fitted to the screen (the form scaled
    // down as a whole on a small or scaled screen, up with the pupil's zoom) and covering it, the
    // form in the middle, so that nothing of the desktop or of the last pupil shows around it.
    void ShowFitted();

    // Ready for the next pupil: both fields empty, no message, the number focused.
    void Reset();
    // The server is being asked: the fields and the sign-in button are off, STATUS is shown.
    void SetBusy(const QString& status);
    // The server refused: MESSAGE shown, the PIN emptied, FIELD focused (its text selected).
    void Refuse(const QString& message, Field field);
    // The pupil is signed in at another PC (WHERE: its name, may be empty): asks whether to take
    // over; yes asks for the sign-in again with takeOver set, no leaves the fields as they are.
    void OfferTakeOver(const QString& where);

    // The number as the pupil typed it, full-width digits and blanks forgiven: "１２３４ " is
    // "1234". Empty when it is not four to eight digits.
    static QString NormalisedNumber(const QString& typed);

signals:
    void signInRequested(const QString& number, const QString& pin, bool takeOver);
    // 終了 or the close box.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Submit(bool takeOver);
    void SetEnabled(bool on);
    void ShowMessage(const QString& text);

    const QScopedPointer<Ui::SignInWindow> ui;
    QSize designSize_;   // the form's size at scale 1: the least the window is fitted to
};
