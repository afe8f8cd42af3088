#include "shell/page_files.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(PageFiles, NamesNeverLeaveTheChosenFolder) {
    EXPECT_EQ(fileNameFrom("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(fileNameFrom("天气\r\n预报\t\x7f"), "天气__预报__");
    EXPECT_EQ(fileNameFrom(".."), "");
    EXPECT_EQ(fileNameFrom(" ../../etc/passwd "), "_.._etc_passwd");
    // Cut at a character's boundary, never inside one.
    std::string longTitle;
    for (int i = 0; i < 100; ++i) longTitle += "天";
    const std::string cut = fileNameFrom(longTitle);
    EXPECT_LE(cut.size(), 200u);
    EXPECT_EQ(cut.size() % 3, 0u);
}

TEST(PageFiles, ProposedNameIsTheReadableTitleOrTheEngineAndKeyword) {
    EXPECT_EQ(proposedPageName("天气预报_百度搜索", "http://www.baidu.com/s?wd=x", "百度", "天气预报"),
              "天气预报_百度搜索");
    // A page without a title of its own reports its address; escapes are not readable either.
    const char* address = "http://www.onlinedown.net/search.php?ss_name=%CC%EC%C6%F8%D4%A4%B1%A8";
    EXPECT_EQ(proposedPageName("www.onlinedown.net/search.php?ss_name=%CC%EC%C6%F8%D4%A4%B1%A8", address,
                               "软件", "天气预报"),
              "软件 天气预报");
    EXPECT_EQ(proposedPageName("http://example.com/", "http://example.com/", "博客", ""), "博客");
    EXPECT_EQ(proposedPageName("example.com", "http://example.com/", "", ""), "网页");
    EXPECT_EQ(proposedPageName("", "about:blank", "自定义/1", "a:b"), "自定义_1 a_b");
}

TEST(PageFiles, EachDialogOfARunProposesANameOfItsOwn) {
    std::set<std::string> taken;
    EXPECT_EQ(distinctName("Pluvik", taken), "Pluvik");
    EXPECT_EQ(distinctName("Pluvik", taken), "Pluvik (2)");
    EXPECT_EQ(distinctName("Pluvik", taken), "Pluvik (3)");
    EXPECT_EQ(distinctName("百度 天气", taken), "百度 天气");
}

TEST(PageFiles, SavedPageGetsTheExtensionOfTheChosenType) {
    const std::vector<std::string> filters{"网页，全部 (*.htm *.html)", "网页，仅 HTML (*.htm *.html)",
                                           "Web 档案，单个文件 (*.mht *.mhtml)"};
    EXPECT_EQ(pathForType("/home/u/结果一.html", filters, 2), "/home/u/结果一.mht");
    EXPECT_EQ(pathForType("/home/u/结果一.MHTML", filters, 2), "/home/u/结果一.MHTML");
    EXPECT_EQ(pathForType("/home/u/结果一.mht", filters, 0), "/home/u/结果一.htm");
    EXPECT_EQ(pathForType("/home/u/天气.预报", filters, 1), "/home/u/天气.预报.htm");
    EXPECT_EQ(pathForType("/home/u.d/结果", filters, 2), "/home/u.d/结果.mht");
    EXPECT_EQ(pathForType("/home/u/a.bin", {"所有文件 (*)"}, 0), "/home/u/a.bin");
}
