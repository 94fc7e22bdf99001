#include "LanguageChoice.h"

#include "DataDirectory.h"
#include "Settings.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>

LanguageChoice& LanguageChoice::Instance()
{
    static LanguageChoice* choice = new LanguageChoice;   // lives as long as the program
    return *choice;
}

void LanguageChoice::Choose(const honyaku::Language* language, honyaku::Mode mode)
{
    const bool otherLanguage = language != language_;
    language_ = language;
    mode_ = mode;
    if (otherLanguage) {
        if (installed_)
            QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
        // Japanese is the source language: no translator at all.
        if (language_) {
            const QString name = QStringLiteral("lentavo_") + QString::fromLatin1(language_->qt);
            installed_ = translator_.load(name, QStringLiteral(":/i18n")) &&
                         QCoreApplication::installTranslator(&translator_);
            if (!installed_)
                std::fprintf(stderr, "lentavo: no translation of the program's texts: %s\n", language_->code);
        }
        LoadCatalogue();
    }
    emit changed();
}

namespace {
// What tells a translations file that tabletool replaced since it was read: its time and size.
std::string FileStamp(const std::string& path)
{
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {};
    const auto size = std::filesystem::file_size(path, ec);
    return std::to_string(time.time_since_epoch().count()) + "/" + std::to_string(ec ? 0 : size);
}
}  // namespace

void LanguageChoice::UseDataDirectory(const std::string& dir)
{
    const std::string path = (std::filesystem::path(dir) / honyaku::kFileName).string();
    if (dir == directory_ && FileStamp(path) == stamp_)
        return;
    directory_ = dir;
    LoadCatalogue();
}

void LanguageChoice::LoadCatalogue()
{
    catalogue_ = {};
    stamp_.clear();
    if (!language_ || directory_.empty())
        return;
    const std::string path = (std::filesystem::path(directory_) / honyaku::kFileName).string();
    stamp_ = FileStamp(path);
    try {
        catalogue_ = honyaku::Catalogue::Load(path, language_->code);
    } catch (const std::exception& e) {
        // A translations file that cannot be read leaves the Japanese; the drill goes on.
        std::fprintf(stderr, "lentavo: %s\n", e.what());
    }
}

QString LanguageChoice::Statement(const std::string& source, const std::string& bango, const std::string& field,
                                  const QString& japanese) const
{
    if (showsJapaneseOnly() || japanese.isEmpty())
        return japanese;
    // The advice is guidance, not a statement of the test to be read in Japanese, and its box
    // holds a few lines: in the pupil's language alone, so that it is not scrolled out of sight.
    const honyaku::Mode mode =
        source == honyaku::kAdviceSource && mode_ == honyaku::Mode::Both ? honyaku::Mode::Translation : mode_;
    return honyaku::Present(catalogue_.Find(source, bango, field, japanese), mode, japanese,
                            tr("（日本語の文が変わったため、この訳は表示しません。）"));
}

namespace {
std::string LanguageFilePath()
{
    const std::string settings = SettingsFilePath();
    const std::size_t slash = settings.rfind('/');
    return (slash == std::string::npos ? std::string() : settings.substr(0, slash + 1)) + settings::kLanguageFileName;
}
}  // namespace

void LanguageChoice::Restore()
{
    const auto setting = settings::ReadLanguage(LanguageFilePath());
    if (!setting)
        return;
    Choose(honyaku::FindLanguage(setting->language), honyaku::ModeNamed(setting->mode).value_or(honyaku::Mode::Both));
}

void LanguageChoice::Remember() const
{
    try {
        settings::WriteLanguage(LanguageFilePath(),
                                {language_ ? language_->shortName : "ja", honyaku::ModeName(mode_)});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lentavo: %s\n", e.what());
    }
}
