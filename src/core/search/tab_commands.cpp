#include "search/tab_commands.h"

#include <algorithm>

#include "search/engine_table.h"

namespace pluvik {
namespace {

bool isProgramPage(std::string_view address) {
    if (address.empty() || address == "about:blank") return true;
    // The start page is a local file, loaded by its path or as a file address.
    const bool local = address.starts_with("file:") || address.starts_with("/");
    const std::string_view name = address.substr(address.find_last_of('/') + 1);
    return local && name == EngineTable::kStartPage;
}

}  // namespace

std::string closeTabQuestion() {
    return "真的要关闭当前选项卡吗？\r\n"
           "此为临时关闭，如想彻底关闭，请进入设置中修改！\r\n"
           "如果关闭后想恢复请重新打开程序！\r\n"
           "如果您想不提示直接关闭当前选项卡，\r\n"
           "请双击选项卡标签！";
}

bool closeCurrentResultTab(TabStripModel& tabs) {
    if (tabs.visibleCount() <= 1) return false;
    tabs.setVisible(tabs.current(), false);
    return true;
}

void closeOtherResultTabs(TabStripModel& tabs) {
    for (int i = 0; i < tabs.tabCount(); ++i) tabs.setVisible(i, i == tabs.current());
}

const std::array<CaptionColor, 6>& captionColors() {
    static const std::array<CaptionColor, 6> kColors{{
        {"moren", "默认（黑）(&H)", {0, 0, 0}},
        {"hong", "红(&R)", {255, 0, 0}},
        {"huang", "黄(&Y)", {255, 255, 0}},
        {"lan", "蓝(&B)", {0, 0, 255}},
        {"lv", "绿(&G)", {0, 255, 0}},
        {"cheng", "橙(&O)", {255, 128, 64}},
    }};
    return kColors;
}

BulkConfirmation bulkConfirmation(BulkCommand command, int pages) {
    const std::string n = std::to_string(pages);
    if (command == BulkCommand::Save)
        return {"保存确认", "真的要保存所有结果吗？\r\n这将保存所有" + n + "个页面，请三思而后行！"};
    return {"打印确认", "真的打印所有结果吗？\r\n这将打印所有" + n + "个页面，请三思而后行！"};
}

std::string nothingToSaveOrPrint(BulkCommand command) {
    return command == BulkCommand::Save ? "没有可以保存的结果页面！" : "没有可以打印的结果页面！";
}

BulkConfirmation stopTheRestQuestion(BulkCommand command, std::string_view owner) {
    const std::string verb = command == BulkCommand::Save ? "保存" : "打印";
    const std::string page = owner.empty() ? "这个页面" : "“" + std::string(owner) + "”的页面";
    return {bulkConfirmation(command, 0).title,
            "已取消" + verb + page + "。\r\n要停止" + verb + "其余的页面吗？"};
}

std::vector<int> pagesHoldingResults(const std::vector<PageOnTab>& pages) {
    std::vector<int> result;
    for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
        const PageOnTab& p = pages[static_cast<size_t>(i)];
        if (p.shown && p.hasPage && !isProgramPage(p.address)) result.push_back(i);
    }
    return result;
}

bool stepCurrentTab(TabStripModel& tabs, TabStep step) {
    const std::vector<int> visible = tabs.visibleTabs();
    if (visible.empty()) return false;
    const auto at = std::find(visible.begin(), visible.end(), tabs.current());
    const int count = static_cast<int>(visible.size());
    // A hidden current tab (nothing visible was left to pick) starts from the first visible one.
    int index =
        at == visible.end() ? 0 : static_cast<int>(at - visible.begin()) + (step == TabStep::Next ? 1 : -1);
    index = (index % count + count) % count;
    const int before = tabs.current();
    tabs.setCurrent(visible[static_cast<size_t>(index)]);
    return tabs.current() != before;
}

}  // namespace pluvik
