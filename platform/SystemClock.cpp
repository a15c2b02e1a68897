#include "platform/SystemClock.h"

namespace platform {
namespace {
std::optional<QDateTime>& Fixed() {
    static std::optional<QDateTime> fixed;
    return fixed;
}
}  // namespace

void GetSystemTime(SystemTime& out) {
    const QDateTime now = (Fixed() ? *Fixed() : QDateTime::currentDateTimeUtc()).toUTC();
    const QDate d = now.date();
    const QTime t = now.time();
    out = SystemTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

void SetFixedClock(std::optional<QDateTime> utc) { Fixed() = std::move(utc); }

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
