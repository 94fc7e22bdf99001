// The translations file and its lookups: a translation is shown only while the Japanese it was
// made from is today's; a translator's CSV is refused, by its line, where it names what the bank
// does not have.
#include "EucJp.h"
#include "Exception.h"
#include "Honyaku.h"
#include "Layouts.h"
#include "Table.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace honyaku;

namespace {
const QString kStatement = QStringLiteral("交差点の手前では徐行する。");
const QString kExplanation = QStringLiteral("交差点では徐行しなければならない。");

std::vector<SourceText> Bank()
{
    return {{"bank", "0001", "Mondai", kStatement},
            {"bank", "0001", "Kaisetsu", kExplanation},
            {"bank", "0002", "Mondai", QStringLiteral("速度は～キロメートル毎時までとする。")},
            {"hazard", "5001", "Mondai2", QStringLiteral("歩行者が飛び出すかもしれない。")}};
}

QString Message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return QString::fromStdString(e.Message());
    }
    return QString();
}
}  // namespace

class TestHonyaku : public QObject {
    Q_OBJECT
private slots:
    // Current, stale and missing rows as a window shows them in each mode; the stored rows come
    // back through the file.
    void showsOnlyTranslationsOfTodaysJapanese()
    {
        QTemporaryDir tmp;
        const std::string path = tmp.filePath("honyaku.sqlite").toStdString();
        {
            Store store;
            store.Open(path);
            store.Replace("en", {{"en", "bank", "0001", "Mondai", "Slow down before an intersection.", SourceHash(kStatement)},
                                 {"en", "bank", "0001", "Kaisetsu", "Old text.", SourceHash(QStringLiteral("前の解説"))}});
            store.Replace("vi", {{"vi", "bank", "0001", "Mondai", "Giảm tốc độ.", SourceHash(kStatement)}});
        }
        const Catalogue en = Catalogue::Load(path, "en");
        QCOMPARE(en.size(), std::size_t(2));
        const QString note = QStringLiteral("(stale)");

        const Lookup current = en.Find("bank", "0001", "Mondai", kStatement);
        QCOMPARE(int(current.status), int(Lookup::Status::Current));
        QCOMPARE(Present(current, Mode::Translation, kStatement, note), QStringLiteral("Slow down before an intersection."));
        QCOMPARE(Present(current, Mode::Both, kStatement, note), kStatement + "\nSlow down before an intersection.");
        QCOMPARE(Present(current, Mode::Japanese, kStatement, note), kStatement);

        // The bank's text changed since: never shown, the Japanese with the note instead.
        const Lookup stale = en.Find("bank", "0001", "Kaisetsu", kExplanation);
        QCOMPARE(int(stale.status), int(Lookup::Status::Stale));
        QVERIFY(stale.text.isEmpty());
        QCOMPARE(Present(stale, Mode::Translation, kExplanation, note), kExplanation + "\n" + note);
        QCOMPARE(Present(stale, Mode::Both, kExplanation, note), kExplanation + "\n" + note);

        // No row (another statement, another source, another language): the Japanese alone.
        for (const Lookup& missing : {en.Find("bank", "0002", "Mondai", kStatement),
                                      en.Find("hazard", "0001", "Mondai", kStatement),
                                      Catalogue::Load(path, "zh-Hans").Find("bank", "0001", "Mondai", kStatement)}) {
            QCOMPARE(int(missing.status), int(Lookup::Status::Missing));
            QCOMPARE(Present(missing, Mode::Translation, kStatement, note), kStatement);
        }
        // Replacing one language leaves the others.
        QCOMPARE(Catalogue::Load(path, "vi").size(), std::size_t(1));
        // No file: nothing to show but the Japanese.
        QCOMPARE(Catalogue::Load(tmp.filePath("none.sqlite").toStdString(), "en").size(), std::size_t(0));

        // The words the command line and the language file take, read back as what they name.
        for (const auto& [word, code] : {std::pair("en", "en"), std::pair("vi", "vi"), std::pair("zh", "zh-Hans"),
                                         std::pair("zh-Hans", "zh-Hans")})
            QCOMPARE(FindLanguage(word) ? FindLanguage(word)->code : "", code);
        QVERIFY(!FindLanguage("ja") && !FindLanguage(""));
        for (Mode m : {Mode::Japanese, Mode::Translation, Mode::Both})
            QCOMPARE(ModeNamed(ModeName(m)), std::optional(m));
        QVERIFY(!ModeNamed("english"));
    }

