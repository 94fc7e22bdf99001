#include "TodaysReview.h"

#include "Directory.h"
#include "Exception.h"
#include "Load.h"

#include <QDateTime>

std::optional<int> TodaysReviewCount(const std::string& settingsFile)
{
    const std::optional<data::Directory> directory = data::Directory::FromSettings(settingsFile);
    if (!directory)
        return std::nullopt;
    try {
        const study::Outlook outlook = study::LoadOutlook(directory->Path());
        if (outlook.statements.empty())   // no bank there: nothing to count
            return std::nullopt;
        return int(study::TodaysQueue(outlook, QDateTime::currentDateTime()).entries.size());
    } catch (const Exception&) {
        return std::nullopt;
    }
}
