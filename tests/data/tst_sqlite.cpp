// The connection every table file and the learning record is opened through: a file prepared by
// another program with a trigger, a schema edit or an extension gets none of them run, and a
// failed write transaction leaves nothing behind.

#include "Exception.h"
#include "Sqlite.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

class TestDb : public sqlite::Connection {
public:
    explicit TestDb(const std::string& path, int maxValueBytes = 1000)
        : Connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, maxValueBytes, 100,
                     {"開けません", "読めません", "失敗しました", "書き込めません"})
    {
    }
    [[noreturn]] void Fail(const std::string& what) const override
    {
        throw Exception(what + " (" + sqlite3_errmsg(get()) + ")");
    }
};

// Raw SQL as another program would run it, with none of our settings.
void Prepare(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open(path.c_str(), &db) == SQLITE_OK);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    const QString msg = sqlite3_errmsg(db);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(msg));
}

std::int64_t Count(sqlite::Connection& db, const char* table)
{
    sqlite::Statement st(db, std::string("SELECT count(*) FROM ") + table);
    return st.Step() ? st.Int(0) : -1;
}

}  // namespace

class TestSqlite : public QObject {
    Q_OBJECT
private slots:
    void aFileFromElsewhereRunsNothingOfItsOwn()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("x.db").toStdString();
        Prepare(path.c_str(), "CREATE TABLE t(a); CREATE TABLE spy(a);"
                              "CREATE TRIGGER tr AFTER INSERT ON t BEGIN INSERT INTO spy VALUES(1); END;"
                              "CREATE VIEW v AS SELECT a FROM t;");
        TestDb db(path);
        // A trigger would copy every row written: it does not fire.
        db.Exec("INSERT INTO t VALUES(1)", "書き込めません");
        QCOMPARE(Count(db, "t"), 1);
        QCOMPARE(Count(db, "spy"), 0);
        // A view could run any query when read: it is refused as the statement is prepared.
        try {
            sqlite::Statement st(db, "SELECT * FROM v");
            QFAIL("a view was read");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith(QStringLiteral("読めません (")), e.what());
        }
        // Defensive mode: the schema cannot be rewritten from SQL.
        QVERIFY_THROWS_EXCEPTION(Exception, db.Exec("PRAGMA writable_schema = ON;"
                                                    "UPDATE sqlite_schema SET sql = 'x' WHERE name = 't'",
                                                    "書き込めません"));
        // No extension is loaded, whatever a statement asks.
        QVERIFY_THROWS_EXCEPTION(Exception, db.Exec("SELECT load_extension('/nonexistent')", "失敗しました"));
        // Nor another database attached.
        QVERIFY_THROWS_EXCEPTION(Exception, db.Exec("ATTACH DATABASE ':memory:' AS other", "失敗しました"));
    }

    void valuesAboveTheLimitAreRefused()
    {
        QTemporaryDir dir;
        TestDb db(dir.filePath("x.db").toStdString(), 1000);
        db.Exec("CREATE TABLE t(a)", "書き込めません");
        sqlite::Statement ok(db, "INSERT INTO t VALUES(?)");
        ok.BindBlob(1, std::string(500, 'x')).Run();   // a row's own bytes count too
        sqlite::Statement big(db, "INSERT INTO t VALUES(?)");
        QVERIFY_THROWS_EXCEPTION(Exception, big.BindBlob(1, std::string(1001, 'x')));
    }

    void aWriteTransactionLeftByAnExceptionIsRolledBack()
    {
        QTemporaryDir dir;
        TestDb db(dir.filePath("x.db").toStdString());
        db.Exec("CREATE TABLE t(a)", "書き込めません");
        try {
            sqlite::Transaction tx(db);
            db.Exec("INSERT INTO t VALUES(1)", "書き込めません");
            db.Exec("INSERT INTO nowhere VALUES(1)", "書き込めません");
            tx.Commit();
            QFAIL("the failing statement was not reported");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith(QStringLiteral("書き込めません (")), e.what());
        }
        QCOMPARE(Count(db, "t"), 0);
        {
            sqlite::Transaction tx(db);
            db.Exec("INSERT INTO t VALUES(2)", "書き込めません");
            tx.Commit();
        }
        QCOMPARE(Count(db, "t"), 1);
    }

    void textComesBackWithEveryByte()
    {
        QTemporaryDir dir;
        TestDb db(dir.filePath("x.db").toStdString());
        const std::string text("a\0b\xA4\xA2", 5);
        sqlite::Statement st(db, "SELECT ?, ?");
        st.Bind(1, text).Bind(2, std::optional<int>());
        QVERIFY(st.Step());
        QCOMPARE(st.Text(0), text);
        QVERIFY(st.IsNull(1) && !st.OptInt(1));
        QVERIFY(!st.Step());
    }
};

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
