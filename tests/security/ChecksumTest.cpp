#include "security/Crc32.h"
#include "security/KivCrypto.h"
#include "security/MD5Checksum.h"

#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "security/CryptoVectors.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using txtest::FromHex;

CMemFile StreamOf(const Bytes& bytes) {
    return CMemFile(bytes.data(), bytes.size());
}

TEST(MD5ChecksumTest, MatchesTheRfc1321Suite) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : cases)
        EXPECT_EQ(CMD5Checksum::GetMD5(std::string_view(text)), digest) << '"' << text << '"';
}

TEST(MD5ChecksumTest, PiecewiseUpdatesEqualOneUpdateAcrossBlockEdges) {
    std::mt19937 rng(5);
    Bytes data(300);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(rng());
    for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 300u}) {
        std::string expected = CMD5Checksum::GetMD5(data.data(), length);
        ASSERT_EQ(expected.size(), 32u);
        for (std::size_t split = 0; split <= length; split += 7) {
            CMD5Checksum md5;
            md5.Update(data.data(), split);
            md5.Update(data.data() + split, length - split);
            auto digest = md5.Final();
            EXPECT_EQ(txtest::ToHex(digest.data(), digest.size()), expected)
                << length << "/" << split;
        }
    }
}

TEST(MD5ChecksumTest, GivesTheRecordKeyTextOfEveryFixturePassword) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["md5_key_text"]["vectors"].toArray();
    ASSERT_FALSE(vectors.isEmpty());
    for (const auto& item : vectors) {
        QJsonObject v = item.toObject();
        Bytes bytes = FromHex(v["digested_bytes"]);
        EXPECT_EQ(CMD5Checksum::GetMD5(bytes.data(), bytes.size()),
                  v["key_text"].toString().toStdString())
            << v["password"].toString().toStdString();
    }
}

TEST(AdditiveChecksumTest, MatchesKnownSums) {
    EXPECT_EQ(AdditiveChecksum("", 0), -1);
    EXPECT_EQ(AdditiveChecksum("abc", 3), 293);
    EXPECT_EQ(AdditiveChecksum("\x80\x01", 2), -128);
    EXPECT_EQ(AdditiveChecksum("\x01", 1), -1) << "a sum of 0 becomes -1";
}

TEST(AdditiveChecksumTest, MatchesEveryFixtureChecksumThroughTheStream) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonArray vectors = txtest::CryptoVectors()["additive_checksum"]["checksums"].toArray();
    ASSERT_FALSE(vectors.isEmpty());
    for (const auto& item : vectors) {
        QJsonObject v = item.toObject();
        Bytes bytes = FromHex(v["bytes"]);
        CMemFile stream = StreamOf(bytes);
        CKivCrypto crypto;
        std::int32_t sum = crypto.GetCRC32(stream);
        EXPECT_EQ(sum, v["checksum"].toInt()) << bytes.size();
        EXPECT_EQ(stream.GetPosition(), stream.GetLength()) << "left at its end";
        EXPECT_EQ(AdditiveChecksum(bytes.data(), bytes.size()), sum);

        // Sealing as the callers do: the checksum goes where GetCRC32 left the stream.
        stream.Write(&sum, 4);
        Bytes seal(stream.GetData() + bytes.size(), stream.GetData() + bytes.size() + 4);
        EXPECT_EQ(seal, FromHex(v["seal_bytes"]));
    }
}

TEST(AdditiveChecksumTest, GetCrc32CoversOnlyWhatFollowsThePosition) {
    CMemFile stream("xxabc", 5);
    stream.Seek(2, CMemFile::begin);
    EXPECT_EQ(GetCRC32(stream), 293);
    EXPECT_EQ(GetCRC32(stream), -1) << "nothing left to read";
}

TEST(AdditiveChecksumTest, ChecksEveryFixtureSeal) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonObject section = txtest::CryptoVectors()["additive_checksum"].toObject();
    for (const auto& item : section["seal_checks"].toArray()) {
        QJsonObject v = item.toObject();
        CScopedMessageRecorder recorder;
        CMemFile stream = StreamOf(FromHex(v["stream"]));
        EXPECT_EQ(CheckCRC32(stream), v["passes"].toBool()) << v["label"].toString().toStdString();
    }
    for (const auto& item : section["large"].toArray()) {
        QJsonObject v = item.toObject();
        Bytes bytes(static_cast<std::size_t>(v["length"].toInt()), 0);
        // 16,384 zero bytes sealed with -1, then zero words up to the length.
        for (int i = 0; i < 4; ++i)
            bytes[16384 + i] = 0xff;
        CMemFile stream = StreamOf(bytes);
        EXPECT_EQ(CheckCRC32(stream), v["passes"].toBool()) << v["label"].toString().toStdString();
    }
}

TEST(AdditiveChecksumTest, SealedHeaderPassesAndDamageFails) {
    Bytes payload(16384, 0);
    CMemFile stream = StreamOf(payload);
    stream.SeekToBegin();
    std::int32_t sum = GetCRC32(stream);
    EXPECT_EQ(sum, -1);
    stream.Write(&sum, 4);
    EXPECT_TRUE(CheckCRC32(stream));

    stream.GetData()[100] = 0x05;
    EXPECT_FALSE(CheckCRC32(stream));
    // A second change that restores the byte sum is not noticed: the seal is only a sum.
    stream.GetData()[200] = static_cast<std::uint8_t>(-5);
    EXPECT_TRUE(CheckCRC32(stream));

    stream.SeekToEnd();
    const std::uint8_t zeros[8] = {};
    stream.Write(zeros, 8);
    EXPECT_TRUE(CheckCRC32(stream)) << "zero words after the seal are skipped";
}

TEST(AdditiveChecksumTest, StreamsOfZerosNeverPass) {
    CScopedMessageRecorder recorder;
    for (std::size_t length : {0u, 3u, 4u, 8u, 9u, 16388u}) {
        Bytes zeros(length, 0);
        CMemFile stream = StreamOf(zeros);
        EXPECT_FALSE(CheckCRC32(stream)) << length;
    }
}

TEST(AdditiveChecksumTest, ShortReadShowsTheCheckMessage) {
    CScopedMessageRecorder recorder;
    CMemFile stream = StreamOf(FromHex("ffffffff"));
    EXPECT_FALSE(CheckCRC32(stream));
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].text, "Unknown error at CheckCRC32()");
    EXPECT_EQ(recorder.Messages()[0].flags, static_cast<unsigned>(MB_OK));

    recorder.Clear();
    CMemFile sealed = StreamOf(FromHex("61626325010000"));
    EXPECT_TRUE(CheckCRC32(sealed));
    EXPECT_TRUE(recorder.Messages().empty());
}

} // namespace
