#include "common/Fixtures.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace txtest {

std::filesystem::path FixturesDir() {
    const char* env = std::getenv("TX_FIXTURES_DIR");
    std::filesystem::path dir(env && *env ? env : TX_FIXTURES_DEFAULT);
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "txtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace txtest
