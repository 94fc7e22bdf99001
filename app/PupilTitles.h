#pragma once
// School mode names the signed-in pupil in every window's title: each top-level window, the ones
// made later too, gets " — 氏名 (番号)" after its own title while a pupil is signed in. The
// windows know nothing of it; their titles are theirs, and a title they set again is named again.

#include <QObject>
#include <QString>

class QWidget;

class PupilTitles : public QObject {
    Q_OBJECT
public:
    explicit PupilTitles(QObject* parent = nullptr);
    ~PupilTitles() override;

    // Names PUPIL ("氏名 (番号)") in every window from now on; empty: no one (windows shown after
    // that keep their own titles; those named before are destroyed at sign-out).
    void Name(const QString& pupil);

    // WINDOW never names a pupil (the sign-in, which outlives them all).
    void Exempt(QWidget* window) { exempt_ = window; }

    // TITLE with PUPIL after it; a title that names PUPIL already stays as it is.
    static QString Titled(const QString& title, const QString& pupil);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(QWidget* window) const;
    QString pupil_;
    QWidget* exempt_ = nullptr;
};
