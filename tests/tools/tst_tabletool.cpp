#include "Csv.h"
#include "CsvTable.h"
#include "DirectoryLock.h"
#include "EucJp.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Layouts.h"
#include "Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include <sqlite3.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct Result {
    int code;
    QByteArray out, err;
};

Result Tool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("TABLETOOL"), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// A bank file as the program leaves it: counters that pupils' answers have raised.
void MakeBank(const QString& path, const std::vector<std::pair<const char*, int>>& numbersAndCounts)
{
    std::vector<Row> rows;
    for (const auto& [bango, n] : numbersAndCounts)
        rows.push_back({Value(n), Value(n * 10), Value(n + 1), Value(bango), Value(n + 2), Value(1), Value("k"),
                        Value(1), Value::Null(), Value("q")});
    Table::CreateFile(path.toStdString(), layouts::Bank(), rows);
}

// A row of FIELDS from a CSV line without quotes: integers in decimal, blobs as base64:.
Row RowOf(const std::vector<FieldDef>& fields, const QByteArray& csvRow)
{
    Row out;
    const QList<QByteArray> cells = csvRow.trimmed().split(',');
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QByteArray c = cells.value(qsizetype(i));
        if (c.isEmpty())
            out.push_back(Value::Null());
        else if (fields[i].type == FieldType::Integer)
            out.push_back(Value(c.toInt()));
        else
            out.push_back(Value(c.startsWith("base64:") ? QByteArray::fromBase64(c.mid(7)).toStdString() : c.toStdString()));
    }
    return out;
}

const QByteArray kHeader = "NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai\r\n";
const QByteArray kHazardHeader =
    "Bango,Bunrui,Zu,Jokyo,Mondai1,Mondai2,Mondai3,Seikai1,Seikai2,Seikai3,Kaisetsu1,Kaisetsu2,Kaisetsu3\r\n";
const QByteArray kHazardRow =
    "0001,201,base64:iVBORw==,時速30キロメートルで進行しています。,歩行者が飛び出すかもしれない。,"
    "\"そのまま, 進む。\",減速する。,1,0,1,a,,c\r\n";
}  // namespace

