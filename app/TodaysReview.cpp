#include "TodaysReview.h"

#include "Directory.h"
#include "Exception.h"

#include <QDateTime>

std::optional<int> TodaysReviewCounter::Count(const std::string& settingsFile)
{
    const std::optional<data::Directory> directory = data::Directory::FromSettings(settingsFile);
    if (!directory)
        return std::nullopt;
    try {
        const study::Outlook& outlook = cache_.Get(directory->Path());
        if (outlook.statements.empty())   // no bank there: nothing to count
            return std::nullopt;
        return int(study::TodaysQueue(outlook, QDateTime::currentDateTime()).entries.size());
    } catch (const Exception&) {
        return std::nullopt;
    }
}
