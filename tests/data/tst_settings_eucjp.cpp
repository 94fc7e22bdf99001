#include "EucJp.h"
#include "Exception.h"
#include "Settings.h"

#include <QTemporaryDir>
#include <QTest>

#include <fstream>

namespace {
std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void Put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
}  // namespace

class TestSettingsEucJp : public QObject {
    Q_OBJECT
private slots:
    void settingsPathIsBesideTheProgram()
    {
        QCOMPARE(settings::PathFor("/opt/lentavo/bin/lentavo"), std::string("/opt/lentavo/bin/Lentavo.inf"));
        QCOMPARE(settings::PathFor("./lentavo"), std::string("./Lentavo.inf"));
        QCOMPARE(settings::PathFor("lentavo"), std::string("Lentavo.inf"));
        QCOMPARE(settings::DirectoryPart("/home/p/data/mondai.cds"), std::string("/home/p/data/"));
    }

    void settingsFileLifeCycle()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("Lentavo.inf").toStdString();
        QVERIFY(!settings::ReadDataDirectory(path));           // missing

        QVERIFY(settings::CreateEmpty(path));
        QVERIFY(!settings::ReadDataDirectory(path));           // empty counts as missing

        QVERIFY(settings::WriteDataDirectory(path, "/home/p/data/"));
        QCOMPARE(Slurp(path), std::string("/home/p/data/"));   // no line terminator
        QCOMPARE(*settings::ReadDataDirectory(path), std::string("/home/p/data/"));

