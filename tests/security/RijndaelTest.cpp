#include "security/Rijndael.h"

#include "security/CryptoVectors.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using txtest::FromHex;
using txtest::ToHex;

enum class Path { Table, Hardware };

// Every vector runs once on the round tables and once on the AES instructions.
class RijndaelPathTest : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        if (GetParam() == Path::Hardware && !CRijndael::HardwareAvailable())
            GTEST_SKIP() << "no AES instructions on this processor";
        CRijndael::ForceTablePath(GetParam() == Path::Table);
    }
    void TearDown() override { CRijndael::ForceTablePath(false); }

    void ExpectPath(const CRijndael& cipher) const {
        bool hardwareBlock = cipher.GetBlockSize() != 24;
        EXPECT_EQ(cipher.UsesHardware(), GetParam() == Path::Hardware && hardwareBlock);
    }
};

Bytes Random(std::mt19937& rng, std::size_t n) {
    Bytes bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

Bytes Crypt(CRijndael& cipher, const Bytes& in, int mode, bool encrypt) {
    Bytes out(in.size());
    if (encrypt)
        cipher.Encrypt(in.data(), out.data(), in.size(), mode);
    else
        cipher.Decrypt(in.data(), out.data(), in.size(), mode);
    return out;
}

std::string ThrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const CRijndaelException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST_P(RijndaelPathTest, MatchesFips197Aes) {
    struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } const cases[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
         "3925841d02dc09fbdc118597196a0b32"},
        {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
         "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
         "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& c : cases) {
        Bytes key = FromHex(c.key), zero(16, 0);
        CRijndael cipher;
        cipher.MakeKey(key.data(), zero.data(), static_cast<int>(key.size()), 16);
        ExpectPath(cipher);
        Bytes out(16), back(16);
        cipher.EncryptBlock(FromHex(c.plain).data(), out.data());
        EXPECT_EQ(ToHex(out), c.cipher) << c.key;
        cipher.DecryptBlock(out.data(), back.data());
        EXPECT_EQ(ToHex(back), c.plain) << c.key;
    }
}

TEST_P(RijndaelPathTest, MatchesEveryEcbVector) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["rijndael"]["ecb"].toArray();
    ASSERT_EQ(vectors.size(), 72);
    for (const auto& item : vectors) {
        QJsonObject v = item.toObject();
        Bytes key = FromHex(v["key"]), plain = FromHex(v["plaintext"]);
        Bytes zero(32, 0);
        CRijndael cipher;
        cipher.MakeKey(key.data(), zero.data(), v["key_bits"].toInt() / 8,
                       v["block_bits"].toInt() / 8);
        ExpectPath(cipher);
        EXPECT_EQ(cipher.GetRounds(), v["rounds"].toInt());
        Bytes encrypted = Crypt(cipher, plain, CRijndael::ECB, true);
        EXPECT_EQ(ToHex(encrypted), v["ciphertext"].toString().toStdString())
            << v["key_bits"].toInt() << "/" << v["block_bits"].toInt();
        EXPECT_EQ(Crypt(cipher, encrypted, CRijndael::ECB, false), plain);
    }
}

// Checks a CBC or CFB vector: one call, one call per block, decryption, and the chain left
// behind (the next block must chain from chain_after).
void CheckChainedVector(const QJsonObject& v, int mode) {
    Bytes key = FromHex(v["key"]), chain = FromHex(v["chain"]);
    Bytes plain = FromHex(v["plaintext"]), expected = FromHex(v["ciphertext"]);
    Bytes chainAfter = FromHex(v["chain_after"]);
    int keyLength = v["key_bits"].toInt() / 8, blockLength = v["block_bits"].toInt() / 8;
    std::string label = std::to_string(keyLength) + "/" + std::to_string(blockLength);

    CRijndael whole;
    whole.MakeKey(key.data(), chain.data(), keyLength, blockLength);
    EXPECT_EQ(Crypt(whole, plain, mode, true), expected) << label;

    Bytes next(static_cast<std::size_t>(blockLength), 0x5a);
    Bytes continued = Crypt(whole, next, mode, true);
    CRijndael restarted;
    restarted.MakeKey(key.data(), chainAfter.data(), keyLength, blockLength);
    EXPECT_EQ(Crypt(restarted, next, mode, true), continued) << label;

    CRijndael pieces;
    pieces.MakeKey(key.data(), chain.data(), keyLength, blockLength);
    Bytes joined;
    for (std::size_t at = 0; at < plain.size(); at += static_cast<std::size_t>(blockLength)) {
        Bytes block(plain.begin() + static_cast<long>(at),
                    plain.begin() + static_cast<long>(at) + blockLength);
        Bytes out = Crypt(pieces, block, mode, true);
        joined.insert(joined.end(), out.begin(), out.end());
    }
    EXPECT_EQ(joined, expected) << label;

    CRijndael decrypt;
    decrypt.MakeKey(key.data(), chain.data(), keyLength, blockLength);
    EXPECT_EQ(Crypt(decrypt, expected, mode, false), plain) << label;
}

