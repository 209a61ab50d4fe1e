#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

// Windows file times: 100-nanosecond intervals since 1601-01-01 00:00 UTC, the form every
// time in a data file is stored in.

// 1970-01-01 00:00 UTC as a file time.
inline constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;

// The current UTC time.
std::uint64_t CurrentFileTime();

std::uint64_t FileTimeFromSystemTime(std::chrono::system_clock::time_point time);
std::chrono::system_clock::time_point SystemTimeFromFileTime(std::uint64_t fileTime);
std::uint64_t FileTimeFromUnixTime(std::time_t seconds);

// The last-write time of a file; 0 when it cannot be read.
std::uint64_t FileWriteTime(const std::filesystem::path& path);
std::uint64_t FileTimeFromFileClock(std::filesystem::file_time_type time);

// Broken-down local time of a file time; false when it cannot be converted.
bool FileTimeToLocalTm(std::uint64_t fileTime, std::tm& local);

// The local time in the user's short date format followed by the time format; empty when
// the time cannot be converted.
std::string FileTimeToLocalText(std::uint64_t fileTime);
