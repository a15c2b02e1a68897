#pragma once
// The UTC clock behind record keys, in the parts a system time has. Tests can
// stop it at a given moment.

#include <QDateTime>
#include <QString>
#include <optional>

namespace platform {

struct SystemTime {
    int wYear = 0, wMonth = 0, wDay = 0, wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};

// The current UTC time, or the fixed time a test has set; never a
// millisecond this process has been given before (a later one instead), so
// that record keys made from it do not repeat.
void GetSystemTime(SystemTime& out);

// Fix the clock at a UTC moment; std::nullopt lets it run again. Either way
// the next time given is the clock's own again.
void SetFixedClock(std::optional<QDateTime> utc);

// Record key text: day.month.year hour:minute:second.millisecond, no leading zeros.
QString RecordKeyText(const SystemTime& t);

// The moment a record key text stands for, in milliseconds since the epoch;
// std::nullopt for a text of another form.
std::optional<qint64> RecordKeyMSecs(const QString& key);

// A record key text for a moment later than the given one (milliseconds
// since the epoch), for a row that must outrun a key written by a clock that
// runs ahead of this one: the first such moment not given before by this
// function. The clock behind GetSystemTime is left as it is.
QString RecordKeyTextAfter(qint64 msecs);

}  // namespace platform
