#pragma once
// The information dialog: the school's picture, contact details, study-meeting notice and the
// version line. Shown modally at start-up only by the non-public build.


#include <QDialog>

#include <memory>

namespace Ui { class TForm7; }

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
    ~TForm7() override;

    // The version line: the school's copyright and "Ver." VERSION.
    void SetVersion(const QString& version);
    // Modally, before the main menu: the button then leads on to the menu ("問題画面へ移動")
    // and is "閉じる" again afterwards.
    void ShowAtStartup();

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
    const std::unique_ptr<Ui::TForm7> ui;
    void Highlight(QWidget* w);
    // In another language than Japanese, captions longer than their Japanese get the room they need.
    void FitTranslatedCaptions();
};
