#pragma once

#include <array>
#include <vector>

namespace pluvik {

// The five rows of the trace cleaner, top to bottom.
enum class CleanerRow { KeywordList, UrlHistory, AddressList, Cookies, TemporaryFiles };

struct CleanerRowText {
    CleanerRow row;
    const char* checkBoxName;
    const char* checkBoxCaption;
    bool checkedAtOpen;
    const char* buttonName;
    const char* buttonCaption;
    const char* message;  // shown when the row's own button is done
};

inline constexpr std::array<CleanerRowText, 5> kCleanerRows{{
    {CleanerRow::KeywordList, "Check1", "搜索框输入记录", true, "Command3", "清理输入记录", "记录清理完毕！"},
    {CleanerRow::UrlHistory, "Check2", "搜索浏览器历史记录", true, "Command4", "清理历史记录",
     "记录清理完毕！"},
    {CleanerRow::AddressList, "Check3", "搜索浏览器网址输入记录", true, "Command5", "清理输入记录",
     "记录清理完毕！"},
    {CleanerRow::Cookies, "Check4", "搜索Cookies（不建议清理）", false, "Command6", "清理Cookies",
     "Cookies清理完毕！"},
    {CleanerRow::TemporaryFiles, "Check5", "Internet临时文件", true, "Command7", "清理文件",
     "文件清理完毕！"},
}};

inline constexpr const char* kCleanCheckedMessage = "清理完毕！";

// The rows "清理选中的项目" cleans, in the order it cleans them: the checked ones, top to bottom.
std::vector<CleanerRow> rowsToClean(const std::array<bool, 5>& checked);

}  // namespace pluvik
