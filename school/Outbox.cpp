#include "Outbox.h"

#include "Delivery.h"
#include "Exception.h"
#include "SafeFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <filesystem>

namespace school {

std::string Dir(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

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
    b.folderId = o["folder_id"].toString().toStdString();
    if (QUuid(QString::fromStdString(b.folderId)).isNull())
        throw Exception(Dir(folder) + kOutboxFile + " が壊れています / is damaged");
    b.token = o["token"].toString().toStdString();
    b.answersDone = o["answers_done"].toInteger();
    b.sessionsDone = o["sessions_done"].toInteger();
    const QJsonObject sent = o["sessions_sent"].toObject();
    for (auto it = sent.begin(); it != sent.end(); ++it)
        b.sessionsSent[it.key().toLongLong()] = it.value().toString().toStdString();
    b.countersToken = o["counters_token"].toString().toStdString();
    b.countersSeq = o["counters_seq"].toInteger();
    b.countersSent = o["counters_sent"].toString().toStdString();
    return b;
}

void SaveOutbox(const std::string& folder, const Outbox& b)
{
    QJsonObject sent;
    for (const auto& [id, print] : b.sessionsSent)
        sent[QString::number(id)] = QString::fromStdString(print);
    const QJsonObject o{{"folder_id", QString::fromStdString(b.folderId)},
                        {"token", QString::fromStdString(b.token)},
                        {"answers_done", qint64(b.answersDone)},
                        {"sessions_done", qint64(b.sessionsDone)},
                        {"sessions_sent", sent},
                        {"counters_token", QString::fromStdString(b.countersToken)},
                        {"counters_seq", qint64(b.countersSeq)},
                        {"counters_sent", QString::fromStdString(b.countersSent)}};
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

}  // namespace school
