#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace txtest {

// The shared fixtures folder, or an empty path when it is not beside the checkout.
std::filesystem::path FixturesDir();

// Reads a whole file; fails the test when it cannot.
std::string ReadFile(const std::filesystem::path& path);

// A private folder for one test, removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace txtest

// Skips the current test when the shared fixtures are missing.
#define TX_REQUIRE_FIXTURES()                                                                      \
    do {                                                                                           \
        if (::txtest::FixturesDir().empty())                                                       \
            GTEST_SKIP() << "shared fixtures folder not found";                                    \
    } while (0)
