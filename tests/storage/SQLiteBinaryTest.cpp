#include "storage/SQLiteBinary.h"

#include "security/CryptoVectors.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;
using txtest::FromHex;
using txtest::ToHex;

Bytes Decode(const std::string& text, bool* ok = nullptr) {
    CSQLiteBinary binary;
    int result = binary.FromText(text);
    if (ok)
        *ok = result == 1;
    return Bytes(binary.GetData(), binary.GetData() + binary.GetLength());
}

std::string Encode(const Bytes& bytes) {
    return CSQLiteBinary(bytes.data(), static_cast<int>(bytes.size())).ToText();
}

// The offset rule written out plainly, as a reference for the encoder's fast search.
int ReferenceOffset(const Bytes& bytes) {
    std::size_t best = bytes.size();
    int chosen = 1;
    for (int e = 1; e < 256; ++e) {
        if (e == 39)
            continue;
        std::size_t sum = 0;
        for (std::uint8_t b : bytes)
            sum += b == e || b == ((e + 1) & 0xff) || b == ((e + 39) & 0xff);
        if (sum < best) {
            best = sum;
            chosen = e;
            if (sum == 0)
                break;
        }
    }
    return chosen;
}

void ExpectSoundEncoding(const Bytes& bytes) {
    std::string text = Encode(bytes);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(text.find('\''), std::string::npos);
    EXPECT_LE(text.size() + 1, CSQLiteBinary::EncodedBound(bytes.size()));
    if (!bytes.empty()) {
        EXPECT_EQ(static_cast<std::uint8_t>(text[0]), ReferenceOffset(bytes));
    }
    bool ok = false;
    EXPECT_EQ(Decode(text, &ok), bytes);
    EXPECT_TRUE(ok);
}

TEST(SQLiteBinaryTest, EncodesEveryFixtureVector) {
    TX_REQUIRE_CRYPTO_VECTORS();
    const QJsonObject section = txtest::CryptoVectors()["escaped_text"].toObject();
    const QJsonArray vectors = section["vectors"].toArray();
    ASSERT_FALSE(vectors.isEmpty());
    for (const auto& item : vectors) {
        QJsonObject v = item.toObject();
        std::string label = v["label"].toString().toStdString();
        Bytes bytes = FromHex(v["bytes"]);
        std::string text = Encode(bytes);
        EXPECT_EQ(ToHex(text), v["text"].toString().toStdString()) << label;
        EXPECT_EQ(static_cast<int>(text.size()) + 1, v["text_length_with_nul"].toInt()) << label;
        EXPECT_EQ(static_cast<int>(CSQLiteBinary::EncodedBound(bytes.size())),
                  v["allocation_bound"].toInt())
            << label;
        int offset = v["offset"].isNull() ? 0 : v["offset"].toInt();
        EXPECT_EQ(CSQLiteBinary::ChooseOffset(bytes.data(), bytes.size()), offset) << label;
        EXPECT_EQ(Decode(text), bytes) << label;
    }
}

TEST(SQLiteBinaryTest, RefusesEveryFixtureMalformedText) {
    TX_REQUIRE_CRYPTO_VECTORS();
    for (const auto& item : txtest::CryptoVectors()["escaped_text"]["malformed"].toArray()) {
        QJsonObject v = item.toObject();
        Bytes text = FromHex(v["text"]);
        CSQLiteBinary binary("keep", 4);
        EXPECT_EQ(binary.FromText(std::string(text.begin(), text.end())), 0)
            << v["why"].toString().toStdString();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(binary.GetData()), 4), "keep");
    }
}

TEST(SQLiteBinaryTest, RefusesEveryBadEscapeAndKeepsTheContents) {
    CSQLiteBinary binary("keep", 4);
    for (int mark = 0x04; mark <= 0xff; ++mark) {
        for (const std::string prefix : {"\x05",
                                         "\x05"
                                         "abc",
                                         "\x01"}) {
            std::string text = prefix + '\x01' + static_cast<char>(mark) + "tail";
            EXPECT_EQ(binary.FromText(text), 0) << mark;
        }
    }
    EXPECT_EQ(binary.FromText("\x05"
                              "ab\x01"),
              0)
        << "escape mark at the end";
    EXPECT_EQ(binary.FromText("\x01\x01"), 0) << "offset 01 followed by a lone escape mark";
    ASSERT_EQ(binary.GetLength(), 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(binary.GetData()), 4), "keep");
}

TEST(SQLiteBinaryTest, DecodesEachEscapeAndTheOffsetCharacter) {
    // The offset 01 is not an escape mark; only the characters after it are.
    EXPECT_EQ(Decode("\x01\x01\x01\x01\x02\x01\x03\x41"), Bytes({0x01, 0x02, 0x28, 0x42}));
    EXPECT_EQ(Decode("\xff\x01\x01\x02"), Bytes({0xff, 0x01}));
}

TEST(SQLiteBinaryTest, EmptyContentsAndEmptyTexts) {
    EXPECT_EQ(Encode({}), "x");
    bool ok = false;
    EXPECT_TRUE(Decode("x", &ok).empty());
    EXPECT_TRUE(ok);

    CSQLiteBinary binary("abc", 3);
    EXPECT_EQ(binary.FromText(""), 1);
    EXPECT_EQ(binary.GetLength(), 0);
    EXPECT_EQ(binary.GetData(), nullptr);
    binary.SetData("abc", 3);
    EXPECT_EQ(binary.FromText(static_cast<const char*>(nullptr)), 1);
    EXPECT_EQ(binary.GetLength(), 0);

    CSQLiteBinary none(nullptr, 5), zero("abc", 0);
    EXPECT_EQ(none.GetLength(), 0);
    EXPECT_EQ(zero.GetData(), nullptr);
}

TEST(SQLiteBinaryTest, EveryByteValueOnceUsesOffsetOne) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(static_cast<std::uint8_t>(Encode(all)[0]), 1);
    ExpectSoundEncoding(all);
}

TEST(SQLiteBinaryTest, SetDataCopiesEvenFromItsOwnBuffer) {
    std::string source = "0123456789";
    CSQLiteBinary binary(source.data(), 10);
    source[0] = 'X';
    EXPECT_EQ(binary.GetData()[0], '0');
    binary.SetData(binary.GetData() + 2, 5);
    ASSERT_EQ(binary.GetLength(), 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(binary.GetData()), 5), "23456");
    binary.Clear();
    EXPECT_EQ(binary.GetLength(), 0);
    EXPECT_EQ(binary.GetData(), nullptr);
}

TEST(SQLiteBinaryTest, RandomInputsEncodeSoundlyAndDecodeExactly) {
    std::mt19937 rng(41);
    for (int round = 0; round < 400; ++round) {
        std::size_t n = rng() % 2000;
        // Small alphabets force collisions on many candidate offsets.
        unsigned alphabet = round % 4 == 0 ? 256 : 2 + rng() % 60;
        unsigned base = rng() % 256;
        Bytes bytes(n);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(base + rng() % alphabet);
        ExpectSoundEncoding(bytes);
    }
}

} // namespace
