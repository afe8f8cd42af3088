// The main window's menus and what each entry does: the menu bar and the tray menu mnuTray (the tab
// menu youjian is the result tabs').

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "browse/browse_windows.h"
#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "search/main_window.h"
#include "search/tray_controller.h"
#include "shell/menu_table.h"
#include "windows/open_link.h"
#include "windows/open_link_decision.h"

namespace pluvik {

void MainWindow::buildMenus() {
    auto link = [this](MakerPage page) {
        return [this, page] { OpenLink(m_ctx, this, toQ(makerAddress(page))); };
    };
    auto save = [this] { m_results.execCurrent(BrowserCommand::SaveAs); };
    auto saveAll = [this] { m_results.execAll(BrowserCommand::SaveAs); };
    auto print = [this] { m_results.execCurrent(BrowserCommand::Print); };
    auto printAll = [this] { m_results.execAll(BrowserCommand::Print); };
    auto options = [this] { m_windows.showOptions(); };
    auto ranking = [this] { m_windows.showRanking(); };
    auto dual = [this] { m_windows.showDual(); };
    auto browse = [this] { m_ctx.browseWindows.defaultInstance(); };
    auto cleaner = [this] { m_windows.showCleaner(); };
    auto about = [this] { m_windows.showAbout(); };
    auto exit = [this] { exitProgram(); };

    QMenu* sousuo = menuBar()->addMenu(QStringLiteral("搜索(&S)"));
    sousuo->setObjectName("sousuo");
    addMenuEntries(sousuo, this,
                   {{"start", "开始搜索", "Ctrl+G", [this] { search(); }},
                    {"phb", "搜索排行榜", "Ctrl+B", ranking},
                    {"goersou", "双屏搜索", "Ctrl+T", dual},
                    {"souwrb", "搜索浏览器", "Ctrl+W", browse},
                    {"delete", "清理搜索记录", "Ctrl+D", cleaner},
                    {nullptr},
                    {"xuanxiang", "选项", "Ctrl+X", options},
                    {"yinqing", "引擎管理…", nullptr, [this] { m_windows.showEngines(); }},
                    {nullptr},
                    {"baocunjieguo", "保存当前结果", "Ctrl+S", save},
                    {"baocunsuoyoujieguo", "保存所有结果", "Ctrl+F11", saveAll},
                    {nullptr},
                    {"print", "打印当前结果", "Ctrl+P", print},
                    {"pointall", "打印所有结果", "Ctrl+F12", printAll},
                    {nullptr},
                    {"exit", "退出", "Ctrl+E", exit}});

    QMenu* view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    view->setObjectName("view");
    auto mini = [this] { m_windows.showMini(this, *m_tray, [this] { exitProgram(); }); };
    addMenuEntries(view, this, {{"big", "标准模式"}, {"mini", "Mini模式", nullptr, mini}});
    // "标准模式" has no command of its own: it stays checked.
    QAction* big = view->findChild<QAction*>("big");
    big->setCheckable(true);
    big->setChecked(true);
    connect(big, &QAction::triggered, big, [big] { big->setChecked(true); });
    QMenu* hp = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    hp->setObjectName("hp");
    addMenuEntries(hp, this,
                   {{"help", "帮助", "Ctrl+H", link(MakerPage::Help)},
                    {nullptr},
                    {"website", "产品网站", "F2", link(MakerPage::ProductHome)},
                    {"index", "官方网站", "Ctrl+I", link(MakerPage::MakerHome)},
                    {"BUG", "提交BUG", "Ctrl+J", [this] { OpenBugReport(m_ctx.shell, this); }},
                    {nullptr},
                    {"update", "检查更新", "Ctrl+U", [this] { m_windows.showUpdate(); }},
                    {"zanzhu", "赞助我们", "Ctrl+Z", [this] { m_windows.showSponsor(); }},
                    {"about", "关于 Pluvik", "Ctrl+A", about}});

    auto* trayMenu = new QMenu(QStringLiteral("Popup"), this);
    trayMenu->setObjectName("mnuTray");
    m_tray = new TrayController(this, trayMenu, m_ctx.trace);
    addMenuEntries(trayMenu, this,
                   {{"sousuocaidan", "搜索(&G)", nullptr, [this] { if (!m_results.showRunUnderway()) search(); }},
                    {"paihang", "搜索排行榜(&B)", nullptr, ranking},
                    {"goerso", "双屏搜索(&T)", nullptr, dual},
                    {"soub", "搜索浏览器(&W)", nullptr, browse},
                    {"godelete", "清理搜索记录(&D)", nullptr, cleaner},
                    {"gang6"},
                    {"xuanxiangcaidan", "选项(&X)", nullptr, options},
                    {"gang14"},
                    {"guanyucaidan", "关于(&A)", nullptr, about},
                    {"gangcaidan"},
                    {"mnuTrayRestore", "显示界面(&V)", nullptr, [this] { m_tray->showWindow(); }},
                    {"mnuTrayMinimize", "隐藏界面(&U)", nullptr, [this] { m_tray->hideWindow(); }},
                    {"mnuTraySep"},
                    {"mnuTrayClose", "退出(&E)", nullptr, exit}});
}

}  // namespace pluvik
