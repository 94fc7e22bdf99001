#include "BankMerge.h"
#include "Exception.h"
#include "Layouts.h"

#include <QTest>

namespace {

std::vector<FieldDef> WithBunrui()
{
    auto f = layouts::Bank();
    f.push_back({"Bunrui", FieldType::Integer, 0});
    return f;
}

// A bank row: NKaisu, Nani, Kaisu, Bango, Seikaisu, KariHon, Kaisetsu, Seikai, Zu, Mondai[, Bunrui].
Row Bank(int nkaisu, int nani, int kaisu, const char* bango, int seikaisu, const char* mondai, int seikai = 1,
         const char* zu = "png")
{
    return {Value(nkaisu), Value(nani), Value(kaisu), Value(bango), Value(seikaisu), Value(1), Value("k"),
            Value(seikai), Value(zu), Value(mondai)};
}

Row Plus(Row r, Value v)
{
    r.push_back(std::move(v));
    return r;
}

int Int(const Row& r, const std::vector<FieldDef>& f, const std::string& name)
{
    for (std::size_t i = 0; i < f.size(); ++i)
        if (f[i].name == name) return r[i].integer;
    return -999;
}

}  // namespace

class TestBankMerge : public QObject {
    Q_OBJECT
private slots:
    void keepsCountersAddsAndReportsChanges()
    {
        const auto& f = layouts::Bank();
        const std::vector<Row> bank{Bank(3, 40, 10, "0001", 6, "old text"), Bank(1, 20, 5, "0002", 4, "same"),
                                    Bank(2, 60, 8, "0003", 3, "gone")};
        // The CSV carries its own counters (an export of another bank, say): they do not count.
        const std::vector<Row> csv{Bank(0, 0, 0, "0002", 0, "same"), Bank(9, 15, 9, "0004", 9, "new"),
                                   Bank(0, 0, 0, "0001", 0, "new text", 0, "png2")};
        for (const bool del : {false, true}) {
            const auto m = bankmerge::Merge(f, bank, f, csv, del);
            QCOMPARE(m.fields.size(), f.size());
            QCOMPARE(m.rows.size(), std::size_t(del ? 3 : 4));
            // The CSV's order; counters of the bank's row of the same number.
            QCOMPARE(m.rows[0], bank[1]);
            QCOMPARE(m.rows[1], Bank(0, 15, 0, "0004", 0, "new"));   // fresh, but the CSV's difficulty
            QCOMPARE(m.rows[2], Bank(3, 40, 10, "0001", 6, "new text", 0, "png2"));
            QCOMPARE(m.report.added, std::vector<std::string>{"0004"});
            QCOMPARE(m.report.changed.size(), std::size_t(1));
            QCOMPARE(m.report.changed[0].bango, std::string("0001"));
            QCOMPARE(m.report.changed[0].fields, (std::vector<std::string>{"Seikai", "Zu", "Mondai"}));
            QCOMPARE(m.report.unchanged, std::size_t(1));
            QCOMPARE(m.report.removed, del ? std::vector<std::string>{"0003"} : std::vector<std::string>{});
            QCOMPARE(m.report.kept, del ? std::vector<std::string>{} : std::vector<std::string>{"0003"});
            if (!del)
                QCOMPARE(m.rows[3], bank[2]);   // kept as it was, at the end

            const std::string text = bankmerge::Describe(m.report);
            QVERIFY(text.find("added: 0004\n") != std::string::npos);
            QVERIFY(text.find("changed: 0001 (Seikai, Zu, Mondai)\n") != std::string::npos);
            QCOMPARE(text.find("removed: 0003\n") != std::string::npos, del);
            QCOMPARE(text.find("kept: 0003\n") != std::string::npos, !del);
            QCOMPARE(text.find("--delete-missing") != std::string::npos, !del);
        }
    }

    // Numbers stored before four digits were required match their four-digit form; two stored
    // forms of one number cannot both be matched and are refused.
    void matchesShortStoredNumbers()
    {
        const auto& f = layouts::Bank();
        const auto m = bankmerge::Merge(f, {Bank(3, 40, 10, "42", 6, "q")}, f, {Bank(0, 0, 0, "0042", 0, "q")}, true);
        QCOMPARE(m.rows, std::vector<Row>{Bank(3, 40, 10, "0042", 6, "q")});
        QVERIFY(m.report.added.empty() && m.report.removed.empty());
        QCOMPARE(m.report.changed[0].fields, std::vector<std::string>{"Bango"});

        QVERIFY_THROWS_EXCEPTION(Exception, bankmerge::Merge(f, {Bank(0, 0, 0, "1", 0, "a"), Bank(0, 0, 0, "0001", 0, "b")},
                                                             f, {Bank(0, 0, 0, "0001", 0, "b")}, false));
    }

    void categoriesComeFromTheCsvOrStay()
    {
        const auto& plain = layouts::Bank();
        const auto withBunrui = WithBunrui();
        // The CSV adds the column: the result has it, a category set is a change, none is not.
        auto m = bankmerge::Merge(plain, {Bank(0, 0, 0, "0001", 0, "q"), Bank(0, 0, 0, "0002", 0, "q"),
                                          Bank(0, 0, 0, "0005", 0, "q")},
                                  withBunrui,
                                  {Plus(Bank(0, 0, 0, "0001", 0, "q"), Value(102)), Plus(Bank(0, 0, 0, "0002", 0, "q"), Value())},
                                  false);
        QCOMPARE(m.fields.size(), withBunrui.size());
        QCOMPARE(Int(m.rows[0], m.fields, "Bunrui"), 102);
        QCOMPARE(m.rows[2], Plus(Bank(0, 0, 0, "0005", 0, "q"), Value()));   // kept, with no category
        QCOMPARE(m.report.changed.size(), std::size_t(1));
        QCOMPARE(m.report.changed[0].fields, std::vector<std::string>{"Bunrui"});

        // A CSV without the column leaves the bank's categories, also on rows it lacks.
        m = bankmerge::Merge(withBunrui, {Plus(Bank(0, 0, 0, "0001", 0, "q"), Value(201)),
                                          Plus(Bank(0, 0, 0, "0002", 0, "q"), Value(203))},
                             plain, {Bank(0, 0, 0, "0001", 0, "q"), Bank(0, 0, 0, "0003", 0, "q")}, false);
        QCOMPARE(m.fields.size(), withBunrui.size());
        QCOMPARE(Int(m.rows[0], m.fields, "Bunrui"), 201);
        QVERIFY(m.rows[1].back().null);   // new, no category
        QCOMPARE(Int(m.rows[2], m.fields, "Bunrui"), 203);
        QVERIFY(m.report.changed.empty());
    }
};

QTEST_GUILESS_MAIN(TestBankMerge)
#include "tst_bankmerge.moc"
