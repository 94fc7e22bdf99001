#include "Exception.h"
#include "Filter.h"
#include "Layouts.h"

#include <QTest>

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
        QTest::newRow("empty") << "" << "フィルタ式";
        QTest::newRow("unknown field") << "Foo = 1" << "項目 'Foo' が見つかりません";
        QTest::newRow("no literal") << "Nani =" << "フィルタ式";
        QTest::newRow("bad operator") << "Nani == 1" << "フィルタ式";
        QTest::newRow("not a number") << "Nani = 1x" << "フィルタ式";
        QTest::newRow("dangling and") << "Nani = 1 AND" << "フィルタ式";
        QTest::newRow("no and") << "Nani = 1 OR Kaisu = 2" << "フィルタ式";
        QTest::newRow("quoted number") << "Bango = '0042'" << "フィルタ式";
        QTest::newRow("number with space and quote") << "Bango = 00 ' OR 1" << "フィルタ式";
        QTest::newRow("blob") << "Zu = 1" << "フィルタ式";
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
