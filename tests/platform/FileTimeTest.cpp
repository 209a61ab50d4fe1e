#include "platform/FileTime.h"
#include "common/Fixtures.h"

#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::uint64_t kNov15th2004 = 127449882000000000ULL; // 2004-11-15 10:30:00 UTC

// Runs a test in a fixed zone and locale, restoring both afterwards.
class FileTimeLocal : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (tz)
            m_tz = tz;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override {
        if (m_hadTz)
            ::setenv("TZ", m_tz.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
        QLocale::setDefault(QLocale::system());
    }

private:
    bool m_hadTz = false;
    std::string m_tz;
};

} // namespace

TEST(FileTime, UnixEpochAndKnownDate) {
    EXPECT_EQ(FileTimeFromUnixTime(0), kFileTimeUnixEpoch);
    EXPECT_EQ(FileTimeFromUnixTime(1100514600), kNov15th2004);
    EXPECT_EQ(FileTimeFromUnixTime(-11644473600), 0u);
    EXPECT_EQ(FileTimeFromUnixTime(-11644473601), 0u); // before 1601 clamps
}

TEST(FileTime, SystemTimeRoundTripKeepsHundredNanoseconds) {
    using namespace std::chrono;
    const auto time =
        system_clock::time_point(seconds(1100514600) + microseconds(123456) + nanoseconds(700));
    const std::uint64_t fileTime = FileTimeFromSystemTime(time);
    EXPECT_EQ(fileTime, kNov15th2004 + 1234567);
    EXPECT_EQ(SystemTimeFromFileTime(fileTime), time);
    // Before 1970 the ticks still count up from 1601.
    EXPECT_EQ(FileTimeFromSystemTime(system_clock::time_point(-nanoseconds(100))),
              kFileTimeUnixEpoch - 1);
}

TEST(FileTime, WriteTimeOfAFile) {
    txtest::ScratchDir dir;
    const auto path = dir / "data.tpx";
    std::ofstream(path) << "x";
    const struct timespec times[2] = {{1100514600, 500}, {1100514600, 123456700}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FileWriteTime(path), kNov15th2004 + 1234567);
    EXPECT_EQ(FileTimeFromFileClock(std::filesystem::last_write_time(path)),
              kNov15th2004 + 1234567);
    EXPECT_EQ(FileWriteTime(dir / "missing.tpx"), 0u);
}

TEST_F(FileTimeLocal, BrokenDownLocalTime) {
    std::tm local{};
    ASSERT_TRUE(FileTimeToLocalTm(kNov15th2004, local));
    EXPECT_EQ(local.tm_year, 104);
    EXPECT_EQ(local.tm_mon, 10);
    EXPECT_EQ(local.tm_mday, 15);
    EXPECT_EQ(local.tm_hour, 10);
    EXPECT_EQ(local.tm_min, 30);
    EXPECT_FALSE(FileTimeToLocalTm(0x8000000000000000ULL, local));
}

TEST_F(FileTimeLocal, TextIsShortDateThenTime) {
    const std::string text = FileTimeToLocalText(kNov15th2004);
    const QLocale c = QLocale::c();
    const std::string date = c.toString(QDate(2004, 11, 15), QLocale::ShortFormat).toStdString();
    EXPECT_EQ(text.rfind(date + " ", 0), 0u) << text;
    EXPECT_NE(text.find("10:30:00"), std::string::npos) << text;
    EXPECT_EQ(text.find("UTC"), std::string::npos) << text;
    EXPECT_EQ(FileTimeToLocalText(0xFFFFFFFFFFFFFFFFULL), "");
}
