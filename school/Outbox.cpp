#include "Outbox.h"

#include "Delivery.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "SafeFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace school {

std::string Dir(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

namespace {

void ReadMarks(const QJsonObject& o, RecordMarks& m)
{
    m.folderId = o["folder_id"].toString().toStdString();
    m.answersDone = o["answers_done"].toInteger();
    m.sessionsDone = o["sessions_done"].toInteger();
    const QJsonObject sent = o["sessions_sent"].toObject();
    for (auto it = sent.begin(); it != sent.end(); ++it)
        m.sessionsSent[it.key().toLongLong()] = it.value().toString().toStdString();
    m.readSessions = o["read_sessions"].toInteger();
    m.readAnswers = o["read_answers"].toInteger();
}

void WriteMarks(QJsonObject& o, const RecordMarks& m)
{
    QJsonObject sent;
    for (const auto& [id, print] : m.sessionsSent)
        sent[QString::number(id)] = QString::fromStdString(print);
    o["folder_id"] = QString::fromStdString(m.folderId);
    o["answers_done"] = qint64(m.answersDone);
    o["sessions_done"] = qint64(m.sessionsDone);
    o["sessions_sent"] = sent;
    o["read_sessions"] = qint64(m.readSessions);
    o["read_answers"] = qint64(m.readAnswers);
}

}  // namespace

std::optional<Outbox> LoadOutbox(const std::string& folder)
{
    std::string text;
    try {
        text = safefile::Read(Dir(folder) + kOutboxFile, 16 << 20);
    } catch (const Exception&) {
        return std::nullopt;
    }
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    Outbox b;
    ReadMarks(o, b);
    if (o.contains("incoming")) {
        RecordMarks incoming;
        ReadMarks(o["incoming"].toObject(), incoming);
        std::error_code ec;
        if (QUuid(QString::fromStdString(incoming.folderId)).isNull())
            throw Exception(Dir(folder) + kOutboxFile + " が壊れています / is damaged");
        // Renamed into place: the rebuilt record and its marks hold.
        if (!std::filesystem::exists(Dir(folder) + kIncomingRecord, ec) && !ec)
            static_cast<RecordMarks&>(b) = incoming;
    }
    if (QUuid(QString::fromStdString(b.folderId)).isNull())
        throw Exception(Dir(folder) + kOutboxFile + " が壊れています / is damaged");
    b.token = o["token"].toString().toStdString();
    b.countersToken = o["counters_token"].toString().toStdString();
    b.countersSeq = o["counters_seq"].toInteger();
    b.countersSent = o["counters_sent"].toString().toStdString();
    b.testDateSent = o["test_date_sent"].toString().toStdString();
    return b;
}

void SaveOutbox(const std::string& folder, const Outbox& b)
{
    QJsonObject o{{"token", QString::fromStdString(b.token)},
                  {"counters_token", QString::fromStdString(b.countersToken)},
                  {"counters_seq", qint64(b.countersSeq)},
                  {"counters_sent", QString::fromStdString(b.countersSent)},
                  {"test_date_sent", QString::fromStdString(b.testDateSent)}};
    WriteMarks(o, b);
    if (b.incoming) {
        QJsonObject incoming;
        WriteMarks(incoming, *b.incoming);
        o["incoming"] = incoming;
    }
    const std::string path = Dir(folder) + kOutboxFile;
    safefile::Write(path, QJsonDocument(o).toJson().toStdString());
    // It holds the sign-in's token: the PC's other users have no business with it.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

Outbox LoadOrMakeOutbox(const std::string& folder)
{
    Outbox b = LoadOutbox(folder).value_or(Outbox{});
    if (b.folderId.empty())
        b.folderId = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    return b;
}


std::string TestDatePrint(const record::PupilProfile& profile)
{
    return profile.test && profile.testDate ? *profile.test + "|" + *profile.testDate : "|";
}

bool TestDateToSend(const std::string& print, const Outbox& b)
{
    return print != b.testDateSent && !(b.testDateSent.empty() && print == "|");
}

FolderLock::FolderLock(const std::string& folder)
{
    const std::string path = Dir(folder) + ".school-delivery.lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        throw Exception("送信の準備ができません: " + path);
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd_);
            throw Exception("送信の準備ができません: " + path);
        }
    }
}

FolderLock::~FolderLock()
{
    ::close(fd_);   // releases the lock
}

}  // namespace school