        settings::Remove(path);
        QVERIFY(!settings::ReadDataDirectory(path));
        settings::Remove(path);                                // removing twice is harmless
    }

    void readsTheWholeFirstLineAsItStands()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("Lentavo.inf").toStdString();
        // A line feed that ends the line stays part of the text; the second line is not read.
        Put(path, "/data/\n/other/\n");
        QCOMPARE(*settings::ReadDataDirectory(path), std::string("/data/\n"));
        // Long directories are read whole, not cut at 127 bytes.
        const std::string longDir = "/" + std::string(300, 'x') + "/";
        Put(path, longDir);
        QCOMPARE(*settings::ReadDataDirectory(path), longDir);
        // Japanese folder names (UTF-8 on this system) come back byte for byte.
        Put(path, "/home/生徒/データ/");
        QCOMPARE(*settings::ReadDataDirectory(path), std::string("/home/生徒/データ/"));
    }

    void unwritableSettingsFileIsReported()
    {
        QVERIFY(!settings::WriteDataDirectory("/nonexistent-dir/Lentavo.inf", "/x/"));
        QVERIFY(!settings::CreateEmpty("/nonexistent-dir/Lentavo.inf"));
    }

    // The zoom and language files beside it: what is written is read back, blanks around a
    // value are allowed, and a file that holds no value counts as none.
    void zoomAndLanguageFilesReadBackWhatWasWritten()
    {
        QTemporaryDir dir;
        const std::string zoom = dir.filePath(settings::kZoomFileName).toStdString();
        QVERIFY(!settings::ReadZoom(zoom));
        settings::WriteZoom(zoom, 1.23456);
        QCOMPARE(Slurp(zoom), std::string("1.23"));
        QCOMPARE(settings::ReadZoom(zoom).value_or(0), 1.23);
        Put(zoom, " 1.5 \n");
        QCOMPARE(settings::ReadZoom(zoom).value_or(0), 1.5);
        Put(zoom, "big");
        QVERIFY(!settings::ReadZoom(zoom));

        const std::string lang = dir.filePath(settings::kLanguageFileName).toStdString();
        QVERIFY(!settings::ReadLanguage(lang));
        settings::WriteLanguage(lang, {"vi", "both"});
        QCOMPARE(Slurp(lang), std::string("vi both\n"));
        const auto read = settings::ReadLanguage(lang);
        QVERIFY(read && read->language == "vi" && read->mode == "both");
        Put(lang, "  en\n");
        const auto alone = settings::ReadLanguage(lang);
        QVERIFY(alone && alone->language == "en" && alone->mode.empty());
        Put(lang, " \n");
        QVERIFY(!settings::ReadLanguage(lang));
    }

    void eucJpDecoderIsPresent()
    {
        // Without ICU, Qt has no EUC-JP: every text would be lost, so fail loudly.
        QVERIFY(eucjp::Available());
    }

    void roundTripsJapaneseText()
    {
        const QString text = QStringLiteral("信号機の黄色の灯火、①、～、ｱ、ABC 123");
        const std::string bytes = eucjp::Encode(text);
        QCOMPARE(eucjp::Decode(bytes), text);
        QCOMPARE(eucjp::Encode(QStringLiteral("あ")), std::string("\xA4\xA2"));
    }

    void mapsLookAlikesAndRefusesTheRest()
    {
        // Wave dash and minus sign are stored as their full-width look-alikes.
        QCOMPARE(eucjp::Decode(eucjp::Encode(QStringLiteral("1〜2−3"))), QStringLiteral("1～2－3"));
        for (const QString& bad : {QStringLiteral("😀"), QStringLiteral("한국어"), QStringLiteral("€")}) {
            try {
                eucjp::Encode(QStringLiteral("前") + bad);
                QFAIL(qPrintable("encoded " + bad));
            } catch (const Exception& e) {
                QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("EUC-JP")));
            }
        }
        // The converter's own replacement character would come back as itself: refused all the same.
        QVERIFY_THROWS_EXCEPTION(Exception, eucjp::Encode(QStringLiteral("前\uFFFD")));
        // The message names the one character and where it stands, also mid-text.
        try {
            eucjp::Encode(QStringLiteral("あ☃い"));
            QFAIL("encoded a snowman");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("「☃」(2 文字目)")), e.what());
        }
    }

    void invalidBytesShowAsReplacementCharacters()
    {
        const QString s = eucjp::Decode(std::string("\xA4\xA2\xFF\xA4", 4));
        QVERIFY(s.startsWith(QStringLiteral("あ")));
        QVERIFY(s.contains(QChar(0xFFFD)));
        // One U+FFFD per bad byte, nothing after the last byte; a half-width kana and a whole
        // character that ends the text are kept.
        QCOMPARE(s, QStringLiteral("あ\uFFFD\uFFFD"));
        QCOMPARE(eucjp::Decode(std::string("\x85\x8E\xB1\xFF\xA4\xA2", 6)), QStringLiteral("\uFFFDｱ\uFFFDあ"));
        QCOMPARE(eucjp::Decode(std::string("\xA1\xFE\xFF", 3)), QStringLiteral("◇\uFFFD"));   // 0xFE: the last trail byte
        QCOMPARE(eucjp::Decode(std::string("\x80\xFF", 2)), QStringLiteral("\uFFFD\uFFFD"));   // 0x80 leads nothing
        QCOMPARE(eucjp::Decode(std::string("\xA4\xA1\xFF", 3)), QStringLiteral("ぁ\uFFFD"));   // 0xA1: the first trail byte
    }

    void truncatesAtCharacterBoundaries()
    {
        const std::string a = eucjp::Encode(QStringLiteral("あいう"));   // 6 bytes
        QCOMPARE(eucjp::Truncate(a, 5), a.substr(0, 4));
        QCOMPARE(eucjp::Truncate(a, 6), a);
        QCOMPARE(eucjp::Truncate(a, 1), std::string());
        const std::string mixed = "A" + eucjp::Encode(QStringLiteral("ｱ")) + std::string("\x8F\xB0\xA1", 3) + "B";
        QCOMPARE(eucjp::Truncate(mixed, 4), mixed.substr(0, 3));   // not inside the 3-byte character
        QCOMPARE(eucjp::Truncate(mixed, 6), mixed.substr(0, 6));
        // A string that ends in a lone lead byte is cut before it.
        QCOMPARE(eucjp::Truncate(std::string("ab\xA4", 3), 2), std::string("ab"));
        // Within the limit it is left as it is, lone lead byte and all.
        QCOMPARE(eucjp::Truncate(std::string("ab\xA4", 3), 3), std::string("ab\xA4", 3));
    }
};

QTEST_GUILESS_MAIN(TestSettingsEucJp)
#include "tst_settings_eucjp.moc"
