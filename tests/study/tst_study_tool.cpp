// tabletool study due on a real data directory: a bank file, a learning record, the order printed.

#include "Layouts.h"
#include "LearningRecord.h"
#include "Table.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Result {
    int code;
    QString out, err;
};

Result Tool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("TABLETOOL"), QStringList{"study"} + args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Bank rows: Bango and KariHon; 0 hides a statement from every drill.
void MakeBank(const QString& path, const std::vector<std::pair<const char*, int>>& statements)
{
    std::vector<Row> rows;
    for (const auto& [bango, kariHon] : statements)
        rows.push_back({Value(0), Value(10), Value(0), Value(bango), Value(0), Value(kariHon), Value("k"),
                        Value(1), Value::Null(), Value("q")});
    Table::CreateFile(path.toStdString(), layouts::Bank(), rows);
}
}  // namespace

class TestStudyTool : public QObject {
    Q_OBJECT
private slots:
    void printsTheDueStatementsInOrder()
    {
        QTemporaryDir dir;
        MakeBank(dir.filePath("mondai.cds"), {{"0001", 1}, {"0002", 1}, {"0003", 0}, {"0004", 1}, {"0005", 2}});
        {
            record::LearningRecord rec;
            rec.Open(dir.filePath("kiroku.sqlite").toStdString());
            const std::int64_t s = rec.BeginSession({record::kDrill, 0, {}});
            rec.AddAnswer(s, {record::kSourceBank, "0002", 0, {}, 1, true, {}});
            rec.AddAnswer(s, {record::kSourceBank, "0001", 0, {}, 0, false, {}});
            rec.AddAnswer(s, {record::kSourceBank, "0003", 0, {}, 1, true, {}});
        }
        const QString later = QDate::currentDate().addDays(10).toString(Qt::ISODate);
        const Result r = Tool({"due", dir.path(), "--on", later});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith("# " + later + ": 復習 3 (期日 2"), qPrintable(lines[0]));
        // The one answered wrong is recalled least; the hidden 0003 and the second stage's 0005
        // are left out; 0004 is the one new statement.
        QVERIFY2(lines[1].startsWith("1\tbank\t0001\t0\t"), qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith("2\tbank\t0002\t0\t"), qPrintable(lines[2]));
        QCOMPARE(lines[3], "3\tbank\t0004\t0\t新規");
        const double first = lines[1].section('\t', 4).chopped(1).toDouble();
        const double second = lines[2].section('\t', 4).chopped(1).toDouble();
        QVERIFY(first > 0 && first < second && second < 90);
    }

    void refusesWhatItCannotRead()
    {
        QTemporaryDir dir;
        Result r = Tool({"due", dir.path(), "--on", "2026-02-30"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("YYYY-MM-DD"));
        r = Tool({"due", dir.filePath("none")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("フォルダがありません"));
        r = Tool({"due"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("study due DIR"));
        // A record that is not one is refused with the record's own message, not read as empty.
        QFile bad(dir.filePath("kiroku.sqlite"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a database at all");
        bad.close();
        r = Tool({"due", dir.path()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("学習記録"), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestStudyTool)
#include "tst_study_tool.moc"
