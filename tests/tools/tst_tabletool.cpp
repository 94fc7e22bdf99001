#include "Exception.h"
#include "LearningRecord.h"
#include "Layouts.h"
#include "Table.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

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
            ",,,0003,,,,,,\r\n";
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
            ",,,0003,,,,,,\r\n";
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
        QTest::newRow("beyond 32 bits") << QByteArray("0,2147483648,0,0001,0,1,x,1,,q\r\n") << QByteArray("項目 Nani");
        QTest::newRow("not a number") << QByteArray("0,abc,0,0001,0,1,x,1,,q\r\n") << QByteArray("項目 Nani");
        QTest::newRow("five digits") << QByteArray("0,0,0,00012,0,1,x,1,,q\r\n") << QByteArray("項目 Bango");
        QTest::newRow("zero number") << QByteArray("0,0,0,0000,0,1,x,1,,q\r\n") << QByteArray("0000");
        QTest::newRow("letters") << QByteArray("0,0,0,12a,0,1,x,1,,q\r\n") << QByteArray("項目 Bango");
        QTest::newRow("repeated") << QByteArray("0,0,0,0001,0,1,x,1,,q\r\n0,0,0,0001,0,1,x,1,,q\r\n") << QByteArray("重複");
        QTest::newRow("missing figure") << QByteArray("0,0,0,0001,0,1,x,1,file:none.png,q\r\n") << QByteArray("項目 Zu");
        QTest::newRow("bad base64") << QByteArray("0,0,0,0001,0,1,x,1,base64:@@@,q\r\n") << QByteArray("項目 Zu");
        QTest::newRow("short row") << QByteArray("0,0,0\r\n") << QByteArray("列の数");
        QTest::newRow("open quote") << QByteArray("0,0,0,0001,0,1,\"x,1,,q\r\n") << QByteArray("引用符");
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
        const auto rowOf = [&](const QByteArray& csvRow) {
            Row out;
            const QList<QByteArray> cells = csvRow.split(',');
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const QByteArray c = cells[qsizetype(i)];
                if (c.isEmpty())
                    out.push_back(Value::Null());
                else if (fields[i].type == FieldType::Integer)
                    out.push_back(Value(c.toInt()));
                else
                    out.push_back(Value(c.startsWith("base64:") ? QByteArray::fromBase64(c.mid(7)).toStdString()
                                                               : c.toStdString()));
            }
            return out;
        };
        Table::CreateFile(dir.filePath("kiken.cds").toStdString(), fields,
                          {rowOf("0001,201,base64:AA==,j,1,2,3,1,0,0,,,"), rowOf(row)});
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
            const auto mock = rec.BeginSession({record::kMockHonmen, {}, 7});
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

    void missingColumnAndBadCommandsFail()
    {
        QTemporaryDir dir;
        Write(dir.filePath("h.csv"), "Bango,Mondai\r\n0001,q\r\n");
        Result r = Tool({"import", "--layout", "history", dir.filePath("h.csv"), dir.filePath("h.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Seihi"));
        QCOMPARE(Tool({"frobnicate"}).code, 1);
        r = Tool({"--help"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("hazard (kiken.cds): Bango Bunrui Zu Jokyo") && r.out.contains("Mondai [Bunrui]"),
                 r.out.constData());
        QCOMPARE(Tool({"record-export"}).code, 1);
        QCOMPARE(Tool({"check", dir.filePath("nothing.cds")}).code, 1);
        Write(dir.filePath("junk.cds"), "junk");
        r = Tool({"export", dir.filePath("junk.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(!r.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTabletool)
#include "tst_tabletool.moc"
