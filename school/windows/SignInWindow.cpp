#include "SignInWindow.h"

#include "ui_SignInWindow.h"

#include "Dialogs.h"
#include "ExceptionBoundary.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QRegularExpression>

SignInWindow::SignInWindow(QWidget* parent) : QWidget(parent), ui(new Ui::SignInWindow)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(sizeHint().expandedTo(size()));

    // Return in the number goes on to the PIN while that is empty: the way a pupil types.
    ConnectHandler(ui->numberEdit, &QLineEdit::returnPressed, this, [this] {
        if (ui->pinEdit->text().isEmpty())
            ui->pinEdit->setFocus();
        else
            Submit(false);
    });
    ConnectHandler(ui->pinEdit, &QLineEdit::returnPressed, this, [this] { Submit(false); });
    ConnectHandler(ui->signInButton, &QPushButton::clicked, this, [this] { Submit(false); });
    ConnectHandler(ui->quitButton, &QPushButton::clicked, this, [this] { emit quitRequested(); });
    Reset();
}

SignInWindow::~SignInWindow() = default;

QString SignInWindow::NormalisedNumber(const QString& typed)
{
    const QString number = typed.normalized(QString::NormalizationForm_KC).trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]{4,8}$"));
    return digits.match(number).hasMatch() ? number : QString();
}

void SignInWindow::Reset()
{
    ui->numberEdit->clear();
    ui->pinEdit->clear();
    ShowMessage(QString());
    SetEnabled(true);
    ui->numberEdit->setFocus();
}

void SignInWindow::SetBusy(const QString& status)
{
    SetEnabled(false);
    ui->messageLabel->setStyleSheet(QString());
    ui->messageLabel->setText(status);
}

void SignInWindow::Refuse(const QString& message, Field field)
{
    SetEnabled(true);
    ShowMessage(message);
    ui->pinEdit->clear();
    QLineEdit* edit = field == Field::Number ? ui->numberEdit : ui->pinEdit;
    edit->setFocus();
    edit->selectAll();
}

void SignInWindow::ShowRefusal(const school::SignInResult& result)
{
    using Status = school::SignInResult::Status;
    switch (result.status) {
    case Status::SignedIn:
        return;
    case Status::WrongPin:
        Refuse(result.attemptsLeft > 0
                   ? tr("PINがちがいます。あと%1回まちがえると、しばらくログインできなくなります。")
                         .arg(result.attemptsLeft)
                   : tr("PINがちがいます。"),
               Field::Pin);
        return;
    case Status::Locked: {
        const QDateTime until = QDateTime::fromString(QString::fromStdString(result.lockedUntil), Qt::ISODate);
        const QString when = until.isValid() ? until.toLocalTime().toString(QStringLiteral("H:mm"))
                                             : QString::fromStdString(result.lockedUntil);
        Refuse(tr("PINを続けてまちがえたため、この教習生番号は %1 までログインできません。").arg(when),
               Field::Number);
        return;
    }
    case Status::SignedInElsewhere:
        OfferTakeOver(QString::fromStdString(result.otherPc));
        return;
    case Status::UnknownPupil:
        Refuse(tr("この教習生番号は登録されていません。番号を確かめてください。"), Field::Number);
        return;
    }
}

void SignInWindow::OfferTakeOver(const QString& where)
{
    SetEnabled(true);
    const QString place = where.isEmpty() ? tr("別のパソコン") : tr("別のパソコン (%1)").arg(where);
    const QString question = tr("この教習生番号は、%1でログイン中です。\n"
                                            "こちらでログインし直しますか？ 向こうのパソコンはログアウトします。")
                                 .arg(place);
    if (dialogs::Confirm(this, question, tr("ログインし直す"), tr("やめる"), false))
        Submit(true);
    else
        Refuse(QString(), Field::Pin);
}

void SignInWindow::Submit(bool takeOver)
{
    const QString number = NormalisedNumber(ui->numberEdit->text());
    if (number.isEmpty()) {
        Refuse(ui->numberEdit->text().trimmed().isEmpty() ? tr("教習生番号を入力してください。")
                                                         : tr("教習生番号は4～8桁の数字です。"),
               Field::Number);
        return;
    }
    if (ui->pinEdit->text().isEmpty()) {
        ShowMessage(tr("PINを入力してください。"));
        ui->pinEdit->setFocus();
        return;
    }
    const QString pin = ui->pinEdit->text();
    ui->numberEdit->setText(number);
    SetBusy(tr("ログインしています…"));
    emit signInRequested(number, pin, takeOver);
}

void SignInWindow::SetEnabled(bool on)
{
    ui->numberEdit->setEnabled(on);
    ui->pinEdit->setEnabled(on);
    ui->signInButton->setEnabled(on);
}

void SignInWindow::ShowMessage(const QString& text)
{
    ui->messageLabel->setStyleSheet(QStringLiteral("color: #c01010;"));
    ui->messageLabel->setText(text);
}

void SignInWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    emit quitRequested();
}