TEST_P(RijndaelPathTest, MatchesEveryCbcVector) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["rijndael"]["cbc"].toArray();
    ASSERT_EQ(vectors.size(), 27);
    for (const auto& item : vectors)
        CheckChainedVector(item.toObject(), CRijndael::CBC);
}

TEST_P(RijndaelPathTest, MatchesEveryCfbVector) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["rijndael"]["cfb"].toArray();
    ASSERT_EQ(vectors.size(), 18);
    for (const auto& item : vectors)
        CheckChainedVector(item.toObject(), CRijndael::CFB);
}

TEST_P(RijndaelPathTest, SplitCallsEqualOneCallInEveryMode) {
    std::mt19937 rng(7);
    for (int keyLength : {16, 24, 32})
        for (int blockLength : {16, 24, 32})
            for (int mode : {CRijndael::ECB, CRijndael::CBC, CRijndael::CFB}) {
                Bytes key = Random(rng, 32), chain = Random(rng, 32);
                std::size_t blocks = 1 + rng() % 40;
                Bytes plain = Random(rng, blocks * static_cast<std::size_t>(blockLength));
                std::size_t split = (rng() % blocks) * static_cast<std::size_t>(blockLength);
                if (split == 0)
                    split = static_cast<std::size_t>(blockLength);

                CRijndael one, two;
                one.MakeKey(key.data(), chain.data(), keyLength, blockLength);
                two.MakeKey(key.data(), chain.data(), keyLength, blockLength);
                Bytes expected = Crypt(one, plain, mode, true);
                Bytes first(plain.begin(), plain.begin() + static_cast<long>(split));
                Bytes second(plain.begin() + static_cast<long>(split), plain.end());
                Bytes joined = Crypt(two, first, mode, true);
                if (!second.empty()) {
                    Bytes rest = Crypt(two, second, mode, true);
                    joined.insert(joined.end(), rest.begin(), rest.end());
                }
                EXPECT_EQ(joined, expected) << keyLength << "/" << blockLength << " " << mode;

                CRijndael back;
                back.MakeKey(key.data(), chain.data(), keyLength, blockLength);
                Bytes firstBack = Crypt(
                    back, Bytes(expected.begin(), expected.begin() + static_cast<long>(split)),
                    mode, false);
                Bytes restBack;
                if (split < expected.size())
                    restBack = Crypt(
                        back, Bytes(expected.begin() + static_cast<long>(split), expected.end()),
                        mode, false);
                firstBack.insert(firstBack.end(), restBack.begin(), restBack.end());
                EXPECT_EQ(firstBack, plain) << keyLength << "/" << blockLength << " " << mode;
            }
}

TEST_P(RijndaelPathTest, InPlaceEqualsSeparateBuffers) {
    std::mt19937 rng(11);
    for (int blockLength : {16, 24, 32})
        for (int mode : {CRijndael::ECB, CRijndael::CBC, CRijndael::CFB})
            for (bool encrypt : {true, false}) {
                Bytes key = Random(rng, 32), chain = Random(rng, 32);
                Bytes data = Random(rng, 37 * static_cast<std::size_t>(blockLength));
                CRijndael separate, inPlace;
                separate.MakeKey(key.data(), chain.data(), 32, blockLength);
                inPlace.MakeKey(key.data(), chain.data(), 32, blockLength);
                Bytes expected = Crypt(separate, data, mode, encrypt);
                if (encrypt)
                    inPlace.Encrypt(data.data(), data.data(), data.size(), mode);
                else
                    inPlace.Decrypt(data.data(), data.data(), data.size(), mode);
                EXPECT_EQ(data, expected) << blockLength << " " << mode << " " << encrypt;
            }
}

INSTANTIATE_TEST_SUITE_P(BothPaths, RijndaelPathTest,
                         ::testing::Values(Path::Table, Path::Hardware), [](const auto& info) {
                             return info.param == Path::Table ? "Table" : "Hardware";
                         });

