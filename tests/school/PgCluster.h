#pragma once
// A throwaway PostgreSQL cluster for one test (tests/school/pgcluster.sh): started in a new
// folder under the system's temporary folder, stopped and removed when the object goes.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>
#include <string>
#include <utility>

class PgCluster {
public:
    // SCRIPT: pgcluster.sh; by default the one of the test data (LENTAVO_TESTDATA).
    explicit PgCluster(QString script = QString::fromLocal8Bit(qgetenv("LENTAVO_TESTDATA")) + "/school/pgcluster.sh")
        : script_(std::move(script))
    {
        dir_.setAutoRemove(false);   // pgcluster.sh stop removes it, after the server is down
        conninfo_ = Run("start").trimmed().toStdString();
    }
    ~PgCluster() { Run("stop"); }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // The superuser's connection string to database lentavo.
    const std::string& Conninfo() const { return conninfo_; }
    // The same database as another role (trust authentication: any role with LOGIN).
    std::string As(const std::string& role) const { return conninfo_ + " user=" + role; }
    // A clean shutdown and a start again: the server away for a while, its data kept.
    void Pause() { Run("pause"); }
    void Resume() { Run("resume"); }

private:
    QString Run(const QString& command)
    {
        QProcess p;
        // Should this process die before its destructor runs, the cluster goes with it.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGCLUSTER_OWNER_PID", QString::number(QCoreApplication::applicationPid()));
        p.setProcessEnvironment(env);
        p.start(script_, {command, dir_.path()});
        p.waitForFinished(120000);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw std::runtime_error("pgcluster.sh " + command.toStdString() + ": " +
                                     p.readAllStandardError().toStdString());
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QString script_;
    QTemporaryDir dir_{QDir::tempPath() + "/lentavo-pg-XXXXXX"};
    std::string conninfo_;
};