    // A translator's CSV: refused by the line that names what the bank lacks; the japanese column
    // ties each translation to the text it was made from; check finds what went stale.
    void csvIsCheckedAgainstTheBank()
    {
        const std::string header = "source,bango,field,japanese,text\r\n";
        const auto refused = [&](const std::string& rows) {
            return Message([&] { ReadCsv(header + rows, "en", Bank()); });
        };
        // With its Japanese copied beside it, a number the bank lacks would otherwise pass.
        const QString unknown = refused("bank,0001,Mondai,,A\r\nbank,0003,Mondai,前の文,B\r\n");
        QVERIFY2(unknown.contains("line 3") && unknown.contains("0003 is not in the bank"), qPrintable(unknown));
        // A hazard item's number is not a statement's.
        QVERIFY(refused("bank,5001,Mondai,,A\r\n").contains("line 2"));
        QVERIFY(refused("hazard,5001,Mondai4,,A\r\n").contains("Mondai4"));
        QVERIFY(refused("bank,0001,Seikai,,1\r\n").contains("Seikai"));
        QVERIFY(refused("bank,0001,Mondai,,A\r\nbank,0001,Mondai,,B\r\n").contains("line 3"));
        QVERIFY(refused("exam,0001,Mondai,,A\r\n").contains("line 2"));
        QVERIFY(!Message([] { ReadCsv("bango,text\r\n0001,A\r\n", "en", Bank()); }).isEmpty());
        QVERIFY(Message([] { ReadCsv("source,field,japanese,text\r\nbank,Mondai,,A\r\n", "en", Bank()); })
                    .contains("the CSV's header is"));
        // A translation may be as long as the file takes (256 KiB), not a byte more.
        const std::string longest(256 * 1024, 'a');
        QCOMPARE(ReadCsv(header + "bank,0001,Mondai,," + longest + "\r\n", "en", Bank()).at(0).text.size(), longest.size());
        QVERIFY(refused("bank,0001,Mondai,," + longest + "a\r\n").contains("too long"));

        // 〜 copied from the CSV source is the bank's ～; an empty text is a missing row; a row
        // made from an older Japanese text is stale from the start; no japanese: today's text.
        const std::vector<honyaku::Row> rows = ReadCsv(header +
                                                  "bank,0001,Mondai,,Slow down.\r\n"
                                                  "bank,0001,Kaisetsu,交差点では徐行すること。,Old.\r\n"
                                                  "bank,0002,Mondai,速度は〜キロメートル毎時までとする。,Up to ~ km/h.\r\n"
                                                  "hazard,5001,Mondai2,歩行者が飛び出すかもしれない。,\r\n",
                                              "en", Bank());
        QCOMPARE(rows.size(), std::size_t(3));
        QTemporaryDir tmp;
        Store store;
        store.Open(tmp.filePath("honyaku.sqlite").toStdString());
        store.Replace("en", rows);
        const std::vector<LanguageCheck> checks = Check(store, Bank());
        QCOMPARE(checks.size(), std::size_t(1));
        QCOMPARE(checks[0].current, 2);
        QCOMPARE(checks[0].stale.size(), std::size_t(1));
        QCOMPARE(checks[0].stale[0].field, std::string("Kaisetsu"));
        QCOMPARE(checks[0].missing.size(), std::size_t(1));
        QCOMPARE(checks[0].missing[0].bango, std::string("5001"));

        // Exported for the translator, the stale text is left empty: imported back as it is, it
        // must not pass for a translation of today's Japanese.
        int stale = 0;
        const std::string csv = WriteCsv(store, "en", Bank(), &stale);
        QCOMPARE(stale, 1);
        QVERIFY(csv.find("Old.") == std::string::npos);
        store.Replace("en", ReadCsv(csv, "en", Bank()));
        QCOMPARE(Check(store, Bank())[0].stale.size(), std::size_t(0));
        QCOMPARE(Check(store, Bank())[0].current, 2);
    }

