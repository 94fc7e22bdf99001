#include "ExamClock.h"

#include <algorithm>

namespace exam {

ExamClock::ExamClock(Milliseconds limit, Source now) : limit_(limit), source_(std::move(now))
{
    timer_.start();
}

qint64 ExamClock::Now() const { return source_ ? source_() : timer_.elapsed(); }

void ExamClock::Start()
{
    startedAt_ = Now();
    started_ = true;
}

ExamClock::Milliseconds ExamClock::Used() const
{
    if (!started_)
        return Milliseconds(0);
    return std::min(limit_, Milliseconds(Now() - startedAt_));
}

ExamClock::Milliseconds ExamClock::Remaining() const { return limit_ - Used(); }

bool ExamClock::Expired() const { return started_ && Remaining() <= Milliseconds(0); }

QString ExamClock::Format(Milliseconds d)
{
    const qint64 seconds = (std::max<qint64>(d.count(), 0) + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace exam
