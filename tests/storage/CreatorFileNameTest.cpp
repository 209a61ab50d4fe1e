#include "storage/FileNameCheck.h"

#include <gtest/gtest.h>

TEST(CreatorFileName, ReservedDeviceNamesOnlyAtTheirExactLength) {
    for (const char* name : {"con", "CON", "LPT1", "lpt9", "com3", "clock$", "Aux", "nul", "PRN"}) {
        EXPECT_TRUE(IsReservedDeviceName(name)) << name;
        EXPECT_FALSE(IsValidFileName(name)) << name;
        EXPECT_FALSE(IsValidFileName(std::string("/home/u/") + name)) << name;
    }
    for (const char* name : {"con.tpx", "com0", "lpt10", "clock", "conn", "com"}) {
        EXPECT_FALSE(IsReservedDeviceName(name)) << name;
        EXPECT_TRUE(IsValidFileName(name)) << name;
    }
}

TEST(CreatorFileName, BareNamesFollowTheCharacterAndSpaceRules) {
    EXPECT_TRUE(IsValidFileName("vault.trx"));
    EXPECT_TRUE(IsValidFileName("my vault.tpx"));
    EXPECT_FALSE(IsValidFileName(""));
    EXPECT_FALSE(IsValidFileName("vault. "));
    EXPECT_FALSE(IsValidFileName("vault."));
    EXPECT_FALSE(IsValidFileName("vault "));
    EXPECT_FALSE(IsValidFileName(" vault"));
    for (char c : std::string("\t\"*:<>?|")) {
        EXPECT_FALSE(IsValidFileName(std::string("va") + c + "ult")) << int(c);
    }
    EXPECT_FALSE(IsValidFileName(std::string("va\0ult", 6)));
    EXPECT_TRUE(IsValidFileName(std::string(255, 'a')));
    EXPECT_FALSE(IsValidFileName(std::string(256, 'a')));
}

TEST(CreatorFileName, FullPathsOfEveryKind) {
    EXPECT_TRUE(IsValidFileName("C:\\Data\\vault.tpx"));
    EXPECT_TRUE(IsValidFileName("C:/Data/vault.tpx"));
    EXPECT_TRUE(IsValidFileName("C:"));
    EXPECT_TRUE(IsValidFileName("C:\\Data\\")); // no file-name component
    EXPECT_TRUE(IsValidFileName("\\\\server\\share\\vault.tpx"));
    EXPECT_TRUE(IsValidFileName("/home/u/vault.tpx"));
    EXPECT_TRUE(IsValidFileName("/home/u/"));

    EXPECT_FALSE(IsValidFileName("\\\\\\server\\vault.tpx")); // third separator
    EXPECT_FALSE(IsValidFileName("C:\\Data\\\\vault.tpx"));   // empty component
    EXPECT_FALSE(IsValidFileName("C:Data\\vault.tpx"));
    EXPECT_FALSE(IsValidFileName("/home/u /vault.tpx"));
    EXPECT_FALSE(IsValidFileName("/home/./vault.tpx"));
    EXPECT_FALSE(IsValidFileName("/home/nul/vault.tpx"));
    EXPECT_FALSE(IsValidFileName("/home/u/va?lt.tpx"));
    EXPECT_FALSE(IsValidFileName("relative/vault.tpx")); // neither a full path nor a bare name
}

TEST(CreatorFileName, WholePathIsLimitedTo260Characters) {
    std::string folder = "/" + std::string(200, 'd') + "/";
    std::string fits = folder + std::string(260 - folder.size(), 'f');
    EXPECT_TRUE(IsValidFileName(fits));
    EXPECT_FALSE(IsValidFileName(fits + "f"));
}
