#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

// Where the password generator takes its randomness from. Every value lies in 0..32767 and
// all of them are equally likely; tests replace the source to script exact draws.
class IRandomSource {
public:
    static constexpr int kMaxValue = 32767;

    virtual ~IRandomSource() = default;
    virtual int Next() = 0;
};

// Draws from the operating system's cryptographic random source. A time-seeded sequence would
// let anyone who knows when the program started reproduce every generated password.
class CSystemRandomSource : public IRandomSource {
public:
    CSystemRandomSource() = default;
    ~CSystemRandomSource() override;
    CSystemRandomSource(const CSystemRandomSource&) = delete;
    CSystemRandomSource& operator=(const CSystemRandomSource&) = delete;

    // The one source the whole process shares.
    static CSystemRandomSource& Instance();

    // Throws std::system_error when the system cannot deliver random bytes: a password must
    // never come from anything weaker.
    int Next() override;

private:
    void Refill();

    std::mutex m_mutex;
    // Bytes fetched ahead decide future passwords, so they are wiped once used.
    unsigned char m_buffer[256] = {};
    std::size_t m_used = sizeof(m_buffer);
};

// A uniformly distributed index below count (count > 0), built from as many draws as the
// range needs and free of modulo bias: draws that fall into the incomplete last block are
// thrown away. A draw below the block limit maps to (draw modulo count).
std::size_t UniformIndex(IRandomSource& random, std::size_t count);
