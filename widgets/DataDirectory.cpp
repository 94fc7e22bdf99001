#include "DataDirectory.h"

#include "Exception.h"
#include "Layouts.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <unistd.h>

namespace {
std::string programPath;

// School mode's folder: unset for the single-pupil program; set and empty while nobody is signed in.
std::optional<std::string> fixedDirectory;

std::string ProgramArgv0()
{
    if (!programPath.empty() || !QCoreApplication::instance())
        return programPath;
    return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
}

// $NAME, else ~/FALLBACK, followed by "/lentavo".
QString UserFolder(const char* name, const char* fallback)
{
    const QByteArray env = qgetenv(name);
    const QString base = env.startsWith('/') ? QFile::decodeName(env) : QDir::homePath() + "/" + fallback;
    return base + QStringLiteral("/lentavo");
}

bool BesideProgramUsable(const std::string& beside)
{
    if (::access(beside.c_str(), F_OK) == 0)
        return true;
    const std::string dir = settings::DirectoryPart(beside);
    return ::access(dir.empty() ? "." : dir.c_str(), W_OK) == 0;
}

// The sample data shipped with the program: beside an installed binary in ../share/lentavo/sample,
// or the build's own sample folder.
QString BundledSampleFolder()
{
    const QString programDir = QFile::decodeName(QByteArray::fromStdString(settings::DirectoryPart(ProgramArgv0())));
    const QDir dir(programDir.isEmpty() ? QStringLiteral(".") : programDir);
    for (const QString& candidate : {dir.absoluteFilePath("../share/lentavo/sample"), dir.absoluteFilePath("sample")})
        if (QFile::exists(candidate + "/" + layouts::kBankFile))
            return candidate;
    return QString();
}
}  // namespace

void SetProgramPath(const std::string& argv0) { programPath = argv0; }

std::string SettingsFilePath()
{
    // School mode: the signed-in pupil's own settings file, in their working folder and naming
    // it, so that whatever reads the settings finds that pupil's data and no one else's. None (a
    // path no file has) while nobody is signed in.
    if (fixedDirectory)
        return fixedDirectory->empty() ? std::string() : *fixedDirectory + settings::kFileName;
    const std::string beside = settings::PathFor(ProgramArgv0());
    if (BesideProgramUsable(beside))
        return beside;
    const QString folder = UserFolder("XDG_CONFIG_HOME", ".config");
    QDir().mkpath(folder);
    return QFile::encodeName(folder + "/" + settings::kFileName).toStdString();
}

std::string DialogStartDirectory()
{
    if (SettingsFilePath() == settings::PathFor(ProgramArgv0()))
        return std::string();
    const QString data = UserFolder("XDG_DATA_HOME", ".local/share");
    const QString sample = BundledSampleFolder();
    if (!QFile::exists(data + "/" + layouts::kBankFile) && !sample.isEmpty() && QDir().mkpath(data))
        CopyBundledSample(sample, data);
    return QFile::encodeName(data).toStdString();
}

void CopyBundledSample(const QString& sample, const QString& data)
{
    // Every table file the program ships, so optional ones (the hazard items) come along too.
    for (const QString& name : QDir(sample).entryList({QStringLiteral("*.cds")}, QDir::Files)) {
        const QString target = data + "/" + name;
        if (!QFile::exists(target) && QFile::copy(sample + "/" + name, target))
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

dialogs::OpenFileOptions DataFileDialog()
{
    dialogs::OpenFileOptions dialog;
    dialog.title = QStringLiteral("問題データファイルを開いてください。");
    dialog.filters = {QStringLiteral("データファイル(*.cds)"), QStringLiteral("すべてのファイル(*)")};
    dialog.fileMustExist = true;
    return dialog;
}

void UseDataDirectory(const std::optional<std::string>& directory)
{
    fixedDirectory = directory;
    if (directory && !directory->empty())
        settings::WriteDataDirectory(SettingsFilePath(), *directory);
}

void UseNoDataDirectory() { fixedDirectory = std::string(); }

DataDirectory FindDataDirectory(QWidget* parent, const dialogs::OpenFileOptions& dialog)
{
    if (fixedDirectory)
        return {*fixedDirectory, fixedDirectory->empty()};
    const std::string path = SettingsFilePath();
    if (auto dir = settings::ReadDataDirectory(path))
        return {*dir, false};

    settings::CreateEmpty(path);
    const QString chosen = dialogs::GetOpenFileName(parent, dialog, QFile::decodeName(QByteArray::fromStdString(DialogStartDirectory())));
    if (chosen.isEmpty())
        return {std::string(), true};
    const std::string directory = settings::DirectoryPart(QFile::encodeName(chosen).toStdString());
    settings::WriteDataDirectory(path, directory);
    return {directory, false};
}

void ReportDataFilesMissing(QWidget* parent, const std::exception_ptr& error)
{
    bool inUse = false;
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const FileInUse&) {
        inUse = true;
    } catch (...) {
    }
    if (inUse) {
        // The data is there and the directory right: the next start must find it again.
        dialogs::ShowMessage(parent, QStringLiteral("データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。"));
    } else {
        // A school's working folder is not the settings file's: it is filled again at sign-in.
        if (!fixedDirectory)
            settings::Remove(SettingsFilePath());
        dialogs::ShowMessage(parent, QStringLiteral("データファイルが、見付かりません。"));
    }
}
