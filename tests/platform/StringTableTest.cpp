#include "platform/StringTable.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

TEST(StringTable, FormatsBothPlaceholdersAndLeavesOtherPercentsAlone) {
    EXPECT_EQ(FormatString("Cannot open file \"%1\" (%2) 100%", "a.csv", "x"),
              "Cannot open file \"a.csv\" (x) 100%");
    EXPECT_EQ(FormatString("%2%1%3", "a", "b"), "ba%3");
    EXPECT_EQ(FormatString("%1", "%2", "no"), "%2"); // arguments are not formatted again
}

TEST(StringTable, KnownAndUnknownIds) {
    EXPECT_EQ(LoadString(57344), "Tresorix Pro");
    EXPECT_EQ(LoadString(1), "");
}

TEST(MessageBox, RecorderCapturesAndAnswersFromScript) {
    CScopedMessageRecorder rec;
    rec.Script({IDNO});
    EXPECT_EQ(KivMessageBox("first", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(KivMessageBox("second", MB_ICONSTOP, "Export"), IDOK);
    ASSERT_EQ(rec.Messages().size(), 2u);
    EXPECT_EQ(rec.Messages()[0].caption, "Tresorix Pro");
    EXPECT_EQ(rec.Messages()[1].caption, "Export");
    EXPECT_EQ(rec.Messages()[1].flags, unsigned(MB_ICONSTOP));
}
