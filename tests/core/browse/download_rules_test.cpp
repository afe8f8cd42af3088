#include "browse/download_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace pluvik {
namespace {

TEST(DownloadRules, PartialPathSkipsNamesThatAreTaken) {
    std::set<std::string> taken;
    const auto isTaken = [&](const std::string& path) { return taken.count(path) > 0; };
    EXPECT_EQ(partialDownloadPath("/d/a.zip", isTaken), "/d/a.zip.part");
    taken = {"/d/a.zip.part", "/d/a.zip (2).part"};
    EXPECT_EQ(partialDownloadPath("/d/a.zip", isTaken), "/d/a.zip (3).part");
    // A folder full of leftovers does not keep it looking for ever.
    EXPECT_FALSE(partialDownloadPath("/d/a.zip", [](const std::string&) { return true; }).empty());
}

TEST(DownloadRules, WhateverTheServerSendsBecomesOnePlainName) {
    EXPECT_EQ(downloadFileName("../../.bashrc"), "bashrc");
    EXPECT_EQ(downloadFileName("/etc/cron.d/evil"), "evil");
    EXPECT_EQ(downloadFileName("C:\\Windows\\evil.exe"), "evil.exe");
    EXPECT_EQ(downloadFileName("D:evil.exe"), "evil.exe");
    EXPECT_EQ(downloadFileName("a\x01"
                               "b\nc\x7f.txt"),
              "a_b_c_.txt");
    // A direction override would show "evil\u202Etxt.exe" as "evilexe.txt".
    EXPECT_EQ(downloadFileName("evil\u202Etxt.exe"), "evil_txt.exe");
    EXPECT_EQ(downloadFileName("...."), "下载");
    EXPECT_EQ(downloadFileName(""), "下载");
    EXPECT_EQ(downloadFileName("..exe"), "下载.exe");
    EXPECT_EQ(downloadFileName("CON"), "_CON");
    EXPECT_EQ(downloadFileName("nul.tar.gz"), "_nul.tar.gz");
    EXPECT_EQ(downloadFileName("com7.txt"), "_com7.txt");
    EXPECT_EQ(downloadFileName("console.txt"), "console.txt");
    // Bytes that are not UTF-8 are GBK (the server's own code page); what neither reads becomes "_".
    EXPECT_EQ(downloadFileName("\xc8\xed\xbc\xfe.exe"), "软件.exe");
    EXPECT_EQ(downloadFileName("a\xff.bin"), "a_.bin");
    // The engine hands raw bytes over one byte a character; a Latin-1 name that is no GBK stays.
    EXPECT_EQ(downloadFileName("\u00c8\u00ed\u00bc\u00fe.exe"), "软件.exe");
    EXPECT_EQ(downloadFileName("caf\u00e9.txt"), "caf\u00e9.txt");
    // Cut at a character, keeping the extension.
    std::string longName;
    for (int i = 0; i < 300; ++i) longName += "长";
    const std::string cut = downloadFileName(longName + ".zip");
    EXPECT_LE(cut.size(), 200u);
    EXPECT_EQ(cut.substr(cut.size() - 4), ".zip");
    EXPECT_EQ((cut.size() - 4) % 3, 0u);
}

TEST(DownloadRules, FreePathNumbersAroundFilesThatExist) {
    std::set<std::string> files{"/d/a.tar.gz", "/d/a.tar (2).gz", "/d/readme"};
    const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(freeDownloadPath("/d", "b.zip", exists), "/d/b.zip");
    EXPECT_EQ(freeDownloadPath("/d/", "a.tar.gz", exists), "/d/a.tar (3).gz");
    EXPECT_EQ(freeDownloadPath("/d", "readme", exists), "/d/readme (2)");
}

TEST(DownloadRules, ProgressTextCutsThePercentOffAndOmitsAnUnknownTotal) {
    EXPECT_EQ(downloadProgressText(1048576, 3145728), "1.00 MB / 3.00 MB (33%)");
    EXPECT_EQ(downloadProgressText(199999, 200000), "195 KB / 195 KB (99%)");
    EXPECT_EQ(downloadProgressText(200000, 200000), "195 KB / 195 KB (100%)");
    EXPECT_EQ(downloadProgressText(5, 0), "5 字节");
    EXPECT_EQ(downloadProgressText(INT64_MAX / 2, INT64_MAX), "3.99 EB / 7.99 EB (49%)");
}

}  // namespace
}  // namespace pluvik
