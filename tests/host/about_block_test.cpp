#include <gtest/gtest.h>
#include <string.h>
#include "../../src/companion/about_block.h"
#include "../../src/companion/counters.h"

TEST(AboutBlock, TextsStopAtTheirNulOrRunOnButNeverLeaveTheBlock)
{
    char block[kAboutBlockSize];
    memset(block, 0, sizeof block);
    memcpy(block + kAboutLinkTarget, "1234567", 7);  // no NUL before the caption
    strcpy(block + kAboutLinkCaption, "caption");
    char text[kAboutBlockSize + 1];
    AboutText(block, kAboutLinkTarget, text, sizeof text);
    EXPECT_STREQ("1234567caption", text);
    AboutText(block, kAboutLinkCaption, text, sizeof text);
    EXPECT_STREQ("caption", text);

    memset(block, 'x', sizeof block);  // a module that wrote no NUL at all
    AboutText(block, kAboutEditText, text, sizeof text);
    EXPECT_EQ(41u, strlen(text));
    AboutText(block, kAboutTitle, text, sizeof text);
    EXPECT_EQ(128u, strlen(text));
    AboutText(block, kAboutTitle, text, 10);  // and never past the caller's buffer
    EXPECT_EQ(9u, strlen(text));
}

TEST(AboutBlock, RelativeTargetsAreFilesBesideTheProgram)
{
    EXPECT_TRUE(IsRelativeTarget("docs"));
    EXPECT_TRUE(IsRelativeTarget("docs\\guide.html"));
    EXPECT_FALSE(IsRelativeTarget("http://example.org"));
    EXPECT_FALSE(IsRelativeTarget("mailto:someone"));
    EXPECT_FALSE(IsRelativeTarget("C:\\guide"));
    EXPECT_FALSE(IsRelativeTarget("\\\\server\\share"));
    EXPECT_FALSE(IsRelativeTarget("/docs"));
    EXPECT_FALSE(IsRelativeTarget(""));
}
