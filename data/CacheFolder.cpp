#include "CacheFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace cachefolder {

std::string FileFor(const std::string& kind, const std::string& source, const std::string& suffix)
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    const QByteArray path = QFileInfo(QString::fromStdString(source)).absoluteFilePath().toUtf8();
    const QByteArray digest = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32);
    return (cache + "/lentavo/" + QString::fromStdString(kind) + "/" + QString::fromLatin1(digest) + "." +
            QString::fromStdString(suffix))
        .toStdString();
}

bool MakeFolderFor(const std::string& file)
{
    const QString folder = QFileInfo(QString::fromStdString(file)).absolutePath();
    return QDir().mkpath(folder) &&
           QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace cachefolder
