#include <QProcess>
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

    void missingColumnAndBadCommandsFail()
    {
        QTemporaryDir dir;
        Write(dir.filePath("h.csv"), "Bango,Mondai\r\n0001,q\r\n");
        Result r = Tool({"import", "--layout", "history", dir.filePath("h.csv"), dir.filePath("h.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("Seihi"));
        QCOMPARE(Tool({"frobnicate"}).code, 1);
        QCOMPARE(Tool({"check", dir.filePath("nothing.cds")}).code, 1);
        Write(dir.filePath("junk.cds"), "junk");
        r = Tool({"export", dir.filePath("junk.cds")});
        QCOMPARE(r.code, 1);
        QVERIFY(!r.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTabletool)
#include "tst_tabletool.moc"
