#include "Settings.h"

#include "Exception.h"
#include "SafeFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace settings {

std::string DirectoryPart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string PathFor(const std::string& argv0) { return DirectoryPart(argv0) + kFileName; }

std::optional<std::string> ReadDataDirectory(const std::string& path)
{
    std::string bytes;
    try {
        bytes = safefile::Read(path, kMaxBytes);
    } catch (const Exception&) {
        return std::nullopt;   // missing, unreadable, a pipe, a device or too large: asked again
    }
    // The whole first line, with the line feed that ends it: the text is taken as it stands.
    const auto lf = bytes.find('\n');
    if (lf != std::string::npos)
        bytes.resize(lf + 1);
    if (bytes.empty())
        return std::nullopt;
    return bytes;
}

bool CreateEmpty(const std::string& path) { return WriteDataDirectory(path, std::string()); }

bool WriteDataDirectory(const std::string& path, const std::string& directory)
{
    // Up to a NUL, as the file always held: the directory is a C string to the program.
    try {
        safefile::Write(path, directory.substr(0, directory.find('\0')));
        return true;
    } catch (const Exception&) {
        return false;
    }
}

std::optional<double> ReadZoom(const std::string& path)
{
    std::string bytes;
    try {
        bytes = safefile::Read(path, kMaxZoomBytes);
    } catch (const Exception&) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = QString::fromLatin1(bytes).trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

void WriteZoom(const std::string& path, double zoom)
{
    safefile::Write(path, QByteArray::number(zoom, 'g', 3).toStdString());
}

void Remove(const std::string& path) { std::remove(path.c_str()); }

std::optional<LanguageSetting> ReadLanguage(const std::string& path)
{
    std::string bytes;
    try {
        bytes = safefile::Read(path, kMaxLanguageBytes);
    } catch (const Exception&) {
        return std::nullopt;
    }
    const QStringList words = QString::fromUtf8(bytes).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    return LanguageSetting{words[0].toStdString(), words.size() > 1 ? words[1].toStdString() : std::string()};
}

void WriteLanguage(const std::string& path, const LanguageSetting& setting)
{
    safefile::Write(path, setting.language + " " + setting.mode + "\n");
}

}  // namespace settings
