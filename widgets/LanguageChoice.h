#pragma once
// The pupil's language for the whole program: the windows' own texts (Qt's translation of them)
// and the bank's texts from honyaku.sqlite, shown as the display mode says. One for the program;
// a window asks it for the text of a statement and refreshes when it announces a change.

#include "Honyaku.h"

#include <QObject>
#include <QTranslator>

#include <string>

class LanguageChoice : public QObject {
    Q_OBJECT
public:
    static LanguageChoice& Instance();

    // The chosen language; null for Japanese.
    const honyaku::Language* language() const { return language_; }
    honyaku::Mode mode() const { return mode_; }
    // True when the bank's texts are shown as they are (Japanese, or the Japanese-only mode).
    bool showsJapaneseOnly() const { return !language_ || mode_ == honyaku::Mode::Japanese; }

    // Switches to LANGUAGE (null: Japanese) shown in MODE: the windows' texts are translated
    // again and every statement on screen is shown anew.
    void Choose(const honyaku::Language* language, honyaku::Mode mode);
    // The translations of the data directory DIR (its honyaku.sqlite; none when it has none), read
    // again when the file was replaced since.
    void UseDataDirectory(const std::string& dir);

    // The text to show for JAPANESE, field FIELD of statement BANGO of SOURCE (bank | hazard).
    QString Statement(const std::string& source, const std::string& bango, const std::string& field,
                      const QString& japanese) const;

    // The language file beside the settings file: read at start-up, written by the menu.
    void Restore();
    void Remember() const;

signals:
    void changed();

private:
    LanguageChoice() = default;
    void LoadCatalogue();
    const honyaku::Language* language_ = nullptr;
    honyaku::Mode mode_ = honyaku::Mode::Both;
    std::string directory_;
    std::string stamp_;   // of the file the catalogue was read from
    honyaku::Catalogue catalogue_;
    QTranslator translator_;
    bool installed_ = false;
};
