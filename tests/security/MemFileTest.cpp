#include "platform/MemFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Contents(const CMemFile& file) {
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

TEST(MemFileTest, ReadsBackWhatWasWrittenAcrossManyGrowSteps) {
    CMemFile file;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        std::string piece = std::to_string(i) + ",";
        file.Write(piece.data(), piece.size());
        expected += piece;
    }
    EXPECT_EQ(file.GetLength(), expected.size());
    EXPECT_EQ(file.GetPosition(), expected.size());
    EXPECT_EQ(Contents(file), expected);

    file.SeekToBegin();
    std::string read(expected.size() + 10, '\0');
    EXPECT_EQ(file.Read(read.data(), read.size()), expected.size());
    read.resize(expected.size());
    EXPECT_EQ(read, expected);
    EXPECT_EQ(file.Read(read.data(), 1), 0u) << "nothing left at the end";
}

TEST(MemFileTest, SeeksFromEachOriginAndRefusesNegativePositions) {
    CMemFile file("0123456789", 10);
    EXPECT_EQ(file.GetPosition(), 0u);
    EXPECT_EQ(file.Seek(3, CMemFile::begin), 3u);
    EXPECT_EQ(file.Seek(2, CMemFile::current), 5u);
    EXPECT_EQ(file.Seek(-4, CMemFile::end), 6u);
    char c = 0;
    ASSERT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, '6');
    EXPECT_THROW(file.Seek(-8, CMemFile::current), CMemFileException);
    EXPECT_EQ(file.GetPosition(), 7u) << "a refused seek keeps the position";
    EXPECT_EQ(file.Seek(5, CMemFile::end), 15u);
    EXPECT_EQ(file.Read(&c, 1), 0u);
}

TEST(MemFileTest, WritingPastTheEndFillsTheGapWithZeros) {
    CMemFile file("ab", 2);
    file.Seek(6, CMemFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(Contents(file), std::string("ab\0\0\0\0z", 7));
}

TEST(MemFileTest, CutBytesDoNotReappearWhenTheFileGrowsAgain) {
    CMemFile file("secret-text", 11);
    file.SetLength(3);
    EXPECT_EQ(file.GetPosition(), 0u);
    file.SeekToEnd();
    EXPECT_EQ(file.GetPosition(), 3u);
    file.SetLength(11);
    EXPECT_EQ(Contents(file), std::string("sec\0\0\0\0\0\0\0\0", 11));
    file.SetLength(2);
    EXPECT_EQ(file.GetPosition(), 2u) << "the position is pulled back to the new end";
    file.Seek(5, CMemFile::begin);
    file.Write("!", 1);
    EXPECT_EQ(Contents(file), std::string("se\0\0\0!", 6));
}

TEST(MemFileTest, MovesAndClosesCleanly) {
    CMemFile file("abc", 3);
    file.Seek(1, CMemFile::begin);
    CMemFile moved(std::move(file));
    EXPECT_EQ(Contents(moved), "abc");
    EXPECT_EQ(moved.GetPosition(), 1u);
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.GetData(), nullptr);
    moved.Close();
    EXPECT_EQ(moved.GetLength(), 0u);
    EXPECT_EQ(moved.GetPosition(), 0u);
    moved.Write("x", 1);
    EXPECT_EQ(Contents(moved), "x");
}

} // namespace
