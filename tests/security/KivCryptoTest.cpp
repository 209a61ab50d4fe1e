#include "security/KivCrypto.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "security/CryptoVectors.h"
#include "security/MD5Checksum.h"
#include "storage/SQLiteBinary.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using txtest::FromHex;
using txtest::ToHex;

const std::string kSecretKey = "5ebe2294ecd0e0f08eab7690d2a6ee69"; // MD5 of "secret"

Bytes Contents(const CMemFile& file) {
    return Bytes(file.GetData(), file.GetData() + file.GetLength());
}

Bytes EncryptBytes(const std::string& key, const Bytes& plain) {
    CMemFile in(plain.data(), plain.size()), out;
    CKivCrypto crypto;
    crypto.SetKey(key);
    EXPECT_TRUE(crypto.Encrypt(in, out));
    return Contents(out);
}

Bytes DecryptBytes(const std::string& key, const Bytes& cipher) {
    CMemFile in(cipher.data(), cipher.size()), out;
    CKivCrypto crypto;
    crypto.SetKey(key);
    EXPECT_TRUE(crypto.Decrypt(in, out));
    return Contents(out);
}

Bytes Random(std::mt19937& rng, std::size_t n) {
    Bytes bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

TEST(KivCryptoTest, SetKeyNormalisesEveryFixtureText) {
    TX_REQUIRE_CRYPTO_VECTORS();
    for (const auto& item : txtest::CryptoVectors()["set_key"]["vectors"].toArray()) {
        QJsonObject v = item.toObject();
        CKivCrypto crypto;
        crypto.SetKey(v["input"].toString().toStdString());
        EXPECT_EQ(crypto.GetKey(), v["normalised"].toString().toStdString());
        EXPECT_EQ(static_cast<int>(crypto.GetKey().size()), v["key_and_block_bytes"].toInt());
    }
}

TEST(KivCryptoTest, SetKeyPadsShortAndCutsLongTexts) {
    CKivCrypto crypto;
    crypto.SetKey("abcde");
    EXPECT_EQ(crypto.GetKey(), "abcde###########");
    crypto.SetKey(std::string(40, 'k'));
    EXPECT_EQ(crypto.GetKey(), std::string(32, 'k'));
    crypto.SetKey(kSecretKey);
    EXPECT_EQ(crypto.GetKey(), kSecretKey);
}

// Runs the cipher on the round tables for the lifetime of the object when asked to.
class CScopedTablePath {
public:
    explicit CScopedTablePath(bool force) { CRijndael::ForceTablePath(force); }
    ~CScopedTablePath() { CRijndael::ForceTablePath(false); }
};

class KivCryptoPathTest : public ::testing::TestWithParam<bool> {};

TEST_P(KivCryptoPathTest, ReproducesEveryFixtureStreamAndItsText) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["record_stream"]["vectors"].toArray();
    ASSERT_EQ(vectors.size(), 27);
    CScopedTablePath tables(GetParam());
    for (const auto& item : vectors) {
        QJsonObject v = item.toObject();
        std::string key = v["key_text"].toString().toStdString();
        std::string label = v["label"].toString().toStdString() + " / " + key;
        Bytes password = FromHex(v["password_bytes"]);
        EXPECT_EQ(CMD5Checksum::GetMD5(password.data(), password.size()), key) << label;

        Bytes plain = FromHex(v["plaintext"]);
        Bytes cipher = EncryptBytes(key, plain);
        EXPECT_EQ(ToHex(cipher), v["ciphertext"].toString().toStdString()) << label;
        EXPECT_EQ(static_cast<int>(cipher.size()), v["ciphertext_length"].toInt()) << label;

        CSQLiteBinary binary(cipher.data(), static_cast<int>(cipher.size()));
        EXPECT_EQ(ToHex(binary.ToText()), v["escaped_text"].toString().toStdString()) << label;

        Bytes decrypted = DecryptBytes(key, cipher);
        EXPECT_EQ(decrypted, FromHex(v["decrypted"])) << label;
        EXPECT_EQ(static_cast<int>(decrypted.size()), v["decrypted_length"].toInt()) << label;
    }
}

