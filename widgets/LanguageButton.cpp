#include "LanguageButton.h"

#include "LanguageChoice.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>

namespace {
// The action's data: a language's short name ("ja" for Japanese), or a mode's word.
QAction* Checkable(QMenu* menu, QActionGroup* group, const QString& text, const QString& data)
{
    QAction* a = menu->addAction(text);
    a->setCheckable(true);
    a->setData(data);
    group->addAction(a);
    return a;
}
}  // namespace

LanguageButton::LanguageButton(QWidget* parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("LanguageButton"));
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont f = font();
    f.setPixelSize(16);
    setFont(f);
    auto* menu = new QMenu(this);
    menu->setFont(f);
    languages_ = new QActionGroup(this);
    modes_ = new QActionGroup(this);
    // Each language under its own name, whatever the language on screen.
    Checkable(menu, languages_, QStringLiteral("日本語"), QStringLiteral("ja"));
    for (const honyaku::Language& l : honyaku::Languages())
        Checkable(menu, languages_, QString::fromUtf8(l.name), QString::fromLatin1(l.shortName));
    menu->addSeparator();
    for (honyaku::Mode m : {honyaku::Mode::Japanese, honyaku::Mode::Translation, honyaku::Mode::Both})
        Checkable(menu, modes_, QString(), QString::fromLatin1(honyaku::ModeName(m)));
    setMenu(menu);
    connect(menu, &QMenu::triggered, this, [this] { Pick(); });
    connect(&LanguageChoice::Instance(), &LanguageChoice::changed, this, &LanguageButton::ShowChoice);
    ShowChoice();
}

void LanguageButton::Pick()
{
    const QString lang = languages_->checkedAction() ? languages_->checkedAction()->data().toString() : QString();
    const QString mode = modes_->checkedAction() ? modes_->checkedAction()->data().toString() : QString();
    LanguageChoice& choice = LanguageChoice::Instance();
    choice.Choose(honyaku::FindLanguage(lang.toStdString()),
                  honyaku::ModeNamed(mode.toStdString()).value_or(choice.mode()));
    choice.Remember();
}

void LanguageButton::ShowChoice()
{
    const LanguageChoice& choice = LanguageChoice::Instance();
    const honyaku::Language* lang = choice.language();
    const QString current = QString::fromLatin1(lang ? lang->shortName : "ja");
    for (QAction* a : languages_->actions())
        a->setChecked(a->data().toString() == current);
    const QString texts[] = {tr("問題文: 日本語のみ"), tr("問題文: 訳のみ"), tr("問題文: 日本語と訳")};
    const QList<QAction*> modes = modes_->actions();
    for (int i = 0; i < modes.size(); ++i) {
        modes[i]->setText(texts[i]);
        modes[i]->setChecked(modes[i]->data().toString() == QString::fromLatin1(honyaku::ModeName(choice.mode())));
        // With Japanese on screen there is nothing to translate the statements into.
        modes[i]->setEnabled(lang != nullptr);
    }
    setText(QStringLiteral("言語 / Language: ") + (lang ? QString::fromUtf8(lang->name) : QStringLiteral("日本語")));
}

void LanguageButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ShowChoice();
    QToolButton::changeEvent(event);
}
