// Speed of the cipher, the payload encryption and the escaped text, with the CBC figures also
// given as a ratio to a reference implementation of the same cipher (libmcrypt).

#include "platform/MemFile.h"
#include "security/KivCrypto.h"
#include "security/Rijndael.h"
#include "storage/SQLiteBinary.h"

#include <benchmark/benchmark.h>
#include <mcrypt.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kCipherBytes = 64 * 1024;
constexpr std::size_t kPartBytes = 524288;
constexpr std::size_t kTextBytes = 1024 * 1024;

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

const std::vector<std::uint8_t>& Key() {
    static const std::vector<std::uint8_t> key = RandomBytes(32, 1);
    return key;
}

class CReferenceCipher {
public:
    CReferenceCipher() {
        char algorithm[] = "rijndael-256", mode[] = "cbc";
        m_td = mcrypt_module_open(algorithm, nullptr, mode, nullptr);
        if (m_td == MCRYPT_FAILED)
            return;
        std::vector<std::uint8_t> key = Key(), iv(32, 0);
        if (mcrypt_generic_init(m_td, key.data(), 32, iv.data()) < 0) {
            mcrypt_module_close(m_td);
            m_td = MCRYPT_FAILED;
        }
    }
    ~CReferenceCipher() {
        if (m_td != MCRYPT_FAILED) {
            mcrypt_generic_deinit(m_td);
            mcrypt_module_close(m_td);
        }
    }
    bool Ok() const { return m_td != MCRYPT_FAILED; }
    void Encrypt(std::uint8_t* data, std::size_t n) {
        mcrypt_generic(m_td, data, static_cast<int>(n));
    }
    void Decrypt(std::uint8_t* data, std::size_t n) {
        mdecrypt_generic(m_td, data, static_cast<int>(n));
    }

private:
    MCRYPT m_td = MCRYPT_FAILED;
};

void ReferenceCbc(benchmark::State& state, bool encrypt) {
    CReferenceCipher cipher;
    if (!cipher.Ok()) {
        state.SkipWithError("libmcrypt has no rijndael-256 in cbc mode");
        return;
    }
    std::vector<std::uint8_t> data = RandomBytes(kCipherBytes, 2);
    for (auto _ : state) {
        if (encrypt)
            cipher.Encrypt(data.data(), data.size());
        else
            cipher.Decrypt(data.data(), data.size());
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}

void OurCbc(benchmark::State& state, bool encrypt, bool hardware) {
    if (hardware && !CRijndael::HardwareAvailable()) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    CRijndael::ForceTablePath(!hardware);
    std::vector<std::uint8_t> chain(32, 0), in = RandomBytes(kCipherBytes, 2), out(kCipherBytes);
    CRijndael cipher;
    cipher.MakeKey(Key().data(), chain.data(), 32, 32);
    for (auto _ : state) {
        if (encrypt)
            cipher.Encrypt(in.data(), out.data(), in.size(), CRijndael::CBC);
        else
            cipher.Decrypt(in.data(), out.data(), in.size(), CRijndael::CBC);
        benchmark::DoNotOptimize(out.data());
    }
    CRijndael::ForceTablePath(false);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}

void PartCrypto(benchmark::State& state, bool encrypt, bool hardware) {
    if (hardware && !CRijndael::HardwareAvailable()) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    CRijndael::ForceTablePath(!hardware);
    const std::string key = "5ebe2294ecd0e0f08eab7690d2a6ee69";
    std::vector<std::uint8_t> plain = RandomBytes(kPartBytes, 3);
    CMemFile plainFile(plain.data(), plain.size()), cipherFile;
    {
        CKivCrypto crypto;
        crypto.SetKey(key);
        crypto.Encrypt(plainFile, cipherFile);
    }
    for (auto _ : state) {
        CMemFile out;
        CKivCrypto crypto;
        crypto.SetKey(key);
        if (encrypt) {
            plainFile.SeekToBegin();
            crypto.Encrypt(plainFile, out);
        } else {
            cipherFile.SeekToBegin();
            crypto.Decrypt(cipherFile, out);
        }
        benchmark::DoNotOptimize(out.GetData());
    }
    CRijndael::ForceTablePath(false);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kPartBytes));
}

