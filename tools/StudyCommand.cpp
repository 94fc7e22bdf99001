#include "StudyCommand.h"

#include "Exception.h"
#include "LearningRecord.h"
#include "Load.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstdio>
#include <iostream>

namespace {

std::string Directory(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

std::string Percent(double recall)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * recall);
    return text;
}

}  // namespace

int StudyCommand(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] != "due" || (args.size() != 2 && args.size() != 4))
        return -1;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    QDateTime now = QDateTime::currentDateTime();
    if (args.size() == 4) {
        if (args[2] != "--on")
            return -1;
        const QDate day = QDate::fromString(QString::fromStdString(args[3]), Qt::ISODate);
        if (!day.isValid())
            throw Exception("日付は YYYY-MM-DD で指定してください: " + args[3]);
        now = QDateTime(day, QTime(12, 0), zone);
    }
    const std::string dir = Directory(args[1]);
    if (!QFileInfo(QString::fromStdString(dir.empty() ? "." : dir)).isDir())
        throw Exception("フォルダがありません: " + args[1]);

    const std::vector<study::Statement> statements = study::Statements(dir);
    study::Learner learner;
    const std::string recordPath = dir + record::kFileName;
    if (QFileInfo::exists(QString::fromStdString(recordPath))) {
        record::LearningRecord rec;
        rec.OpenForReading(recordPath);
        learner = study::Replay(rec);
    }
    study::Options options;
    options.stage = study::CurrentStage(learner, statements);
    const study::Queue queue = study::TodaysQueue(learner, statements, now, zone, options);

    std::cout << "# " << now.date().toString(Qt::ISODate).toStdString() << ": 復習 "
              << queue.entries.size() << " (期日 " << queue.due << ", 上限 " << queue.dailyReviews
              << " + 新規 " << queue.dailyNew << ")\n";
    int n = 0;
    for (const study::QueueEntry& e : queue.entries)
        std::cout << ++n << "\t" << e.key.source << "\t" << e.key.bango << "\t" << e.key.item << "\t"
                  << (e.isNew ? std::string("新規") : Percent(e.recall)) << "\n";
    return 0;
}
