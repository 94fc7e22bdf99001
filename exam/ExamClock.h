#pragma once
// The exam's countdown on a monotonic clock: changing the system time neither adds nor takes
// time. At 0:00 the exam is over.

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <functional>

namespace exam {

class ExamClock {
public:
    using Milliseconds = std::chrono::milliseconds;
    // Milliseconds on a monotonic clock; tests give their own.
    using Source = std::function<qint64()>;

    explicit ExamClock(Milliseconds limit, Source now = {});

    void Start();
    bool Started() const { return started_; }
    Milliseconds Limit() const { return limit_; }
    // Time left, never below zero; the whole limit before Start.
    Milliseconds Remaining() const;
    // Time taken, never above the limit.
    Milliseconds Used() const;
    bool Expired() const;

    // "m:ss" of a duration, whole seconds rounded up, so the display shows 0:00 only once the
    // time is over and the limit itself at the start ("30:00").
    static QString Format(Milliseconds d);

private:
    qint64 Now() const;

    Milliseconds limit_;
    Source source_;
    QElapsedTimer timer_;
    qint64 startedAt_ = 0;
    bool started_ = false;
};

}  // namespace exam
