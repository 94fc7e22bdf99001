#include "DataDirectory.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QFile>

namespace {
std::string programPath;
}

void SetProgramPath(const std::string& argv0) { programPath = argv0; }

std::string SettingsFilePath()
{
    std::string argv0 = programPath;
    if (argv0.empty() && QCoreApplication::instance())
        argv0 = QFile::encodeName(QCoreApplication::arguments().value(0)).toStdString();
    return settings::PathFor(argv0);
}

DataDirectory FindDataDirectory(QWidget* parent, const dialogs::OpenFileOptions& dialog)
{
    const std::string path = SettingsFilePath();
    if (auto dir = settings::ReadDataDirectory(path))
        return {*dir, false};

    settings::CreateEmpty(path);
    const QString chosen = dialogs::GetOpenFileName(parent, dialog);
    if (chosen.isEmpty())
        return {std::string(), true};
    const std::string directory = settings::DirectoryPart(QFile::encodeName(chosen).toStdString());
    settings::WriteDataDirectory(path, directory);
    return {directory, false};
}
