#include "Exception.h"
#include "Filter.h"
#include "FilterText.h"
#include "Layouts.h"

#include <QTest>

#include <limits>

namespace {
Row Bank(int nkaisu, int nani, const std::string& bango, int karihon)
{
    return Row{Value(nkaisu), Value(nani), Value(0), Value(bango), Value(0), Value(karihon),
               Value(), Value(1), Value(), Value("q")};
}
}  // namespace

class TestFilter : public QObject {
    Q_OBJECT
private slots:
    void matchesTheExpressionsTheWindowsUse_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("match");
        // The record: NKaisu 1, Nani 5, Bango "0042", KariHon 1.
        QTest::newRow("level and pass") << "Nani = 5 AND NKaisu <= 1 AND KariHon >= 1" << true;
        QTest::newRow("pass limit below") << "Nani = 5 AND NKaisu <= 0 AND KariHon >= 1" << false;
        QTest::newRow("other level") << "Nani = 4 AND NKaisu <= 1 AND KariHon >= 1" << false;
        QTest::newRow("settled") << "NKaisu > 0" << true;
        QTest::newRow("settled strict") << "NKaisu > 1" << false;
        QTest::newRow("number as text") << "Bango = 0042" << true;
        QTest::newRow("number without zeros") << "Bango = 42" << false;
        QTest::newRow("no question") << "Bango = 0000" << false;
        QTest::newRow("negative literal") << "Nani = -1" << false;
        QTest::newRow("greater than negative") << "Nani > -1" << true;
        QTest::newRow("lower case and") << "Nani = 5 and KariHon >= 1" << true;
    }
    void matchesTheExpressionsTheWindowsUse()
    {
        QFETCH(QString, filter);
        QFETCH(bool, match);
        Filter f(filter.toStdString(), layouts::Bank());
        QCOMPARE(f.Matches(Bank(1, 5, "0042", 1)), match);
    }

    void nullIntegersCompareAsZero()
    {
        Row r = Bank(0, 0, "0001", 1);
        r[1] = Value();   // Nani null
        QVERIFY(Filter("Nani = 0", layouts::Bank()).Matches(r));
        QVERIFY(!Filter("Nani = -1", layouts::Bank()).Matches(r));
    }

    void refusesMalformedFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "フィルタ式が正しくありません (条件がありません)";
        QTest::newRow("unknown field") << "Foo = 1" << "項目 'Foo' が見つかりません";
        QTest::newRow("no literal") << "Nani =" << "フィルタ式";
        QTest::newRow("bad operator") << "Nani == 1" << "フィルタ式";
        QTest::newRow("not a number") << "Nani = 1x" << "フィルタ式";
        QTest::newRow("dangling and") << "Nani = 1 AND" << "フィルタ式";
        QTest::newRow("no and") << "Nani = 1 OR Kaisu = 2" << "フィルタ式";
        // Three letters that share two of AND's are no AND either.
        QTest::newRow("and's first letter") << "Nani = 1 ANY Kaisu = 2" << "AND がありません";
        QTest::newRow("and's last letter") << "Nani = 1 ODD Kaisu = 2" << "AND がありません";
        QTest::newRow("and's middle") << "Nani = 1 XNX Kaisu = 2" << "AND がありません";
        QTest::newRow("quoted number") << "Bango = '0042'" << "フィルタ式";
        QTest::newRow("number with space and quote") << "Bango = 00 ' OR 1" << "フィルタ式";
        QTest::newRow("blob") << "Zu = 1" << "フィルタ式";
        QTest::newRow("tab in a word") << "Bango = 00\t42" << "制御文字は使えません";
        QTest::newRow("delete in a word") << "Bango = 0042\x7F" << "制御文字は使えません";
        QTest::newRow("huge number") << "Nani = 99999999999999999999999" << "フィルタ式";
        QTest::newRow("minus alone") << "Nani = -" << "フィルタ式";
    }
    void refusesMalformedFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, message);
        try {
            Filter f(filter.toStdString(), layouts::Bank());
            QFAIL("accepted a malformed filter");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(message), e.what());
        }
    }

    void builtFiltersReadBackAsTheConditionsAskedFor()
    {
        // The drill's texts, byte for byte: the table compares them, and tests of the windows too.
        QCOMPARE(FilterText().Equals("Nani", -1).AtMost("NKaisu", 0).AtLeast("KariHon", 1).Text(),
                 std::string("Nani = -1 AND NKaisu <= 0 AND KariHon >= 1"));
        QCOMPARE(FilterText().Above("NKaisu", 0).Text(), std::string("NKaisu > 0"));
        QCOMPARE(FilterText().Equals("Bango", std::string("0003")).Text(), std::string("Bango = 0003"));

        // Every operator, the extreme numbers and a word of EUC-JP bytes come back from the parser
        // as the field, operator and value given.
        const std::int64_t low = std::numeric_limits<std::int64_t>::min();
        const std::int64_t high = std::numeric_limits<std::int64_t>::max();
        const std::string kana = "\xA4\xA2\xA4\xA4";
        const Filter f(FilterText().Equals("Nani", low).AtLeast("Kaisu", high).AtMost("NKaisu", -7)
                           .Above("Seikaisu", 0).Equals("Bango", kana),
                       layouts::Bank());
        const auto& c = f.Conditions();
        QCOMPARE(c.size(), std::size_t(5));
        const auto field = [](const char* name) {
            const auto& fields = layouts::Bank();
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (fields[i].name == name)
                    return int(i);
            return -1;
        };
        QCOMPARE(c[0].field, field("Nani"));
        QVERIFY(c[0].op == Filter::Op::Eq && !c[0].text && c[0].number == low);
        QCOMPARE(c[1].field, field("Kaisu"));
        QVERIFY(c[1].op == Filter::Op::Ge && c[1].number == high);
        QCOMPARE(c[2].field, field("NKaisu"));
        QVERIFY(c[2].op == Filter::Op::Le && c[2].number == -7);
        QCOMPARE(c[3].field, field("Seikaisu"));
        QVERIFY(c[3].op == Filter::Op::Gt && c[3].number == 0);
        QCOMPARE(c[4].field, field("Bango"));
        QVERIFY(c[4].op == Filter::Op::Eq && c[4].text && c[4].word == kana);
    }

    void aValueThatIsNotOneWordIsRefusedNotPasted()
    {
        // Pasted into the text, this value becomes a second condition the parser accepts, and the
        // filter would select question 1 instead of the record holding it.
        QVERIFY(Filter("Bango = 1 AND KariHon >= 0", layouts::Bank()).Conditions().size() == 2);
        const std::vector<std::string> hostile{"1 AND KariHon >= 0", "0 1", " 1", "1 ", "'1'", "1\"",
                                               "\t1", "1\n", "", "1\x7F", std::string("1\0", 2)};
        for (const std::string& word : hostile) {
            FilterText built;
            built.Equals("Nani", 2);
            try {
                built.Equals("Bango", word);
                QFAIL(qPrintable("accepted the value '" + QString::fromStdString(word) + "'"));
            } catch (const Exception& e) {
                QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("フィルタ式")), e.what());
            }
            QCOMPARE(built.Text(), std::string("Nani = 2"));   // the refused condition left no trace
        }
        QVERIFY_EXCEPTION_THROWN(FilterText().Equals("Na ni", 1), Exception);
        QVERIFY_EXCEPTION_THROWN(FilterText().Equals("", 1), Exception);
    }

    void noInputCrashesTheParser()
    {
        // Seeded random byte strings built from the grammar's own pieces.
        const char* pieces[] = {"Nani = 0", " AND ", "Bango = 0001", "Nani", "Bango", " ", "=", ">=", "<", "AND", "-", "0", "42", "'", "\"", "\xA4\xA2", "\x8F", ""};
        std::srand(7);
        int accepted = 0;
        for (int i = 0; i < 20000; ++i) {
            std::string text;
            const int n = std::rand() % 8;
            for (int j = 0; j < n; ++j)
                text += pieces[std::rand() % int(std::size(pieces))];
            try {
                Filter f(text, layouts::Bank());
                f.Matches(Bank(0, 0, "0001", 1));
                ++accepted;
            } catch (const Exception&) {
            }
        }
        QVERIFY(accepted > 0);
    }
};

QTEST_GUILESS_MAIN(TestFilter)
#include "tst_filter.moc"