void EscapedEncode(benchmark::State& state) {
    std::vector<std::uint8_t> bytes = RandomBytes(kTextBytes, 4);
    CSQLiteBinary binary(bytes.data(), static_cast<int>(bytes.size()));
    for (auto _ : state) {
        std::string text = binary.ToText();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

void EscapedDecode(benchmark::State& state) {
    std::vector<std::uint8_t> bytes = RandomBytes(kTextBytes, 4);
    std::string text = CSQLiteBinary(bytes.data(), static_cast<int>(bytes.size())).ToText();
    CSQLiteBinary binary;
    for (auto _ : state) {
        if (binary.FromText(text) != 1)
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(binary.GetData());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

BENCHMARK_CAPTURE(ReferenceCbc, Encrypt, true)->Name("CbcEncrypt/libmcrypt");
BENCHMARK_CAPTURE(OurCbc, EncryptTable, true, false)->Name("CbcEncrypt/table");
BENCHMARK_CAPTURE(OurCbc, EncryptAesni, true, true)->Name("CbcEncrypt/aesni");
BENCHMARK_CAPTURE(ReferenceCbc, Decrypt, false)->Name("CbcDecrypt/libmcrypt");
BENCHMARK_CAPTURE(OurCbc, DecryptTable, false, false)->Name("CbcDecrypt/table");
BENCHMARK_CAPTURE(OurCbc, DecryptAesni, false, true)->Name("CbcDecrypt/aesni");
BENCHMARK_CAPTURE(PartCrypto, Encrypt, true, true)->Name("KivCrypto524288/Encrypt/aesni");
BENCHMARK_CAPTURE(PartCrypto, Decrypt, false, true)->Name("KivCrypto524288/Decrypt/aesni");
BENCHMARK_CAPTURE(PartCrypto, EncryptTable, true, false)->Name("KivCrypto524288/Encrypt/table");
BENCHMARK_CAPTURE(PartCrypto, DecryptTable, false, false)->Name("KivCrypto524288/Decrypt/table");
BENCHMARK(EscapedEncode)->Name("EscapedText/Encode");
BENCHMARK(EscapedDecode)->Name("EscapedText/Decode");

// Prints as usual and keeps each benchmark's bytes per second for the ratio lines.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (run.error_occurred || it == run.counters.end())
                continue;
            // With --benchmark_repetitions the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    m_medians[run.run_name.str()] = it->second.value;
            } else {
                m_rates[run.run_name.str()] = it->second.value;
            }
        }
    }

    void PrintSummary() const {
        std::printf("\nCBC with 32-byte key and block, %zu-byte buffer, ratio to libmcrypt:\n",
                    kCipherBytes);
        for (const char* direction : {"CbcEncrypt", "CbcDecrypt"})
            for (const char* path : {"table", "aesni"}) {
                double ours = Rate(std::string(direction) + "/" + path);
                double reference = Rate(std::string(direction) + "/libmcrypt");
                if (ours > 0 && reference > 0)
                    std::printf("  %s/%-5s %8.1f MB/s  %5.2fx\n", direction, path, ours / 1e6,
                                ours / reference);
            }
        std::printf("Payload part of %zu bytes and escaped text of %zu random bytes:\n", kPartBytes,
                    kTextBytes);
        for (const char* name : {"KivCrypto524288/Encrypt/aesni", "KivCrypto524288/Decrypt/aesni",
                                 "KivCrypto524288/Encrypt/table", "KivCrypto524288/Decrypt/table",
                                 "EscapedText/Encode", "EscapedText/Decode"})
            if (double rate = Rate(name); rate > 0)
                std::printf("  %-30s %8.1f MB/s\n", name, rate / 1e6);
    }

private:
    double Rate(const std::string& name) const {
        if (auto it = m_medians.find(name); it != m_medians.end())
            return it->second;
        auto it = m_rates.find(name);
        return it == m_rates.end() ? 0 : it->second;
    }

    std::map<std::string, double> m_rates;
    std::map<std::string, double> m_medians;
};

// Our cipher and the reference must agree before their speeds mean anything.
void CheckAgainstReference() {
    CReferenceCipher reference;
    if (!reference.Ok()) {
        std::printf("libmcrypt: rijndael-256/cbc not available\n");
        return;
    }
    std::vector<std::uint8_t> data = RandomBytes(4096, 5), ours(data.size()), chain(32, 0);
    CRijndael cipher;
    cipher.MakeKey(Key().data(), chain.data(), 32, 32);
    cipher.Encrypt(data.data(), ours.data(), data.size(), CRijndael::CBC);
    reference.Encrypt(data.data(), data.size());
    std::printf("libmcrypt rijndael-256/cbc output %s ours\n",
                data == ours ? "matches" : "DIFFERS FROM");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CheckAgainstReference();
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
