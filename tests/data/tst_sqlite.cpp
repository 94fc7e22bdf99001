// The connection every table file and the learning record is opened through: a file prepared by
// another program with a trigger, a schema edit or an extension gets none of them run, and a
// failed write transaction leaves nothing behind.

#include "Exception.h"
#include "Sqlite.h"

#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace {

class TestDb : public sqlite::Connection {
public:
    explicit TestDb(const std::string& path, int maxValueBytes = 1000, int busyMilliseconds = 100)
        : Connection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, maxValueBytes, busyMilliseconds,
                     {"開けません", "読めません", "失敗しました", "書き込めません"})
    {
    }
    [[noreturn]] void Fail(const std::string& what) const override
    {
        throw Exception(what + " (" + sqlite3_errmsg(get()) + ")");
    }
};

// A function registered without SQLITE_INNOCUOUS, as SQLite sees any that may do harm; it counts
// its calls.
int spyCalls = 0;

void AddSpy(sqlite3* db)
{
    const auto spy = [](sqlite3_context* c, int, sqlite3_value**) {
        ++spyCalls;
        sqlite3_result_int(c, 1);
    };
    QCOMPARE(sqlite3_create_function_v2(db, "spy", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, spy, nullptr,
                                        nullptr, nullptr),
             SQLITE_OK);
}

// Raw SQL as another program would run it, with none of our settings (and spy() known).
void Prepare(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open(path.c_str(), &db) == SQLITE_OK);
    AddSpy(db);
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

    // Where a file's schema calls a function (a CHECK, a column's DEFAULT, a generated column, an
    // index on an expression or a partial one), only functions known to be harmless may run; the
    // file is refused before any other is called.
    void aFilesSchemaCallsNoFunctionThatMayDoHarm_data()
    {
        QTest::addColumn<QByteArray>("schema");
        QTest::newRow("check") << QByteArray("CREATE TABLE t(a CHECK (spy(a)))");
        QTest::newRow("default") << QByteArray("CREATE TABLE t(a, b DEFAULT (spy(2)))");
        QTest::newRow("generated column") << QByteArray("CREATE TABLE t(a, b AS (spy(a)))");
        QTest::newRow("expression index") << QByteArray("CREATE TABLE t(a); CREATE INDEX i ON t(spy(a))");
        QTest::newRow("partial index") << QByteArray("CREATE TABLE t(a); CREATE INDEX i ON t(a) WHERE spy(a)");
    }

    void aFilesSchemaCallsNoFunctionThatMayDoHarm()
    {
        QFETCH(QByteArray, schema);
        QTemporaryDir dir;
        const std::string path = dir.filePath("x.db").toStdString();
        Prepare(path, schema.constData());
        TestDb db(path);
        AddSpy(db.get());
        spyCalls = 0;
        QVERIFY_THROWS_EXCEPTION(Exception, db.Exec("INSERT INTO t(a) VALUES(1)", "書き込めません"));
        QCOMPARE(spyCalls, 0);
    }

    // Another program (a pupil's second window, a school's collection) may hold the write lock a
    // moment: a write waits for it rather than failing at once.
    void aWriteWaitsForAnotherWritersLock()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("x.db").toStdString();
        Prepare(path, "CREATE TABLE t(a)");
        sqlite3* other = nullptr;
        QVERIFY(sqlite3_open(path.c_str(), &other) == SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO t VALUES(1)", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        TestDb db(path, 1000, 30000);
        try {
            db.Exec("INSERT INTO t VALUES(2)", "書き込めません");
        } catch (const Exception& e) {
            release.join();
            sqlite3_close(other);
            QFAIL(e.what());
        }
        release.join();
        sqlite3_close(other);
        QCOMPARE(Count(db, "t"), 2);
    }

    // A file that cannot be opened leaves nothing of SQLite's behind: a program refused a
    // record again and again does not grow with each try.
    void aRefusedOpenLeavesNothingBehind()
    {
        QTemporaryDir dir;
        const std::string unreachable = dir.filePath("none/x.db").toStdString();
        QVERIFY_THROWS_EXCEPTION(Exception, TestDb{unreachable});
        const sqlite3_int64 before = sqlite3_memory_used();
        for (int i = 0; i < 20; ++i)
            QVERIFY_THROWS_EXCEPTION(Exception, TestDb{unreachable});
        QCOMPARE(sqlite3_memory_used(), before);
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
        // The next row of a loop starts with nothing bound, not with the last row's values.
        st.Reset();
        QVERIFY(st.Step());
        QVERIFY(st.IsNull(0));
    }
};

QTEST_GUILESS_MAIN(TestSqlite)
#include "tst_sqlite.moc"
