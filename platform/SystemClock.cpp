#include "platform/SystemClock.h"

#include <QRegularExpression>

#include <limits>
#include <set>

namespace platform {
namespace {
std::optional<QDateTime>& Fixed() {
    static std::optional<QDateTime> fixed;
    return fixed;
}

// The last time given, in milliseconds since the epoch.
qint64& LastGiven() {
    static qint64 last = std::numeric_limits<qint64>::min();
    return last;
}
}  // namespace

void GetSystemTime(SystemTime& out) {
    qint64 ms = (Fixed() ? *Fixed() : QDateTime::currentDateTimeUtc()).toMSecsSinceEpoch();
    // Record keys are made from this time: a millisecond given already (the
    // clock has not moved on, or was set back) is stepped over.
    if (ms <= LastGiven()) ms = LastGiven() + 1;
    LastGiven() = ms;
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    const QDate d = now.date();
    const QTime t = now.time();
    out = SystemTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

void SetFixedClock(std::optional<QDateTime> utc) {
    Fixed() = std::move(utc);
    LastGiven() = std::numeric_limits<qint64>::min();
}

std::optional<qint64> RecordKeyMSecs(const QString& key) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,4}) (\\d{1,2}):(\\d{1,2}):(\\d{1,2})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(key);
    if (!m.hasMatch()) return std::nullopt;
    const auto n = [&m](int i) { return m.captured(i).toInt(); };
    const QDateTime t(QDate(n(3), n(2), n(1)), QTime(n(4), n(5), n(6), n(7)), Qt::UTC);
    if (!t.isValid()) return std::nullopt;
    return t.toMSecsSinceEpoch();
}

QString RecordKeyTextAfter(qint64 msecs) {
    // The moments given ahead of the clock, so that two rows that outrun one key do not meet.
    static std::set<qint64> givenAhead;
    qint64 ms = msecs + 1;
    while (givenAhead.count(ms)) ++ms;
    givenAhead.insert(ms);
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    const QDate d = at.date();
    const QTime t = at.time();
    return RecordKeyText(SystemTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()});
}

QString RecordKeyText(const SystemTime& t) {
    return QStringLiteral("%1.%2.%3 %4:%5:%6.%7")
        .arg(t.wDay)
        .arg(t.wMonth)
        .arg(t.wYear)
        .arg(t.wHour)
        .arg(t.wMinute)
        .arg(t.wSecond)
        .arg(t.wMilliseconds);
}

}  // namespace platform
