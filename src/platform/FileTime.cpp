#include "platform/FileTime.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QString>
#include <QTime>

#include <sys/stat.h>

namespace {

using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kUnixEpochSeconds = 11644473600; // 1601-01-01 to 1970-01-01

std::uint64_t FromUnixSecondsAndTicks(std::int64_t seconds, std::int64_t ticks) {
    if (seconds < -kUnixEpochSeconds)
        return 0;
    return static_cast<std::uint64_t>(seconds + kUnixEpochSeconds) * kTicksPerSecond +
           static_cast<std::uint64_t>(ticks);
}

// Seconds since 1970 of a file time; false for times the system cannot represent (the high
// bit set, as Windows refuses them too).
bool UnixSeconds(std::uint64_t fileTime, std::int64_t& seconds) {
    if (fileTime >> 63)
        return false;
    seconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kUnixEpochSeconds;
    return true;
}

} // namespace

std::uint64_t CurrentFileTime() {
    return FileTimeFromSystemTime(std::chrono::system_clock::now());
}

std::uint64_t FileTimeFromSystemTime(std::chrono::system_clock::time_point time) {
    const auto ticks = std::chrono::floor<Ticks>(time.time_since_epoch()).count();
    const std::int64_t seconds =
        ticks >= 0 ? ticks / kTicksPerSecond : -((-ticks + kTicksPerSecond - 1) / kTicksPerSecond);
    return FromUnixSecondsAndTicks(seconds, ticks - seconds * kTicksPerSecond);
}

std::chrono::system_clock::time_point SystemTimeFromFileTime(std::uint64_t fileTime) {
    const auto since = static_cast<std::int64_t>(fileTime - kFileTimeUnixEpoch);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(Ticks(since)));
}

std::uint64_t FileTimeFromUnixTime(std::time_t seconds) {
    return FromUnixSecondsAndTicks(static_cast<std::int64_t>(seconds), 0);
}

std::uint64_t FileWriteTime(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return FromUnixSecondsAndTicks(info.st_mtim.tv_sec, info.st_mtim.tv_nsec / 100);
}

std::uint64_t FileTimeFromFileClock(std::filesystem::file_time_type time) {
    return FileTimeFromSystemTime(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(time)));
}

bool FileTimeToLocalTm(std::uint64_t fileTime, std::tm& local) {
    std::int64_t seconds = 0;
    if (!UnixSeconds(fileTime, seconds))
        return false;
    const std::time_t t = static_cast<std::time_t>(seconds);
    return ::localtime_r(&t, &local) != nullptr;
}

std::string FileTimeToLocalText(std::uint64_t fileTime) {
    std::int64_t seconds = 0;
    if (!UnixSeconds(fileTime, seconds))
        return {};
    QDateTime time = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    if (!time.isValid())
        return {};
    // Shown unconverted when the local conversion fails.
    const QDateTime local = time.toLocalTime();
    if (local.isValid())
        time = local;
    // Lists format two times per row: the locale and the time format are worked out once.
    // The long time format, without the zone name Qt appends to it.
    static const QLocale locale;
    static const QString timeFormat = locale.timeFormat(QLocale::LongFormat)
                                          .remove(QRegularExpression(QStringLiteral("\\s*t+")))
                                          .trimmed();
    const QString text = locale.toString(time.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(time.time(), timeFormat);
    return text.toStdString();
}