    // A file from elsewhere is refused whole: another application's database, or ours carrying an
    // object that would run or hide something.
    void foreignFilesAreRefused()
    {
        QTemporaryDir tmp;
        const std::string path = tmp.filePath("honyaku.sqlite").toStdString();
        {
            Store store;
            store.Open(path);
        }
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE VIEW v AS SELECT 1", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(Message([&] { Catalogue::Load(path, "en"); }).contains("'v'"));
        // A trigger may share the table's name, and would still run on every write.
        const std::string trigger = tmp.filePath("trigger.sqlite").toStdString();
        Store().Open(trigger);
        QCOMPARE(sqlite3_open(trigger.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TRIGGER translations AFTER DELETE ON translations BEGIN SELECT 1; END",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(Message([&] { Catalogue::Load(trigger, "en"); }).contains("trigger 'translations'"));

        const std::string other = tmp.filePath("other.sqlite").toStdString();
        QCOMPARE(sqlite3_open(other.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE translations(x); PRAGMA user_version=1", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(Message([&] { Catalogue::Load(other, "en"); }).contains("application_id"));
        // Another application's file that holds nothing yet is still not taken over.
        const std::string claimed = tmp.filePath("claimed.sqlite").toStdString();
        QCOMPARE(sqlite3_open(claimed.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA application_id=1234", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(Message([&] { Store().Open(claimed); }).contains("application_id"));

        // Stamped as ours, yet without the table or with a column of its own.
        const auto stamped = [&](const std::string& name, const char* schema) {
            const std::string file = tmp.filePath(QString::fromStdString(name)).toStdString();
            const std::string sql = std::string(schema) + "; PRAGMA application_id=" +
                                    std::to_string(Store::kApplicationId) + "; PRAGMA user_version=1";
            sqlite3* handle = nullptr;
            if (sqlite3_open(file.c_str(), &handle) != SQLITE_OK ||
                sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
                qFatal("cannot make %s", name.c_str());
            sqlite3_close(handle);
            return file;
        };
        const std::string noTable = stamped("empty.sqlite", "CREATE TABLE t(x); DROP TABLE t");
        QVERIFY(Message([&] { Catalogue::Load(noTable, "en"); }).contains("表がありません"));
        const std::string extraColumn =
            stamped("extra.sqlite", "CREATE TABLE translations(lang, source, bango, field, text, source_hash, note)");
        QVERIFY(Message([&] { Catalogue::Load(extraColumn, "en"); }).contains("形が違います"));

        // Not a database at all: refused as such, not taken for an empty file; and a store that
        // had a file open keeps none after a refused one.
        const QString text = tmp.filePath("text.sqlite");
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(4096, 'x')) == 4096);
        f.close();
        QVERIFY(Message([&] { Catalogue::Load(text.toStdString(), "en"); }).contains("not a database"));
        Store store;
        store.Open(tmp.filePath("good.sqlite").toStdString());
        QVERIFY(Message([&] { store.Open(text.toStdString()); }).contains("翻訳ファイルではないか、壊れています"));
        QCOMPARE(Message([&] { store.Languages(); }), QStringLiteral("翻訳ファイルが開かれていません"));
    }

    // The Japanese texts to translate, read from a data directory: each translated field that
    // holds text, by Bango (the advice by its level), the hazard items' parts and the advice;
    // a field the file lacks gives nothing.
    void bankTextsOfADataDirectory()
    {
        QTemporaryDir tmp;
        const std::string dir = tmp.path().toStdString() + "/";
        const auto euc = [](const char* text) { return Value(eucjp::Encode(QString::fromUtf8(text))); };
        const auto bankRow = [&](const char* bango, Value kaisetsu, const char* mondai) {
            return ::Row{Value(0), Value(0), Value(0), Value(bango), Value(0), Value(1), kaisetsu, Value(1), Value::Null(), euc(mondai)};
        };
        Table::CreateFile(dir + layouts::kBankFile, layouts::Bank(),
                          {bankRow("0001", euc("解説一"), "問題一"), bankRow("0002", Value(""), "問題二")});
        Table::CreateFile(dir + layouts::kHazardFile, layouts::Hazard(),
                          {::Row{Value("5001"), Value::Null(), Value("z"), euc("状況"), euc("一"), Value::Null(), euc("三"),
                               Value(1), Value(0), Value(1), Value::Null(), euc("解二"), Value::Null()}});
        Table::CreateFile(dir + layouts::kAdviceFile, layouts::Advice(),
                          {::Row{Value::Null(), euc("無"), euc("無")}, ::Row{Value(3), euc("正三"), Value("")}});
        const auto texts = [&] {
            QStringList out;
            for (const SourceText& t : BankTexts(dir))
                out << QString::fromStdString(t.source + " " + t.bango + " " + t.field + " ") + t.japanese;
            return out;
        };
        QCOMPARE(texts(), (QStringList{"bank 0001 Mondai 問題一", "bank 0001 Kaisetsu 解説一", "bank 0002 Mondai 問題二",
                                       "hazard 5001 Jokyo 状況", "hazard 5001 Mondai1 一", "hazard 5001 Mondai3 三",
                                       "hazard 5001 Kaisetsu2 解二", "advice 3 Seikai 正三"}));

        QVERIFY(QFile::remove(QString::fromStdString(dir + layouts::kHazardFile)));
        QVERIFY(QFile::remove(QString::fromStdString(dir + layouts::kAdviceFile)));
        QVERIFY(QFile::remove(QString::fromStdString(dir + layouts::kBankFile)));
        // A bank of its own layout, its statement first and no explanation.
        Table::CreateFile(dir + layouts::kBankFile, {{"Mondai", FieldType::Text, 255}, {"Bango", FieldType::Text, 4}},
                          {::Row{euc("問題一"), Value("0001")}});
        QCOMPARE(texts(), QStringList{"bank 0001 Mondai 問題一"});
    }
};

QTEST_GUILESS_MAIN(TestHonyaku)
#include "tst_honyaku.moc"