TEST_P(KivCryptoPathTest, ReproducesTheCreationHeader) {
    TX_REQUIRE_CRYPTO_VECTORS();
    CScopedTablePath tables(GetParam());
    const QJsonObject v = txtest::CryptoVectors()["record_stream"]["creation_header"].toObject();
    Bytes plain(16384, 0);
    plain.insert(plain.end(), 4, 0xff);
    ASSERT_EQ(static_cast<int>(plain.size()), v["plaintext_length"].toInt());
    std::string key = v["key_text"].toString().toStdString();
    Bytes cipher = EncryptBytes(key, plain);
    EXPECT_EQ(ToHex(cipher), v["ciphertext"].toString().toStdString());
    CSQLiteBinary binary(cipher.data(), static_cast<int>(cipher.size()));
    EXPECT_EQ(ToHex(binary.ToText()), v["escaped_text"].toString().toStdString());
    EXPECT_EQ(DecryptBytes(key, cipher), plain);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, KivCryptoPathTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Table" : "Default"; });

TEST(KivCryptoTest, ShortKeyTextsUseShorterBlocksOrFail) {
    TX_REQUIRE_CRYPTO_VECTORS();
    for (const auto& item : txtest::CryptoVectors()["record_stream"]["short_key_texts"].toArray()) {
        QJsonObject v = item.toObject();
        std::string key = v["key_text"].toString().toStdString();
        Bytes plain = FromHex(v["plaintext"]);
        CScopedMessageRecorder recorder;
        CMemFile in(plain.data(), plain.size()), out;
        CKivCrypto crypto;
        crypto.SetKey(key);
        bool ok = crypto.Encrypt(in, out);
        EXPECT_EQ(ToHex(Contents(out)), v["ciphertext"].toString().toStdString()) << key;
        if (v["error"].isNull()) {
            EXPECT_TRUE(ok);
            EXPECT_TRUE(recorder.Messages().empty());
            EXPECT_EQ(DecryptBytes(key, Contents(out)), plain);
        } else {
            EXPECT_FALSE(ok);
            ASSERT_EQ(recorder.Messages().size(), 1u) << key;
            EXPECT_EQ(recorder.Messages()[0].text, v["error"].toString().toStdString());
            EXPECT_EQ(recorder.Messages()[0].flags, static_cast<unsigned>(MB_OK));
        }
    }
}

TEST(KivCryptoTest, RoundTripsEveryLengthUpTo5000) {
    std::mt19937 rng(17);
    Bytes data = Random(rng, 5000);
    for (std::size_t length = 0; length <= 5000; ++length) {
        Bytes plain(data.begin(), data.begin() + static_cast<long>(length));
        Bytes cipher = EncryptBytes(kSecretKey, plain);
        ASSERT_EQ(cipher.size(), 256 * ((length + 255) / 256 + 1)) << length;
        Bytes back = DecryptBytes(kSecretKey, cipher);
        // Nothing cuts a stored length of 0: the zero trailer stays in the output.
        ASSERT_EQ(back, length == 0 ? Bytes(256, 0) : plain) << length;
    }
}

TEST(KivCryptoTest, SameInputGivesSameCiphertext) {
    Bytes plain(300, 'p');
    EXPECT_EQ(EncryptBytes(kSecretKey, plain), EncryptBytes(kSecretKey, plain));
    EXPECT_EQ(EncryptBytes(kSecretKey, Bytes(512, 0)).size(), 768u);
}

TEST(KivCryptoTest, WrongKeyGivesNoiseWithoutError) {
    std::mt19937 rng(23);
    Bytes plain = Random(rng, 300);
    Bytes cipher = EncryptBytes(kSecretKey, plain);
    CScopedMessageRecorder recorder;
    std::string wrong = CMD5Checksum::GetMD5(std::string_view("secreT"));
    Bytes noise = DecryptBytes(wrong, cipher);
    EXPECT_EQ(noise.size(), 768u);
    EXPECT_NE(Bytes(noise.begin(), noise.begin() + 300), plain);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(KivCryptoTest, EmptyInputDecryptsToEmptyOutput) {
    CScopedMessageRecorder recorder;
    EXPECT_TRUE(DecryptBytes(kSecretKey, {}).empty());
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(KivCryptoTest, RaggedCiphertextDecryptsWithoutCrashing) {
    std::mt19937 rng(29);
    Bytes plain = Random(rng, 700);
    Bytes cipher = EncryptBytes(kSecretKey, plain);
    for (std::size_t length : {1u, 4u, 255u, 257u, 500u, 767u, 1000u}) {
        Bytes ragged(cipher.begin(),
                     cipher.begin() + static_cast<long>(std::min(length, cipher.size())));
        ragged.resize(length, 0x42);
        Bytes out = DecryptBytes(kSecretKey, ragged);
        // A short last read is zero-filled and decrypted as a whole chunk.
        EXPECT_LE(out.size(), 256 * ((length + 255) / 256)) << length;
        if (length >= 256 && out.size() >= 256) {
            EXPECT_EQ(Bytes(out.begin(), out.begin() + 256),
                      Bytes(plain.begin(), plain.begin() + 256))
                << length;
        }
    }
}

TEST(KivCryptoTest, DecryptCipherErrorShowsTheMessage) {
    CScopedMessageRecorder recorder;
    Bytes cipher(512, 0x11);
    CMemFile in(cipher.data(), cipher.size()), out;
    CKivCrypto crypto;
    crypto.SetKey("yyyyyyyyyyyyyyyyyyyy");
    EXPECT_FALSE(crypto.Decrypt(in, out));
    EXPECT_EQ(out.GetLength(), 0u);
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, "Data not multiple of Block Size");
}

} // namespace
