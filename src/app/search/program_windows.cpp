#include "search/program_windows.h"

#include <QMainWindow>

#include "cleaner/del_search.h"
#include "options/engines_window.h"
#include "options/options_dialog.h"
#include "platform/trace.h"
#include "search/engine_watch.h"
#include "search/result_tabs.h"
#include "search/tray_controller.h"
#include "update/frm_update.h"
#include "windows/about_dialog.h"
#include "windows/dual_window.h"
#include "windows/mini_window.h"
#include "windows/ranking_window.h"
#include "windows/sponsor_dialog.h"

namespace pluvik {

namespace {

template <class Make>
void showSingle(QPointer<QWidget>& slot, Make make) {
    if (!slot) slot = make();
    slot->show();
    slot->raise();
    slot->activateWindow();
}

}  // namespace

ProgramWindows::ProgramWindows(const AppContext& ctx, ResultTabs& results, CleanerTargets& cleaner,
                               CleanerStores stores)
    : m_ctx(ctx), m_results(results), m_cleanerTargets(cleaner), m_stores(stores) {}

ProgramWindows::~ProgramWindows() {
    delete m_engines;
}

void ProgramWindows::showOptions() {
    showSingle(m_options, [this] { return new OptionsDialog(m_ctx, m_results); });
}

void ProgramWindows::showRanking() {
    showSingle(m_ranking, [this] { return new RankingWindow(m_ctx); });
}

void ProgramWindows::showDual() {
    showSingle(m_dual, [this] { return new DualWindow(m_ctx, &m_results.engines().health()); });
}

void ProgramWindows::showAbout() {
    showSingle(m_about, [this] { return new AboutDialog(m_ctx); });
}

void ProgramWindows::showSponsor() {
    showSingle(m_sponsor, [this] { return new SponsorDialog(m_ctx); });
}

void ProgramWindows::showUpdate() {
    showSingle(m_update, [this] {
        return new frmUpdate(m_ctx.dialogs, m_ctx.shell, m_ctx.engines, m_ctx.trace, m_ctx.programDir);
    });
}

void ProgramWindows::showCleaner() {
    showSingle(m_cleaner, [this] {
        auto* dialog = new DelSearch({m_ctx.dialogs, m_cleanerTargets, m_stores.history, m_stores.cache});
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        return dialog;
    });
}

void ProgramWindows::showEngines() {
    showSingle(m_engines, [this] {
        auto* page = new EnginesWindow(m_ctx, m_results);
        // A switch saved there while the options dialog is open shows in the dialog too.
        QObject::connect(page, &EnginesWindow::switchSaved, page, [this](int tab, bool on) {
            if (auto* options = qobject_cast<OptionsDialog*>(m_options.data())) options->followSwitch(tab, on);
        });
        return page;
    });
}

void ProgramWindows::showMini(QMainWindow* main, TrayController& tray, std::function<void()> exitProgram) {
    if (!m_mini) {
        m_mini = std::make_unique<MiniWindow>(
            m_ctx,
            [main, &tray] {
                main->showNormal();
                main->raise();
                main->activateWindow();
                tray.install();
            },
            std::move(exitProgram), &m_results.engines().health());
    }
    main->hide();
    m_mini->show();
    m_mini->raise();
    m_mini->activateWindow();
    tray.remove();
    m_ctx.trace.record("mini_shown");
}

}  // namespace pluvik