TEST(RijndaelTest, HardwareAndTablesAgreeOnRandomInput) {
    if (!CRijndael::HardwareAvailable())
        GTEST_SKIP() << "no AES instructions on this processor";
    std::mt19937 rng(3);
    for (int keyLength : {16, 24, 32})
        for (int blockLength : {16, 32})
            for (int mode : {CRijndael::ECB, CRijndael::CBC, CRijndael::CFB})
                for (std::size_t blocks : {1u, 2u, 3u, 4u, 5u, 15u, 16u, 17u, 33u, 70u}) {
                    Bytes key = Random(rng, 32), chain = Random(rng, 32);
                    Bytes data = Random(rng, blocks * static_cast<std::size_t>(blockLength));
                    Bytes results[2][2];
                    for (int path = 0; path < 2; ++path) {
                        CRijndael::ForceTablePath(path == 0);
                        CRijndael cipher;
                        cipher.MakeKey(key.data(), chain.data(), keyLength, blockLength);
                        ASSERT_EQ(cipher.UsesHardware(), path == 1);
                        results[path][0] = Crypt(cipher, data, mode, true);
                        cipher.ResetChain();
                        results[path][1] = Crypt(cipher, data, mode, false);
                    }
                    CRijndael::ForceTablePath(false);
                    EXPECT_EQ(results[0][0], results[1][0]) << keyLength << "/" << blockLength;
                    EXPECT_EQ(results[0][1], results[1][1]) << keyLength << "/" << blockLength;
                }
}

TEST(RijndaelTest, ReportsErrorsWithTheirTexts) {
    Bytes key(32, 1), chain(32, 0), data(256, 0), out(256, 0xee);
    CRijndael cipher;
    EXPECT_EQ(ThrownMessage([&] { cipher.EncryptBlock(data.data(), out.data()); }),
              "Object not Initialized");
    EXPECT_EQ(ThrownMessage([&] { cipher.DecryptBlock(data.data(), out.data()); }),
              "Object not Initialized");
    EXPECT_EQ(ThrownMessage([&] { cipher.Encrypt(data.data(), out.data(), 32); }),
              "Object not Initialized");
    // The checks run in a fixed order: null key, then key length, then block length.
    EXPECT_EQ(ThrownMessage([&] { cipher.MakeKey(nullptr, chain.data(), 15, 15); }), "Empty key");
    EXPECT_EQ(ThrownMessage([&] { cipher.MakeKey(key.data(), chain.data(), 20, 15); }),
              "Incorrect key length");
    EXPECT_EQ(ThrownMessage([&] { cipher.MakeKey(key.data(), chain.data(), 16, 8); }),
              "Incorrect block length");

    cipher.MakeKey(key.data(), chain.data(), 32, 24);
    EXPECT_EQ(ThrownMessage([&] { cipher.Encrypt(data.data(), out.data(), 256, CRijndael::CBC); }),
              "Data not multiple of Block Size");
    EXPECT_EQ(ThrownMessage([&] { cipher.Decrypt(data.data(), out.data(), 0, CRijndael::CBC); }),
              "Data not multiple of Block Size");
    EXPECT_EQ(out, Bytes(256, 0xee)) << "nothing is written when the length check fails";
}

TEST(RijndaelTest, FailedMakeKeyKeepsThePreviousKeyAndChain) {
    Bytes key(32, 9), other(32, 4), chain(32, 0), block(32, 0x33);
    CRijndael cipher, reference;
    cipher.MakeKey(key.data(), chain.data(), 32, 32);
    reference.MakeKey(key.data(), chain.data(), 32, 32);
    Crypt(cipher, block, CRijndael::CBC, true);
    Crypt(reference, block, CRijndael::CBC, true);
    EXPECT_THROW(cipher.MakeKey(other.data(), chain.data(), 32, 12), CRijndaelException);
    EXPECT_EQ(cipher.GetBlockSize(), 32);
    EXPECT_EQ(Crypt(cipher, block, CRijndael::CBC, true),
              Crypt(reference, block, CRijndael::CBC, true));
}

TEST(RijndaelTest, NewKeyOrResetRestartsTheChain) {
    Bytes key(32, 2), chain(32, 0), block(64, 0x10);
    CRijndael cipher;
    cipher.MakeKey(key.data(), chain.data(), 32, 32);
    Bytes first = Crypt(cipher, block, CRijndael::CBC, true);
    EXPECT_NE(Crypt(cipher, block, CRijndael::CBC, true), first);
    cipher.ResetChain();
    EXPECT_EQ(Crypt(cipher, block, CRijndael::CBC, true), first);
    cipher.MakeKey(key.data(), chain.data(), 32, 32);
    EXPECT_EQ(Crypt(cipher, block, CRijndael::CBC, true), first);
}

} // namespace
