#pragma once
// The menu's language control: the chosen language's name, and a menu of the four languages
// and the three ways of showing a statement. What is picked goes to LanguageChoice and into the
// language file.

#include <QToolButton>

class QActionGroup;

class LanguageButton : public QToolButton {
    Q_OBJECT
public:
    explicit LanguageButton(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Pick();
    void ShowChoice();
    QActionGroup* languages_;
    QActionGroup* modes_;
};
