#include "platform/Clipboard.h"

#include <gtest/gtest.h>

TEST(Clipboard, CopyClearAndRead) {
    CScopedMemoryClipboard clipboard;
    std::string text;
    EXPECT_FALSE(GetClipboardText(text));

    EXPECT_TRUE(CopyTextToClipboard("s3cret"));
    ASSERT_TRUE(GetClipboardText(text));
    EXPECT_EQ(text, "s3cret");

    EXPECT_TRUE(ClearClipboard());
    EXPECT_FALSE(clipboard.HasText());
    EXPECT_FALSE(GetClipboardText(text));
    EXPECT_EQ(clipboard.Calls(),
              (std::vector<CMemoryClipboard::ACTION>{
                  CMemoryClipboard::kGet, CMemoryClipboard::kSet, CMemoryClipboard::kGet,
                  CMemoryClipboard::kClear, CMemoryClipboard::kGet}));
}

TEST(Clipboard, EmptyTextLeavesTheClipboardAloneAndSucceeds) {
    CScopedMemoryClipboard clipboard;
    ASSERT_TRUE(CopyTextToClipboard("kept"));
    EXPECT_TRUE(CopyTextToClipboard(""));
    EXPECT_EQ(clipboard.Text(), "kept");
    EXPECT_EQ(clipboard.Calls().size(), 1u);
}

TEST(Clipboard, FailuresAreReported) {
    CScopedMemoryClipboard clipboard;
    ASSERT_TRUE(CopyTextToClipboard("old"));
    clipboard.SetFails(true);
    EXPECT_FALSE(CopyTextToClipboard("new"));
    EXPECT_FALSE(ClearClipboard());
    clipboard.SetFails(false);
    EXPECT_EQ(clipboard.Text(), "old");
}