class TestTabletool : public QObject {
    Q_OBJECT
private slots:
    void importThenExportRoundTrips()
    {
        QTemporaryDir dir;
        Write(dir.filePath("fig.png"), QByteArray("\x89PNG\r\n\x1a\n-not-really", 19));
        const QByteArray csv = kHeader +
            "0,5,0,0001,0,1,\"解説, 「引用」と \"\"二重\"\"\",1,file:fig.png,信号が青のときは進める。\r\n"
            "3,-1,7,0002,2,2,\"改行\nを含む\",0,base64:AAEC,①と～\r\n"
            ",,,0003,,0,,0,,\r\n";
        Write(dir.filePath("bank.csv"), csv);
        const QString file = dir.filePath("mondai.cds");
        Result r = Tool({"import", "--layout", "bank", dir.filePath("bank.csv"), file});
        QVERIFY2(r.code == 0, r.err.constData());

        r = Tool({"export", file});
        QCOMPARE(r.code, 0);
        const QByteArray expected = kHeader +
            "0,5,0,0001,0,1,\"解説, 「引用」と \"\"二重\"\"\",1,base64:" +
            QByteArray("\x89PNG\r\n\x1a\n-not-really", 19).toBase64() + ",信号が青のときは進める。\r\n"
            "3,-1,7,0002,2,2,\"改行\nを含む\",0,base64:AAEC,①と～\r\n"
            ",,,0003,,0,,0,,\r\n";
        QCOMPARE(r.out, expected);

        // The export imports again to the same export.
        Write(dir.filePath("again.csv"), r.out);
        QCOMPARE(Tool({"import", "--layout", "bank", dir.filePath("again.csv"), dir.filePath("again.cds")}).code, 0);
        QCOMPARE(Tool({"export", dir.filePath("again.cds")}).out, expected);

        r = Tool({"check", file});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("bank, 3 records"));
    }

    void refusesBadInputNamingRowAndField_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("not EUC-JP") << QByteArray("0,0,0,0001,0,1,x,1,,絵文字😀\r\n") << QByteArray("2 行目, 項目 Mondai");
        QTest::newRow("too long") << ("0,0,0,0001,0,1," + QByteArray(128 * 3, 'x').replace("xxx", "あ") + ",1,,q\r\n")
                                  << QByteArray("2 行目, 項目 Kaisetsu");
        QTest::newRow("beyond 32 bits") << QByteArray("0,2147483648,0,0001,0,1,x,1,,q\r\n") << QByteArray("outside 32-bit integers");
        QTest::newRow("not a number") << QByteArray("0,abc,0,0001,0,1,x,1,,q\r\n") << QByteArray("項目 Nani");
        QTest::newRow("five digits") << QByteArray("0,0,0,00012,0,1,x,1,,q\r\n") << QByteArray("項目 Bango");
        QTest::newRow("zero number") << QByteArray("0,0,0,0000,0,1,x,1,,q\r\n") << QByteArray("0000");
        QTest::newRow("letters") << QByteArray("0,0,0,12a,0,1,x,1,,q\r\n") << QByteArray("項目 Bango");
        QTest::newRow("repeated") << QByteArray("0,0,0,0001,0,1,x,1,,q\r\n0,0,0,0001,0,1,x,1,,q\r\n") << QByteArray("重複");
        QTest::newRow("missing figure") << QByteArray("0,0,0,0001,0,1,x,1,file:none.png,q\r\n") << QByteArray("項目 Zu");
        QTest::newRow("bad base64") << QByteArray("0,0,0,0001,0,1,x,1,base64:@@@,q\r\n") << QByteArray("項目 Zu");
        QTest::newRow("picture without base64: or file:") << QByteArray("0,0,0,0001,0,1,x,1,AAEC,q\r\n") << QByteArray("項目 Zu");
        QTest::newRow("short row") << QByteArray("0,0,0\r\n") << QByteArray("列の数");
        QTest::newRow("open quote") << QByteArray("0,0,0,0001,0,1,\"x,1,,q\r\n") << QByteArray("引用符");
        // One encoding per file: the first line in the other one is named.
        const QByteArray utf8 = "0,0,0,0001,0,1,k,1,,信号が青のとき\r\n", sjisText = "0,0,0,0002,0,1,k,1,,標識の意味\r\n";
        const QByteArray sjis = QStringEncoder("windows-31j").encode(QString::fromUtf8(sjisText));
        QTest::newRow("UTF-8, then CP932") << utf8 + sjis << QByteArray("3 行目の文字コード");
        QTest::newRow("CP932, then UTF-8") << sjis + "0,0,0,0003,0,1,k,1,,q\r\n" + utf8 << QByteArray("line 4 is in another encoding");
        QTest::newRow("NUL") << QByteArray("0,0,0,0001,0,1,k,1,,a\0b\r\n", 25) << QByteArray("2 行目, 項目 Mondai");
        QTest::newRow("escape") << QByteArray("0,0,0,0001,0,1,\x1b[2J,1,,q\r\n") << QByteArray("2 行目, 項目 Kaisetsu");
        QTest::newRow("C1 control") << QByteArray("0,0,0,0001,0,1,k,1,,a\xC2\x85\r\n") << QByteArray("2 行目, 項目 Mondai");
    }
    void refusesBadInputNamingRowAndField()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        Write(dir.filePath("bank.csv"), kHeader + rows);
        const Result r = Tool({"import", "--layout", "bank", dir.filePath("bank.csv"), dir.filePath("out.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("out.cds")));   // nothing half-made is left
    }

    // A hazard file and a bank with categories come back as they went in.
    void hazardItemsAndCategoriesRoundTrip()
    {
        QTemporaryDir dir;
        const QByteArray hazard = kHazardHeader + kHazardRow + "0002,,base64:AA==,j,1,2,3,0,0,0,,,\r\n";
        Write(dir.filePath("hazard.csv"), hazard);
        Result r = Tool({"import", "--layout", "hazard", dir.filePath("hazard.csv"), dir.filePath("kiken.cds")});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(Tool({"export", dir.filePath("kiken.cds")}).out, hazard);
        r = Tool({"check", dir.filePath("kiken.cds")});
        QVERIFY2(r.out.contains("hazard, 2 records"), r.out.constData());

        const QByteArray bank = "NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai,Bunrui\r\n"
                                "0,0,0,0001,0,1,k,1,,q,102\r\n0,0,0,0002,0,1,k,0,,q,\r\n";
        Write(dir.filePath("bank.csv"), bank);
        r = Tool({"import", "--layout", "bank", dir.filePath("bank.csv"), dir.filePath("mondai.cds")});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(Tool({"export", dir.filePath("mondai.cds")}).out, bank);
        QVERIFY(Tool({"check", dir.filePath("mondai.cds")}).out.contains("bank, 2 records"));

        // The table store opens a bank with or without the category, not with one of another type.
        Table t;
        t.SetRequiredFields(layouts::Bank());
        t.SetFileName(dir.filePath("mondai.cds").toStdString());
        t.Open();
        QCOMPARE(t.FieldByName("Bunrui").AsInteger(), 102);
        t.Close();
        auto fields = layouts::Bank();
        fields.push_back({"Bunrui", FieldType::Text, 4});
        Row row(fields.size(), Value(1));
        row[3] = Value("0001");
        Table::CreateFile(dir.filePath("text.cds").toStdString(), fields, {row});
        Table wrong;
        wrong.SetRequiredFields(layouts::Bank());
        wrong.SetFileName(dir.filePath("text.cds").toStdString());
        QVERIFY_THROWS_EXCEPTION(Exception, wrong.Open());
        QVERIFY(Tool({"check", dir.filePath("text.cds")}).out.contains("(独自)"));
        // As many fields as the bank, of the same kinds and sizes, one under another name.
        auto renamed = layouts::Bank();
        renamed[1].name = "Level";
        Row renamedRow(renamed.size(), Value(1));
        renamedRow[3] = Value("0001");
        Table::CreateFile(dir.filePath("renamed.cds").toStdString(), renamed, {renamedRow});
        QVERIFY(Tool({"check", dir.filePath("renamed.cds")}).out.contains("(独自)"));
        // The bank's optional field, then one no layout knows.
        auto extended = layouts::Bank();
        extended.push_back({"Bunrui", FieldType::Integer, 0});
        extended.push_back({"Memo", FieldType::Integer, 0});
        Row extendedRow(extended.size(), Value(1));
        extendedRow[3] = Value("0001");
        Table::CreateFile(dir.filePath("extended.cds").toStdString(), extended, {extendedRow});
        QVERIFY(Tool({"check", dir.filePath("extended.cds")}).out.contains("(独自)"));
    }

    void refusesBadHazardItemsNamingTheRow_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("sub-answer 2") << QByteArray("0002,201,base64:AA==,j,1,2,3,1,2,0,,,") << QByteArray("3 行目, 項目 Seikai2");
        QTest::newRow("no sub-answer") << QByteArray("0002,201,base64:AA==,j,1,2,3,1,0,,,,") << QByteArray("3 行目, 項目 Seikai3");
        QTest::newRow("negative") << QByteArray("0002,201,base64:AA==,j,1,2,3,-1,0,0,,,") << QByteArray("3 行目, 項目 Seikai1");
        QTest::newRow("no illustration") << QByteArray("0002,201,,j,1,2,3,1,0,0,,,") << QByteArray("3 行目, 項目 Zu");
        QTest::newRow("empty illustration") << QByteArray("0002,201,base64:,j,1,2,3,1,0,0,,,") << QByteArray("3 行目, 項目 Zu");
        QTest::newRow("empty statement") << QByteArray("0002,201,base64:AA==,j,1,,3,1,0,0,,,") << QByteArray("3 行目, 項目 Mondai2");
        QTest::newRow("empty situation") << QByteArray("0002,201,base64:AA==,,1,2,3,1,0,0,,,") << QByteArray("3 行目, 項目 Jokyo");
        QTest::newRow("unknown category") << QByteArray("0002,115,base64:AA==,j,1,2,3,1,0,0,,,") << QByteArray("3 行目, 項目 Bunrui");
        QTest::newRow("repeated number") << QByteArray("0001,201,base64:AA==,j,1,2,3,1,0,0,,,") << QByteArray("重複");
    }
    void refusesBadHazardItemsNamingTheRow()
    {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        Write(dir.filePath("h.csv"), kHazardHeader + kHazardRow + row + "\r\n");
        Result r = Tool({"import", "--layout", "hazard", dir.filePath("h.csv"), dir.filePath("kiken.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("kiken.cds")));

        // A file made elsewhere with the same row: check refuses it the same way.
        const auto& fields = layouts::Hazard();
        Table::CreateFile(dir.filePath("kiken.cds").toStdString(), fields,
                          {RowOf(fields, "0001,201,base64:AA==,j,1,2,3,1,0,0,,,"), RowOf(fields, row)});
        r = Tool({"check", dir.filePath("kiken.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
    }

    void exportsTheLearningRecord()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("kiroku.sqlite").toStdString();
        {
            record::LearningRecord rec;
            rec.Open(path);
            const auto drill = rec.BeginSession({record::kDrill, 3, {}});
            record::Answer a;
            a.bango = "0001";
            a.bunrui = 102;
            a.answer = 1;
            a.correct = true;
            a.seconds = 2.5;
            rec.AddAnswer(drill, a);
            rec.EndSession(drill);
            const auto mock = rec.BeginSession({"mock-honmen", {}, 7});
            a.source = record::kSourceHazard;
            a.item = 2;
            a.bunrui.reset();
            a.seconds.reset();
            a.answer = -1;
            a.correct = false;
            rec.AddAnswers(mock, {a});
        }
        Result r = Tool({"record-export", dir.filePath("kiroku.sqlite")});
        QVERIFY2(r.code == 0, r.err.constData());
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 4);   // header, two answers, the empty rest after the last CRLF
        QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF" "answer_id,session_id,session_kind,session_started_at,"
                                      "session_ended_at,level,answered_at,source,bango,item,bunrui,"
                                      "bunrui_name,answer,correct,seconds\r"));
        const QRegularExpression time("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ");
        QString first = QString::fromUtf8(lines[1]).replace(time, "T");
        QCOMPARE(first, QString("1,1,drill,T,T,3,T,bank,0001,0,102,信号,1,1,2.5\r"));
        QString second = QString::fromUtf8(lines[2]).replace(time, "T");
        QCOMPARE(second, QString("2,2,mock-honmen,T,,,T,hazard,0001,2,,,-1,0,\r"));

        QCOMPARE(Tool({"record-export", dir.filePath("kiroku.sqlite"), dir.filePath("out.csv")}).code, 0);
        QFile out(dir.filePath("out.csv"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), r.out);

        // Nothing is made where there is no record, and a record of a newer version is refused.
        r = Tool({"record-export", dir.filePath("none.sqlite"), dir.filePath("none.csv")});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(dir.filePath("none.sqlite")));
        QVERIFY(!QFile::exists(dir.filePath("none.csv")));
        QVERIFY(!r.err.isEmpty());
    }

    // A value over the 1 MiB the program writes, put into the record by another tool: the
    // program still appends to such a record, so its export must not refuse it.
    void recordExportCopesWithValuesOverOneMebibyte()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("kiroku.sqlite").toStdString();
        record::Answer a;
        a.bango = "0001";
        {
            record::LearningRecord rec;
            rec.Open(path);
            rec.AddAnswer(rec.BeginSession({record::kDrill, 3, {}}), a);
        }
        const std::string longValue(2 * 1024 * 1024, 'x');
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, ("UPDATE answers SET bango = '" + longValue + "'").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        {
            record::LearningRecord rec;
            rec.Open(path);
            a.bango = "0002";
            rec.AddAnswer(rec.BeginSession({record::kDrill, 3, {}}), a);
        }
        const Result r = Tool({"record-export", dir.filePath("kiroku.sqlite")});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY(r.out.contains(",bank," + QByteArray::fromStdString(longValue) + ",0,"));
        QVERIFY(r.out.contains(",bank,0002,0,"));
    }

    void mergeKeepsCountersAndTheBackupAndWaitsForTheProgram()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("mondai.cds"), csv = dir.filePath("bank.csv");
        MakeBank(file, {{"0001", 3}, {"0002", 4}, {"0003", 5}});
        const QByteArray before = Read(file);
        Write(csv, kHeader + "0,0,0,0002,0,1,k,1,,q\r\n0,7,0,0004,0,2,k,0,,new\r\n0,0,0,0001,0,1,k,1,,changed\r\n");

        // A running program holds the folder: nothing is read or written, not even the backup.
        {
            DirectoryLock drill;
            QCOMPARE(drill.Acquire(dir.path().toStdString() + "/"), DirectoryLock::Result::Acquired);
            for (const QStringList& args : {QStringList{"merge", "--layout", "bank", csv, file},
                                            QStringList{"import", "--layout", "bank", csv, file}}) {
                const Result r = Tool(args);
                QCOMPARE(r.code, 1);
                QVERIFY2(r.err.contains("実行中の Lentavo") && r.err.contains("in use"), r.err.constData());
                QCOMPARE(Read(file), before);
                QVERIFY(!QFile::exists(file + ".bak"));
            }
        }

        Result r = Tool({"merge", "--layout", "bank", csv, file});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY2(r.out.contains("added: 0004\n") && r.out.contains("changed: 0001 (Mondai)\n") &&
                     r.out.contains("kept: 0003\n") && !r.out.contains("0002") &&
                     r.out.contains("updated to 4 records"), r.out.constData());
        QCOMPARE(Read(file + ".bak"), before);
        QCOMPARE(Tool({"export", file}).out, kHeader + "4,40,5,0002,6,1,k,1,,q\r\n"
                                                      "0,7,0,0004,0,2,k,0,,new\r\n"
                                                      "3,30,4,0001,5,1,k,1,,changed\r\n"
                                                      "5,50,6,0003,7,1,k,1,,q\r\n");

        const QByteArray merged = Read(file);
        r = Tool({"merge", "--delete-missing", "--layout=bank", csv, file});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY2(r.out.contains("removed: 0003\n") && r.out.contains("updated to 3 records"), r.out.constData());
        QCOMPARE(Read(file + ".bak.1"), merged);   // a backup of the file just replaced, beside the first
        QCOMPARE(Read(file + ".bak"), before);
        QVERIFY(!Tool({"export", file}).out.contains("0003"));

        // Only a bank that exists is merged into; a refused CSV leaves the bank alone.
        QVERIFY(Tool({"merge", "--layout", "bank", csv, dir.filePath("none.cds")}).err.contains("use import"));
        QVERIFY(!QFile::exists(dir.filePath("none.cds")));
        QCOMPARE(Tool({"merge", "--layout", "advice", csv, file}).code, 1);
        const QByteArray now = Read(file);
        Write(csv, kHeader + "0,0,0,0001,0,1,k,2,,q\r\n");
        QCOMPARE(Tool({"merge", "--layout", "bank", csv, file}).code, 1);
        QCOMPARE(Read(file), now);
    }

    // What Japanese spreadsheets save: CP932 or UTF-8 with a byte-order mark, CRLF, a blank after
    // a column name, empty rows under the table. And what export --excel gives them back.
    // The CSV reader alone: line breaks of either kind (a lone CR is text), a last record
    // without a line break, quotes only where a field may hold them, and the line a fault is on
    // counted through the line breaks inside quoted fields.
    void csvRecordsAndTheLinesOfItsFaults()
    {
        using Records = std::vector<csv::Record>;
        QCOMPARE(csv::Parse("a,b\nc,d\n"), (Records{{"a", "b"}, {"c", "d"}}));
        QCOMPARE(csv::Parse("a\rb,c\r\nd"), (Records{{"a\rb", "c"}, {"d"}}));
        QCOMPARE(csv::Parse("h\r\nx,\"y\"\"\nz\"\r\n"), (Records{{"h"}, {"x", "y\"\nz"}}));
        const auto refusal = [](const std::string& text) {
            try {
                csv::Parse(text);
            } catch (const Exception& e) {
                return e.Message();
            }
            return std::string("accepted");
        };
        QCOMPARE(refusal("ab\"c\""), std::string("CSV の 1 行目: 引用符の位置が正しくありません"));
        QCOMPARE(refusal("\"a\"\"b\"\"c\"x"), std::string("CSV の 1 行目: 引用符の後に文字があります"));
        QCOMPARE(refusal("h\n\"two\nlines\",\"and\r\nmore\"\nx\"y"),
                 std::string("CSV の 5 行目: 引用符の位置が正しくありません"));
        QCOMPARE(refusal("h\r\n\"open\n"), std::string("CSV の 3 行目: 引用符が閉じていません"));
    }

    // Import's cells as written: a text wrapped as ="…" only when every quote in it is doubled
    // (the last one before the closing quote too), and bytes that are not UTF-8 refused as such
    // by any caller, not only after the tool's own decoding. The refusals and warnings name the
    // row in both languages and say which answer is which.
    void importAndChecksSayWhereAndWhat()
    {
        const auto mondai = [](const std::string& cell) {
            const auto rows = csvtable::Import(layouts::History(), "Bango,Seihi,Mondai\r\n" + csv::Format({"0001", "1", cell}), {});
            return eucjp::ToUtf8(eucjp::Decode(rows.at(0).at(2).bytes));
        };
        QCOMPARE(mondai("=\"x\"\"\""), std::string("x\""));
        QCOMPARE(mondai("=\"x\"\""), std::string("=\"x\"\""));
        try {
            mondai("\xff");
            QFAIL("bytes that are not UTF-8 were imported");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().find("row 2, column Mondai: not valid UTF-8") != std::string::npos, e.what());
        }
        try {
            csvtable::Import(layouts::History(), "Bango,Seihi,Mondai\r\n0001,1,a\r\n0002,1\r\n", {});
            QFAIL("a row short of a cell was imported");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().rfind("3 行目: ", 0) == 0 && e.Message().find("/ row 3: ") != std::string::npos, e.what());
        }
        // A stored answer 2 is a warning that says which answer is which.
        std::vector<std::string> warnings;
        csvtable::CheckBank(layouts::Bank(),
                            {Row{Value(0), Value::Null(), Value(0), Value("0001"), Value(0), Value(1), Value("k"),
                                 Value(2), Value::Null(), Value("m")}},
                            &warnings);
        QCOMPARE(warnings.size(), std::size_t(1));
        QVERIFY2(warnings[0].find("write 1 if the statement is true, 0 if false") != std::string::npos, warnings[0].c_str());
        try {
            csvtable::CheckBank(layouts::Bank(),
                                {Row{Value(0), Value::Null(), Value(0), Value("0001"), Value(0), Value(1), Value("k"),
                                     Value(3), Value::Null(), Value("m")}},
                                nullptr);
            QFAIL("an answer 3 was taken");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().find("the answer must be 1 (true) or 0 (false)") != std::string::npos, e.what());
        }
        try {
            csvtable::CheckHazard(layouts::Hazard(),
                                  {Row{Value("5001"), Value::Null(), Value("z"), Value("j"), Value("a"), Value("b"),
                                       Value("c"), Value(3), Value(1), Value(0), Value::Null(), Value::Null(),
                                       Value::Null()}},
                                  nullptr);
            QFAIL("a hazard answer 3 was taken");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().find("the answer must be 1 (true) or 0 (false)") != std::string::npos, e.what());
        }
        // A file in neither encoding is refused by its line, in both languages.
        try {
            csvtable::DecodeCsv("h\r\nx\r\n\xff\r\n");
            QFAIL("a file in neither encoding was read");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().rfind("3 行目: ", 0) == 0 && e.Message().find("/ line 3: ") != std::string::npos, e.what());
        }
    }

    // A spreadsheet's columns: the layout's natural order first, then every field it does not
    // name, in its place; a layout without one keeps the file's order whole.
    void naturalOrderKeepsEveryField()
    {
        std::vector<std::size_t> all(layouts::Hazard().size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        QCOMPARE(layouts::NaturalOrder(*layouts::Find("hazard"), layouts::Hazard()), all);
        std::vector<FieldDef> bank = layouts::Bank();
        bank.push_back({"Memo", FieldType::Text, 20});
        bank.push_back({"Extra", FieldType::Integer, 0});
        const std::vector<std::size_t> order = layouts::NaturalOrder(*layouts::Find("bank"), bank);
        QCOMPARE(order.size(), bank.size());
        QCOMPARE(bank[order.front()].name, std::string("Bango"));
        QCOMPARE(std::vector<std::size_t>(order.end() - 2, order.end()), (std::vector<std::size_t>{10, 11}));
    }

    void readsSpreadsheetCsvAndWritesForIt()
    {
        QTemporaryDir dir;
        const QString text = "NKaisu,Nani,Kaisu,Bango ,Seikaisu, KariHon,Kaisetsu,Seikai,Zu,Mondai\r\n"
                             "0,5,0,0001,0,1,\"解説, ～\",1,base64:iVBORw0KGgo=,①の標識は髙い位置にある。\r\n"
                             ",,,,,,,,,\r\n,,,,,,,,,\r\n";
        QStringEncoder cp932("windows-31j");
        const QByteArray sjis = cp932.encode(text);
        QVERIFY(!cp932.hasError());
        QVERIFY(sjis != text.toUtf8());
        const QByteArray expected = kHeader + "0,5,0,0001,0,1,\"解説, ～\",1,base64:iVBORw0KGgo=,①の標識は髙い位置にある。\r\n";
        for (const QByteArray& bytes : {sjis, "\xEF\xBB\xBF" + text.toUtf8()}) {
            Write(dir.filePath("b.csv"), bytes);
            const Result r = Tool({"import", "--layout", "bank", dir.filePath("b.csv"), dir.filePath("m.cds")});
            QVERIFY2(r.code == 0, r.err.constData());
            QVERIFY(r.out.contains("created with 1 records"));
            QCOMPARE(Tool({"export", dir.filePath("m.cds")}).out, expected);
        }

        // Neither encoding: refused, saying how to save it.
        Write(dir.filePath("b.csv"), kHeader + "0,5,0,0001,0,1,k,1,,\x85\x40\r\n");
        Result r = Tool({"import", "--layout", "bank", dir.filePath("b.csv"), dir.filePath("x.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("CSV UTF-8") && r.err.contains("CP932"), r.err.constData());

        r = Tool({"export", "--excel", dir.filePath("m.cds"), dir.filePath("excel.csv")});
        QVERIFY2(r.code == 0, r.err.constData());
        const QByteArray excel = Read(dir.filePath("excel.csv"));
        QCOMPARE(excel, "\xEF\xBB\xBF" "Bango,KariHon,Mondai,Seikai,Kaisetsu,Zu,Nani,NKaisu,Kaisu,Seikaisu\r\n"
                        "\"=\"\"0001\"\"\",1,①の標識は髙い位置にある。,1,\"解説, ～\",file:excel-figures/0001.png,5,0,0,0\r\n");
        QCOMPARE(Read(dir.filePath("excel-figures/0001.png")), QByteArray("\x89PNG\r\n\x1a\n"));
        // Saved back unchanged, or with the number as the spreadsheet shows it: the same bank.
        for (const QByteArray& back : {excel, QByteArray(excel).replace("\"=\"\"0001\"\"\"", "0001")}) {
            Write(dir.filePath("back.csv"), back);
            QCOMPARE(Tool({"import", "--layout", "bank", dir.filePath("back.csv"), dir.filePath("back.cds")}).code, 0);
            QCOMPARE(Tool({"export", dir.filePath("back.cds")}).out, expected);
        }
    }

    void refusesRowsThatWouldMisleadTheDrill_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<bool>("storedIsWarning");   // what check says of a file that holds it
        QTest::newRow("answer 2") << QByteArray("0,0,0,0002,0,1,k,2,,q") << QByteArray("Seikai") << true;
        QTest::newRow("no answer") << QByteArray("0,0,0,0002,0,1,k,,,q") << QByteArray("Seikai") << false;
        QTest::newRow("answer -1") << QByteArray("0,0,0,0002,0,1,k,-1,,q") << QByteArray("Seikai") << false;
        QTest::newRow("difficulty 106") << QByteArray("0,106,0,0002,0,1,k,1,,q") << QByteArray("Nani") << false;
        QTest::newRow("difficulty -2") << QByteArray("0,-2,0,0002,0,1,k,1,,q") << QByteArray("Nani") << false;
        QTest::newRow("stage 3") << QByteArray("0,0,0,0002,0,3,k,1,,q") << QByteArray("KariHon") << false;
        QTest::newRow("stage -1") << QByteArray("0,0,0,0002,0,-1,k,1,,q") << QByteArray("KariHon") << false;
        QTest::newRow("no stage") << QByteArray("0,0,0,0002,0,,k,1,,q") << QByteArray("KariHon") << false;
        QTest::newRow("short number") << QByteArray("0,0,0,2,0,1,k,1,,q") << QByteArray("Bango") << true;
        QTest::newRow("1 beside 0001") << QByteArray("0,0,0,1,0,1,k,1,,q") << QByteArray("Bango") << false;
    }
    void refusesRowsThatWouldMisleadTheDrill()
    {
        QFETCH(QByteArray, row);
        QFETCH(QByteArray, column);
        QFETCH(bool, storedIsWarning);
        QTemporaryDir dir;
        const QByteArray good = "0,-1,0,0001,0,2,k,0,,q\r\n0,105,0,0003,0,0,k,1,,q\r\n";
        Write(dir.filePath("b.csv"), kHeader + good + row + "\r\n");
        const QString file = dir.filePath("mondai.cds");
        for (const char* command : {"import", "merge"}) {
            if (QByteArray(command) == "merge")
                MakeBank(file, {{"0001", 1}});
            const QByteArray kept = Read(file);
            const Result r = Tool({command, "--layout", "bank", dir.filePath("b.csv"), file});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains("4 行目, 項目 " + column + ": ") && r.err.contains("row 4, column " + column + ": "),
                     r.err.constData());
            QCOMPARE(Read(file), kept);
        }

        // The same row in a file made elsewhere: check warns and passes, or refuses.
        const auto& fields = layouts::Bank();
        std::vector<Row> rows;
        for (const QByteArray& line : (good + row).split('\n'))
            rows.push_back(RowOf(fields, line));
        QFile::remove(file);
        Table::CreateFile(file.toStdString(), fields, rows);
        const Result r = Tool({"check", file});
        QCOMPARE(r.code, storedIsWarning ? 0 : 1);
        QVERIFY2(r.err.contains("4 行目, 項目 " + column), r.err.constData());
        QCOMPARE(r.err.contains("warning"), storedIsWarning);
    }

    void missingColumnAndBadCommandsFail()
    {
        QTemporaryDir dir;
        Write(dir.filePath("h.csv"), "Bango,Mondai\r\n0001,q\r\n");
        Result r = Tool({"import", "--layout", "history", dir.filePath("h.csv"), dir.filePath("h.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Seihi"));
        QCOMPARE(Tool({"frobnicate"}).code, 1);
        QCOMPARE(Tool({"merge", "--layout", "bank", "--overwrite", dir.filePath("h.csv"), dir.filePath("m.cds")}).code, 1);
        r = Tool({"--help"});
        QCOMPARE(r.code, 0);
        for (const auto& l : layouts::All())
            QVERIFY(r.out.contains(QByteArray::fromStdString(l.name + " (" + l.file + "):")));
        QVERIFY(r.out.contains("[Bunrui integer]") && r.out.contains("--delete-missing"));
        QCOMPARE(Tool({"record-export"}).code, 1);
        QCOMPARE(Tool({"check", dir.filePath("nothing.cds")}).code, 1);
        Write(dir.filePath("junk.cds"), "junk");
        r = Tool({"export", dir.filePath("junk.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(!r.err.isEmpty());
    }

    // A CSV handed over by anyone: a file: cell reads only a picture in the CSV's folder or below
    // it, never waits on a pipe or a device, and nothing of what it refuses lands in the file.
    void hostileFileCellsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("absolute") << QByteArray("file:/etc/passwd") << QByteArray("absolute path");
        QTest::newRow("device") << QByteArray("file:/dev/zero") << QByteArray("absolute path");
        QTest::newRow("stdin") << QByteArray("file:/dev/stdin") << QByteArray("absolute path");
        QTest::newRow("process") << QByteArray("file:/proc/self/environ") << QByteArray("absolute path");
        QTest::newRow("parent") << QByteArray("file:../secret.png") << QByteArray("\"..\" cannot be used");
        QTest::newRow("parent inside") << QByteArray("file:figures/../../secret.png") << QByteArray("\"..\" cannot be used");
        QTest::newRow("link out") << QByteArray("file:out.png") << QByteArray("out of the CSV's folder");
        QTest::newRow("link to a device") << QByteArray("file:zero.png") << QByteArray("out of the CSV's folder");
        QTest::newRow("pipe") << QByteArray("file:pipe.png") << QByteArray("a pipe or a device");
        QTest::newRow("folder") << QByteArray("file:figures") << QByteArray("not a plain file");
        QTest::newRow("not a picture") << QByteArray("file:notes.png") << QByteArray("not a PNG, JPEG, GIF or BMP");
        QTest::newRow("too large") << QByteArray("file:huge.png") << QByteArray("larger than 67108864 bytes");
        QTest::newRow("missing") << QByteArray("file:none.png") << QByteArray("no such file");
    }
    void hostileFileCellsAreRefused()
    {
        QFETCH(QByteArray, cell);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        const QByteArray png("\x89PNG\r\n\x1a\n", 8);
        QVERIFY(QDir(dir.path()).mkpath("csv/figures"));
        const QString csvDir = dir.filePath("csv");
        Write(dir.filePath("secret.png"), png + "secret");   // a picture, but outside the folder
        Write(csvDir + "/figures/ok.png", png + "ok");
        Write(csvDir + "/notes.png", "not a picture");
        QVERIFY(QFile::link(dir.filePath("secret.png"), csvDir + "/out.png"));
        QVERIFY(QFile::link("/dev/zero", csvDir + "/zero.png"));
        QVERIFY(QFile::link("figures/ok.png", csvDir + "/inside.png"));   // a link that stays inside
        QCOMPARE(::mkfifo(QFile::encodeName(csvDir + "/pipe.png").constData(), 0600), 0);
        {
            QFile huge(csvDir + "/huge.png");
            QVERIFY(huge.open(QIODevice::WriteOnly));
            huge.write(png);
            QVERIFY(huge.resize(64 * 1024 * 1024 + 1));   // sparse: costs no disk
        }
        const QString file = dir.filePath("mondai.cds");
        const QByteArray good = "0,0,0,0001,0,1,k,1,file:figures/ok.png,q\r\n0,0,0,0002,0,1,k,1,file:inside.png,q\r\n";
        for (const char* command : {"import", "merge"}) {
            Write(csvDir + "/bank.csv", kHeader + good + "0,0,0,0003,0,1,k,1," + cell + ",q\r\n");
            if (QByteArray(command) == "merge")
                MakeBank(file, {{"0001", 1}});
            const QByteArray kept = Read(file);
            QElapsedTimer clock;
            clock.start();
            const Result r = Tool({command, "--layout", "bank", csvDir + "/bank.csv", file});
            QCOMPARE(r.code, 1);
            QVERIFY(clock.elapsed() < 10000);   // refused, not read to the end of a device
            QVERIFY2(r.err.contains("4 行目, 項目 Zu") && r.err.contains(message), r.err.constData());
            QCOMPARE(Read(file), kept);
        }
        // The same rule for a hazard item's illustration.
        Write(csvDir + "/hazard.csv", kHazardHeader + "0001,201," + cell + ",j,1,2,3,1,0,1,,,\r\n");
        const Result r = Tool({"import", "--layout", "hazard", csvDir + "/hazard.csv", dir.filePath("kiken.cds")});
        QVERIFY2(r.code == 1 && r.err.contains("2 行目, 項目 Zu") && r.err.contains(message), r.err.constData());
        // Without the bad row, the pictures inside the folder, through a link that stays inside too.
        Write(csvDir + "/bank.csv", kHeader + good);
        QCOMPARE(Tool({"import", "--layout", "bank", csvDir + "/bank.csv", file}).code, 0);
        QCOMPARE(Tool({"export", file}).out.count("base64:" + (png + "ok").toBase64() + ",q\r\n"), 2);
    }

    // A header-only CSV with --delete-missing would empty the bank; a second run would replace
    // the one backup with the emptied bank.
    void mergeNeitherEmptiesTheBankNorReplacesABackup()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("mondai.cds"), csv = dir.filePath("bank.csv");
        MakeBank(file, {{"0001", 3}, {"0002", 4}, {"0003", 5}, {"0004", 6}});
        const QByteArray original = Read(file);

        Write(csv, kHeader);
        Result r = Tool({"merge", "--layout", "bank", csv, file, "--delete-missing"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("--force") && r.err.contains("4 of the bank's 4"), r.err.constData());
        QCOMPARE(Read(file), original);
        QVERIFY(!QFile::exists(file + ".bak"));
        Write(csv, kHeader + "0,0,0,0001,0,1,k,1,,q\r\n");   // three of four: still over half
        QCOMPARE(Tool({"merge", "--layout", "bank", csv, file, "--delete-missing"}).code, 1);
        QCOMPARE(Read(file), original);

        // Half is allowed; every later write keeps a backup of its own.
        Write(csv, kHeader + "0,0,0,0001,0,1,k,1,,q\r\n0,0,0,0002,0,1,k,1,,q\r\n");
        r = Tool({"merge", "--layout", "bank", csv, file, "--delete-missing"});
        QVERIFY2(r.code == 0 && r.out.contains("updated to 2 records"), r.err.constData());
        const QByteArray half = Read(file);
        Write(csv, kHeader);
        r = Tool({"merge", "--layout", "bank", csv, file, "--delete-missing", "--force"});
        QVERIFY2(r.code == 0 && r.out.contains("updated to 0 records") && r.out.contains(".bak.1"), r.err.constData());
        QCOMPARE(Read(file + ".bak"), original);
        QCOMPARE(Read(file + ".bak.1"), half);
        QCOMPARE(Tool({"import", "--layout", "bank", csv, file}).code, 0);
        QCOMPARE(Read(file + ".bak"), original);
        QCOMPARE(Read(file + ".bak.1"), half);
        QVERIFY(QFile::exists(file + ".bak.2"));
    }

    // Texts a spreadsheet would compute are written so that it shows them, and come back unchanged.
    void formulaTextsRoundTripThroughASpreadsheetCsv()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("mondai.cds");
        const QStringList texts = {"=1+1", "=HYPERLINK(\"http://x.example/\",\"開く\")", "+81 3", "-1", "@SUM(A1)",
                                   "\t字下げ", "\r改行", "=\"0042\"", "ふつうの文"};
        std::vector<Row> rows;
        for (int i = 0; i < texts.size(); ++i) {
            const std::string bytes = eucjp::Encode(texts[i]);
            rows.push_back({Value(0), Value(5), Value(0), Value(QString::number(i + 1).rightJustified(4, '0').toStdString()),
                            Value(0), Value(1), Value(bytes), Value(1), Value::Null(), Value(bytes)});
        }
        Table::CreateFile(file.toStdString(), layouts::Bank(), rows);
        const QByteArray plain = Tool({"export", file}).out;

        QVERIFY(Tool({"export", "--excel", file, dir.filePath("x.csv")}).code == 0);
        const QByteArray excel = Read(dir.filePath("x.csv"));
        const auto records = csv::Parse(excel.mid(3).toStdString());
        QCOMPARE(records.size(), std::size_t(texts.size() + 1));
        for (std::size_t r = 1; r < records.size(); ++r)
            for (const std::string& c : records[r]) {
                const bool formula = !c.empty() && std::string("=+-@\t\r").find(c[0]) != std::string::npos;
                // Only ="…" with every inner quote doubled: what a spreadsheet shows as text.
                const bool quotedText = c.size() >= 3 && c.compare(0, 2, "=\"") == 0 && c.back() == '"' &&
                                        QByteArray::fromStdString(c.substr(2, c.size() - 3)).replace("\"\"", "").count('"') == 0;
                QVERIFY2(!formula || quotedText, c.c_str());
            }
        QVERIFY(excel.contains("\"=\"\"=HYPERLINK(\"\"\"\"http://x.example/"));
        QVERIFY(excel.contains(",ふつうの文,"));   // plain texts stay plain

        // A formula of the author's own, its quotes not doubled, is no text we wrapped: kept as it is.
        Write(dir.filePath("own.csv"), kHeader + "0,5,0,0001,0,1,\"=\"\"a\"\" & \"\"b\"\"\",1,,q\r\n");
        QCOMPARE(Tool({"import", "--layout", "bank", dir.filePath("own.csv"), dir.filePath("own.cds")}).code, 0);
        QVERIFY(Tool({"export", dir.filePath("own.cds")}).out.contains(",\"=\"\"=\"\"\"\"a\"\"\"\" & \"\"\"\"b\"\"\"\"\"\"\","));

        // merge and import read them back unchanged, from either export.
        for (const QByteArray& back : {excel, plain}) {
            Write(dir.filePath("back.csv"), back);
            QCOMPARE(Tool({"merge", "--layout", "bank", dir.filePath("back.csv"), file}).code, 0);
            QCOMPARE(Tool({"export", file}).out, plain);
        }
    }

    // No output is written through a link planted in its place, and a pipe or a device given as
    // input is refused at once.
    void writesNeverFollowLinksAndPipesAreRefused_data()
    {
        QTest::addColumn<QString>("planted");   // what is put at the path, "link" to target.txt or "pipe"
        QTest::addColumn<QString>("at");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export onto a link") << "link" << "out.csv" << QStringList{"export", "@mondai.cds", "@out.csv"};
        QTest::newRow("excel export onto a link") << "link" << "x.csv" << QStringList{"export", "--excel", "@mondai.cds", "@x.csv"};
        QTest::newRow("picture folder a link") << "dirlink" << "x-figures" << QStringList{"export", "--excel", "@mondai.cds", "@x.csv"};
        QTest::newRow("picture a link") << "link" << "x-figures/0001.png" << QStringList{"export", "--excel", "@mondai.cds", "@x.csv"};
        QTest::newRow("record export onto a link") << "link" << "r.csv" << QStringList{"record-export", "@kiroku.sqlite", "@r.csv"};
        QTest::newRow("record a pipe") << "pipe" << "p.sqlite" << QStringList{"record-export", "@p.sqlite"};
        QTest::newRow("CSV a pipe") << "pipe" << "p.csv" << QStringList{"import", "--layout", "bank", "@p.csv", "@n.cds"};
        QTest::newRow("CSV a device") << "device" << "d.csv" << QStringList{"merge", "--layout", "bank", "@d.csv", "@mondai.cds"};
    }
    void writesNeverFollowLinksAndPipesAreRefused()
    {
        QFETCH(QString, planted);
        QFETCH(QString, at);
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("elsewhere"));
        const QString target = dir.filePath("elsewhere/target.txt");
        Write(target, "keep me");
        MakeBank(dir.filePath("mondai.cds"), {{"0001", 1}});
        {
            std::vector<Row> rows{{Value(0), Value(5), Value(0), Value("0001"), Value(0), Value(1), Value("k"), Value(1),
                                   Value(std::string("\x89PNG\r\n\x1a\n", 8)), Value("q")}};
            QFile::remove(dir.filePath("mondai.cds"));
            Table::CreateFile(dir.filePath("mondai.cds").toStdString(), layouts::Bank(), rows);
        }
        record::LearningRecord().Open(dir.filePath("kiroku.sqlite").toStdString());
        const QString path = dir.filePath(at);
        QDir(dir.path()).mkpath(QFileInfo(path).path());
        if (planted == "link")
            QVERIFY(QFile::link(target, path));
        else if (planted == "dirlink")
            QVERIFY(QFile::link(dir.filePath("elsewhere"), path));
        else if (planted == "device")
            QVERIFY(QFile::link("/dev/zero", path));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QByteArray bank = Read(dir.filePath("mondai.cds"));
        for (QString& a : args)
            if (a.startsWith('@'))
                a = dir.filePath(a.mid(1));
        QElapsedTimer clock;
        clock.start();
        const Result r = Tool(args);
        QCOMPARE(r.code, 1);
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY2(r.err.contains("symbolic link") || r.err.contains("a pipe or a device"), r.err.constData());
        QCOMPARE(Read(target), QByteArray("keep me"));
        QCOMPARE(QDir(dir.filePath("elsewhere")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"target.txt"});
        QCOMPARE(Read(dir.filePath("mondai.cds")), bank);
    }

    // A merge killed while it builds the new bank leaves PATH.new-PID and its journal; the next
    // run removes those of processes that are gone, and only those.
    void leftoversOfAKilledMergeAreRemoved()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("mondai.cds"), csv = dir.filePath("bank.csv");
        MakeBank(file, {{"0001", 1}});
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        QVERIFY(child > 0 && ::waitpid(child, nullptr, 0) == child);
        const QString dead = QString::number(child);   // a process id that no longer runs
        const QString live = QString::number(QCoreApplication::applicationPid());
        for (const QString& name : {file + ".new-" + dead, file + ".new-" + dead + "-journal", file + ".new-" + live,
                                    file + ".bak.tmp"})
            Write(name, "left over");
        Write(csv, kHeader + "0,0,0,0001,0,1,k,1,,q\r\n");
        QCOMPARE(Tool({"merge", "--layout", "bank", csv, file}).code, 0);
        QStringList left = QDir(dir.path()).entryList({"mondai.cds*"}, QDir::Files);
        left.sort();
        QCOMPARE(left, (QStringList{"mondai.cds", "mondai.cds.bak", "mondai.cds.new-" + live}));

        // Real kills at moments spread over an undisturbed merge of a larger bank: whatever they
        // leave, the next merge clears, and the bank opens.
        QByteArray rows;
        for (int n = 1; n <= 2000; ++n)
            rows += "0,0,0," + QByteArray::number(n).rightJustified(4, '0') + ",0,1,k,1,,q\r\n";
        Write(csv, kHeader + rows);
        QElapsedTimer undisturbed;
        undisturbed.start();
        QCOMPARE(Tool({"merge", "--layout", "bank", csv, file}).code, 0);
        const qint64 took = std::max<qint64>(undisturbed.elapsed(), 20);
        for (int round = 0; round < 12; ++round) {
            QProcess p;
            p.start(qEnvironmentVariable("TABLETOOL"), {"merge", "--layout", "bank", csv, file});
            QVERIFY(p.waitForStarted());
            QTest::qSleep(int(took * round / 12));
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
        }
        QCOMPARE(Tool({"merge", "--layout", "bank", csv, file}).code, 0);
        left = QDir(dir.path()).entryList({"mondai.cds.new-*", "*.tmp", ".*.new-*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{"mondai.cds.new-" + live});
        QVERIFY(Tool({"check", file}).out.contains("2000 records"));
    }
};

QTEST_GUILESS_MAIN(TestTabletool)
#include "tst_tabletool.moc"
