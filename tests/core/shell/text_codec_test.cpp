#include "shell/text_codec.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(TextCodec, ChineseRoundTripsAsGbkBytes) {
    const std::string utf8 = "禾朔搜索";
    const std::string gbk = utf8ToGbk(utf8);
    EXPECT_EQ(gbk, "\xBA\xCC\xCB\xB7\xCB\xD1\xCB\xF7");
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
}

TEST(TextCodec, AsciiIsUnchanged) {
    EXPECT_EQ(utf8ToGbk("http://a.b/?q=1&x"), "http://a.b/?q=1&x");
    EXPECT_EQ(gbkToUtf8(" 1 \r\n"), " 1 \r\n");
}

TEST(TextCodec, InvalidBytesDecodeToReplacementAndKeepTheRest) {
    // 0xFF is never a valid GB18030 lead byte; a lead byte at the very end is cut off.
    EXPECT_EQ(gbkToUtf8("ab\xFF" "cd"), "ab\xEF\xBF\xBD" "cd");
    EXPECT_EQ(gbkToUtf8("\xCB\xD1x\xCB"), "搜x\xEF\xBF\xBD");
}

TEST(TextCodec, CharactersOutsideGbkSurviveAsGb18030) {
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600
    const std::string bytes = utf8ToGbk(emoji);
    EXPECT_EQ(bytes.size(), 4u);
    EXPECT_EQ(gbkToUtf8(bytes), emoji);
}

TEST(TextCodec, MalformedUtf8AndUnmappableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(utf8ToGbk("a\xC3" "b"), "a?b");
    // U+E78D is a private-use character the GB18030 tables leave unmapped: one character, one '?'.
    EXPECT_EQ(utf8ToGbk("x\xEE\x9E\x8D" "y"), "x?y");
}

TEST(TextCodec, TextFilesReadTheSameInGbkAndUtf8WithOrWithoutAMark) {
    const std::string utf8 = "# 禾朔搜索，“例子”\r\nkey=x\r\n";
    EXPECT_EQ(textFileToUtf8(utf8ToGbk(utf8)), utf8);
    EXPECT_EQ(textFileToUtf8(utf8), utf8);
    EXPECT_EQ(textFileToUtf8("\xEF\xBB\xBF" + utf8), utf8);
    // GBK bytes that are valid UTF-8 too ("隆" is C2 A1, the UTF-8 of "¡") are still GBK.
    EXPECT_EQ(textFileToUtf8("\xC2\xA1"), "隆");
    // Behind the mark any UTF-8 is taken; bytes that are no UTF-8 at all are GBK after all.
    EXPECT_EQ(textFileToUtf8("\xEF\xBB\xBF" + std::string("Café")), "Café");
    EXPECT_EQ(textFileToUtf8("\xEF\xBB\xBF\xCE\xD2"), "我");
}
