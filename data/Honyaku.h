#pragma once
// The bank's texts in other languages: honyaku.sqlite in the data directory (optional), and the
// lookups the windows make in it. No widgets.
//
// A real SQLite database (its texts are UTF-8 of any length, which a table file cannot hold):
// application id 0x4C54484E, schema version in user_version, defensive mode. One row per
// language, source (bank | hazard | advice), Bango (for the advice, its level) and field,
// carrying the hash of the Japanese text it was translated from (SourceHash). A row whose hash differs from the Japanese text of today's
// bank is stale and is never shown: the Japanese is, with a short note.

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sqlite {
class Connection;
}

namespace honyaku {

inline constexpr const char* kFileName = "honyaku.sqlite";
// The advice table's texts (Seikai, Fuseikai), keyed by the level (Nani) they are shown at.
inline constexpr const char* kAdviceSource = "advice";

// A language the bank is translated into. CODE is what the file stores, SHORT what the command
// line and the language file take, NAME what the menu shows, QT the name of the program's own
// translation (translations/lentavo_QT.ts).
struct Language {
    const char* code;
    const char* shortName;
    const char* name;
    const char* qt;
};
// English, Vietnamese and Simplified Chinese, in the menu's order.
const std::vector<Language>& Languages();
// The language whose code or short name is NAME; null for any other (Japanese included).
const Language* FindLanguage(const std::string& name);

// True when FIELD is a translated field of SOURCE: Mondai, Kaisetsu for "bank"; Jokyo,
// Mondai1..3, Kaisetsu1..3 for "hazard"; Seikai, Fuseikai for "advice".
bool IsTranslatedField(const std::string& source, const std::string& field);

// SHA-256 of the UTF-8 bytes of JAPANESE (32 raw bytes), the text as the bank holds it.
std::string SourceHash(const QString& japanese);
// The hash of a Japanese text written outside the bank (a translator's CSV): first put into the
// form the bank stores, so that 〜 (U+301C) and ～ (U+FF5E), which the bank cannot tell apart,
// hash alike.
std::string SourceHashOfCopy(const QString& japanese);

struct Row {
    std::string lang, source, bango, field;
    std::string text;         // UTF-8
    std::string sourceHash;   // SourceHash of the Japanese it translates
};

// One Japanese text of today's bank: the statements' Mondai and Kaisetsu, the hazard items'
// Jokyo, Mondai1..3 and Kaisetsu1..3, the advice's Seikai and Fuseikai; empty texts are left out.
struct SourceText {
    std::string source, bango, field;
    QString japanese;
};
// The texts of mondai.cds and (when there) kiken.cds and advice.cds in DIRECTORY, in stored order.
std::vector<SourceText> BankTexts(const std::string& directory);

class Store {
public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens PATH to write, creating it when missing.
    void Open(const std::string& path);
    // Opens an existing PATH to read only.
    void OpenForReading(const std::string& path);
    void Close();

    // Every row of LANG (all languages when empty), ordered by language, source, Bango, field.
    std::vector<Row> Rows(const std::string& lang = {}) const;
    // The languages that have rows.
    std::vector<std::string> Languages() const;
    // Replaces every row of LANG with ROWS in one transaction.
    void Replace(const std::string& lang, const std::vector<Row>& rows);

    static constexpr int kSchemaVersion = 1;
    static constexpr int kApplicationId = 0x4C54484E;

private:
    void OpenFile(const std::string& path, bool forReading);
    std::unique_ptr<sqlite::Connection> db_;
};

// What a window shows for one Japanese text in a language.
struct Lookup {
    enum class Status { Current, Missing, Stale };
    Status status = Status::Missing;
    QString text;   // the translation, when current
};

// One language's translations, held in memory for the windows' lookups.
class Catalogue {
public:
    // LANG's rows of the honyaku.sqlite at PATH. A missing file gives an empty catalogue; a file
    // that is not ours throws Exception.
    static Catalogue Load(const std::string& path, const std::string& lang);
    Lookup Find(const std::string& source, const std::string& bango, const std::string& field,
                const QString& japanese) const;
    std::size_t size() const { return rows_.size(); }

private:
    struct Entry {
        QString text;
        std::string hash;
    };
    std::unordered_map<std::string, Entry> rows_;
};

// How a statement is shown: the Japanese only, the translation only, or both (the Japanese with the
// translation under it, for a pupil who will sit the test in Japanese).
enum class Mode { Japanese, Translation, Both };
// The mode's word in the language file, and back (nullopt for another word).
const char* ModeName(Mode mode);
std::optional<Mode> ModeNamed(const std::string& word);

// The text to show for JAPANESE, looked up as FOUND, in MODE. A missing translation shows the
// Japanese; a stale one the Japanese with STALENOTE under it (in the pupil's language).
QString Present(const Lookup& found, Mode mode, const QString& japanese, const QString& staleNote);

// The stale and missing rows of each language the store has, against today's bank.
struct LanguageCheck {
    std::string lang;
    int current = 0;
    std::vector<SourceText> missing, stale;
};
std::vector<LanguageCheck> Check(const Store& store, const std::vector<SourceText>& bank);

// The rows of a translator's CSV (header source,bango,field,japanese,text; the japanese column
// may be left out) for LANG, checked against BANK: every Bango must be in it, every field one
// that is translated, no row twice. Throws Exception naming the CSV's line otherwise. A row with
// an empty text is left out (missing). Its hash is that of the japanese column when it has one,
// so a translation made from an older Japanese text is stale at once; else of today's text.
std::vector<Row> ReadCsv(const std::string& csvText, const std::string& lang, const std::vector<SourceText>& bank);

// LANG's rows as the translator's CSV: every text of BANK with its Japanese beside it; the
// text is empty where there is no row or the row is stale (a stale text beside today's Japanese
// would be taken as current when imported again). STALE counts those left empty as stale.
std::string WriteCsv(const Store& store, const std::string& lang, const std::vector<SourceText>& bank, int* stale = nullptr);

}  // namespace honyaku
