#include <gtest/gtest.h>
#include <string.h>
#include <string>

// The sources are UTF-8; the compiler must turn narrow literals into code page 936 bytes.
TEST(Texts, LiteralsAreCodePage936)
{
    EXPECT_EQ(std::string("\xB8\xC3\xB7\xBD\xB0\xB8\xC3\xFB\xD2\xD1\xBE\xAD\xB4\xE6\xD4\xDA\xA3\xAC"
                          "\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB\xA1\xA3"),
              std::string("该方案名已经存在，请重新输入。"));
    EXPECT_EQ(std::string("\xB7\xD6"), std::string("分"));
}
