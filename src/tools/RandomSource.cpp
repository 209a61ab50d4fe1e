#include "tools/RandomSource.h"

#include "security/SecureZero.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/random.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint64_t kValueRange = IRandomSource::kMaxValue + 1;

// Kernels without getrandom(2) still have the device; both give the same pool.
bool ReadDevice(unsigned char* out, std::size_t size) {
    int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, out + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == size;
}

} // namespace

CSystemRandomSource::~CSystemRandomSource() {
    SecureZero(m_buffer, sizeof(m_buffer));
}

CSystemRandomSource& CSystemRandomSource::Instance() {
    static CSystemRandomSource source;
    return source;
}

void CSystemRandomSource::Refill() {
    std::size_t done = 0;
    while (done < sizeof(m_buffer)) {
        ssize_t n = ::getrandom(m_buffer + done, sizeof(m_buffer) - done, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == ENOSYS && ReadDevice(m_buffer, sizeof(m_buffer)))
                break;
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        done += static_cast<std::size_t>(n);
    }
    m_used = 0;
}

int CSystemRandomSource::Next() {
    std::lock_guard lock(m_mutex);
    if (m_used + 2 > sizeof(m_buffer))
        Refill();
    unsigned value = (unsigned(m_buffer[m_used]) << 8) | m_buffer[m_used + 1];
    SecureZero(m_buffer + m_used, 2);
    m_used += 2;
    return static_cast<int>(value & IRandomSource::kMaxValue);
}

std::size_t UniformIndex(IRandomSource& random, std::size_t count) {
    // Four draws cover 2^60, more than any pool held in memory.
    std::uint64_t range = kValueRange;
    while (range < count && range <= UINT64_MAX / kValueRange)
        range *= kValueRange;
    const std::uint64_t limit = range - range % count;
    for (;;) {
        std::uint64_t value = 0;
        for (std::uint64_t r = 1; r < range; r *= kValueRange)
            value = value * kValueRange + static_cast<std::uint64_t>(random.Next());
        if (value < limit)
            return static_cast<std::size_t>(value % count);
    }
}
