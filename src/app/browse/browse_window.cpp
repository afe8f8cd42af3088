#include "browse/browse_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/moveform_adapter.h"
#include "platform/browser_factory.h"
#include "platform/browser_view.h"
#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/tab_keys.h"
#include "shell/menu_table.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"
#include "shell/window_placement.h"

namespace pluvik {

BrowseWindow::BrowseWindow(ProgramServices services, QWidget* parent)
    : QMainWindow(parent), m_ctx(std::move(services)) {
    setObjectName(QStringLiteral("搜索浏览"));
    setWindowTitle(toQ(kBrowseCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    connectEvents();
    load();
}

BrowseWindow::~BrowseWindow() {
    // The controls are deleted after this body, by the widget base; what a browser reports on its
    // way out must not reach handlers of a window that is already half gone.
    for (BrowserView* view : m_browsers) {
        if (view) view->disconnect(this);
    }
    if (m_tabs) m_tabs->disconnect(this);
    if (m_combo) {
        m_combo->disconnect(this);
        if (m_combo->lineEdit()) m_combo->lineEdit()->disconnect(this);
    }
}

void BrowseWindow::buildControls() {
    useProgramFont(this);

    // The inner area at its design size; every control below is placed in it at its design place
    // and scaled from there on every resize.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->resize(kDesignWidth, kDesignHeight);

    struct ButtonPlace {
        const char* name;
        const char* text;
        QStyle::StandardPixmap icon;
        QRect geometry;
        void (BrowseWindow::*command)();
    };
    static const ButtonPlace kButtons[] = {
        {"Command1", "后退", QStyle::SP_ArrowBack, {6, 2, 52, 52}, &BrowseWindow::goBack},
        {"Command2", "前进", QStyle::SP_ArrowForward, {60, 2, 52, 52}, &BrowseWindow::goForward},
        {"Command3", "刷新", QStyle::SP_BrowserReload, {124, 2, 52, 52}, &BrowseWindow::refresh},
        {"Command4", "停止", QStyle::SP_BrowserStop, {178, 2, 52, 52}, &BrowseWindow::stop},
        {"Command5", "主页", QStyle::SP_DirHomeIcon, {232, 2, 52, 52}, &BrowseWindow::goHome},
        {"Command6", "转到", QStyle::SP_ArrowRight, {842, 2, 60, 52}, &BrowseWindow::go},
        {"Command7",
         "关闭当前选项卡",
         QStyle::SP_DialogCloseButton,
         {910, 2, 100, 52},
         &BrowseWindow::closeTab},
    };
    for (const ButtonPlace& b : kButtons) {
        auto* button = new PictureButton(m_client, QLatin1String(b.name), QString::fromUtf8(b.text),
                                         style()->standardIcon(b.icon), b.geometry);
        connect(button, &QToolButton::clicked, this, b.command);
        m_command7 = button;  // the last one
    }
    for (const auto& [name, x] : {std::pair{"Line1", 116}, std::pair{"Line2", 288}}) {
        auto* line = new QFrame(m_client);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(x, 6, 3, 44);
    }

    m_combo = new QComboBox(m_client);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setEditable(true);
    // The list grows only by the address rule, and a typed address is never completed from it.
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    m_combo->setMaxVisibleItems(20);
    m_combo->setGeometry(298, 17, 538, 22);

    m_tabs = new TabStrip(kTabCount, m_client);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->edit([](TabStripModel& model) { model = makeBrowseTabStrip(); });
    m_tabs->setGeometry(4, 58, 1008, 604);
    for (int i = 0; i < kTabCount; ++i) {
        QWidget* page = m_tabs->page(i);
        auto* fill = new QVBoxLayout(page);
        fill->setContentsMargins(0, 0, 0, 0);
        BrowserView* view = m_ctx.browsers.create(page, QStringLiteral("WebBrowser%1").arg(i));
        fill->addWidget(view);
        m_browsers[static_cast<size_t>(i)] = view;
    }

    auto* statusBar = new QStatusBar(m_client);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, 664, kDesignWidth, 20);
    m_statusLabel = new QLabel(statusBar);
    m_statusLabel->setObjectName(QStringLiteral("StatusBar1Text"));
    statusBar->addWidget(m_statusLabel, 1);

    m_layout = new ProportionalLayout(m_client);
}

void BrowseWindow::buildMenus() {
    auto save = [this] { execCurrent(BrowserCommand::SaveAs); };
    auto saveAll = [this] { execAll(BrowserCommand::SaveAs); };
    auto print = [this] { execCurrent(BrowserCommand::Print); };
    auto printAll = [this] { execAll(BrowserCommand::Print); };

    QMenu* liulan = menuBar()->addMenu(QStringLiteral("浏览"));
    liulan->setObjectName(QStringLiteral("liulan"));
    addMenuEntries(liulan, this,
                   {{"baocun", "保存当前页面", nullptr, save},
                    {"baocunall", "保存全部页面", nullptr, saveAll},
                    {nullptr},
                    {"dayin", "打印当前页面", nullptr, print},
                    {"dayinall", "打印全部页面", nullptr, printAll},
                    {nullptr},
                    {"tuichu", "退出", nullptr, [this] { close(); }}});

    QMenu* guanyu = menuBar()->addMenu(QStringLiteral("关于"));
    guanyu->setObjectName(QStringLiteral("guanyu"));
    addMenuEntries(guanyu, this, {{"about", "关于", nullptr, [this] { showAbout(); }}});

    // The tab strip's context menu; it is not in the menu bar.
    m_youjian = new QMenu(QStringLiteral("右键"), this);
    m_youjian->setObjectName(QStringLiteral("youjian"));
    addMenuEntries(m_youjian, this,
                   {{"guanbi", "关闭当前选项卡", nullptr, [this] { closeTab(); }},
                    {nullptr},
                    {"bcin", "保存当前页面", nullptr, save},
                    {"bcall", "保存全部页面", nullptr, saveAll},
                    {nullptr},
                    {"dyin", "打印当前页面", nullptr, print},
                    {"dyall", "打印全部页面", nullptr, printAll}});
}

void BrowseWindow::connectEvents() {
    connect(m_combo->lineEdit(), &QLineEdit::returnPressed, this, &BrowseWindow::enterAddress);
    // The box on its own picks the list entry equal to its text whenever editing ends (Enter, or
    // the focus leaving it) and reports that as a choice from the list: one Enter would navigate
    // twice, and leaving the box would navigate without any key. Only a real choice counts.
    disconnect(m_combo->lineEdit(), &QLineEdit::editingFinished, m_combo, nullptr);
    connect(m_combo, &QComboBox::activated, this, &BrowseWindow::chooseAddress);

    connect(m_tabs, &TabStrip::currentChanged, this, &BrowseWindow::showCurrentTab);
    connect(m_tabs, &TabStrip::tabDoubleClicked, this, &BrowseWindow::quickClose);
    connect(m_tabs, &TabStrip::mousePressed, this, [this](Qt::MouseButton button, const QPoint& globalPos) {
        if (button == Qt::RightButton) m_youjian->popup(globalPos);
    });
    new TabKeys(this, m_tabs, m_youjian);

    // Every browser's events act on the current browser, whichever browser raised them.
    for (BrowserView* view : m_browsers) {
        connect(view, &BrowserView::DownloadBegin, this,
                [this] { setStatusText(toQ(kStatusDownloadBegin)); });
        connect(view, &BrowserView::DownloadComplete, this, [this](bool) {
            setStatusText(toQ(kStatusDownloadComplete));
            m_combo->setEditText(currentBrowser()->LocationURL());
        });
        connect(view, &BrowserView::DocumentComplete, this, [this] {
            setStatusText(toQ(kStatusDocumentComplete));
            m_combo->setEditText(currentBrowser()->LocationURL());
        });
        connect(view, &BrowserView::TitleChange, this, [this] {
            const QString title = currentBrowser()->DocumentTitle();
            m_tabs->setCaption(m_tabs->current(), title);
            setWindowTitle(title);
        });
        connect(view, &BrowserView::NewWindow2, this, [this](NewWindowSlot& slot) { onNewWindow(slot); });
    }
}

void BrowseWindow::load() {
    // 1. The design layout, at the design size of the inner area.
    m_layout->record();

    // 2. The whole screen above the taskbar; the resize this brings scales the controls. Once the
    // window is on the screen its frame, title bar included, fills the work area.
    setPlacement(this, Placement::Fill);
    fillWorkArea(this);

    // 3. Tab 0 is current; its browser raises no dialogs of its own.
    m_tabs->setCurrent(0);
    currentBrowser()->setSilent(true);

    // 4. The home page in tab 0.
    browser(0)->GoHome();

    // 5. Nothing to close yet.
    m_command7->setEnabled(false);

    // 6. The address of the current page.
    m_combo->setEditText(currentBrowser()->LocationURL());

    // 7. Tab 0 only.
    m_tabs->setTabVisible(0, true);
    for (int i = 1; i < kTabCount; ++i) m_tabs->setTabVisible(i, false);

    m_ctx.trace.record("browse_window_loaded");
}

BrowserView* BrowseWindow::currentBrowser() const {
    return browser(m_tabs->current());
}

QString BrowseWindow::statusText() const {
    return m_statusLabel->text();
}

void BrowseWindow::setStatusText(const QString& text) {
    m_statusLabel->setText(text);
}

void BrowseWindow::showCurrentTab() {
    setWindowTitle(m_tabs->caption(m_tabs->current()));
    m_combo->setEditText(currentBrowser()->LocationURL());
}

void BrowseWindow::onNewWindow(NewWindowSlot& slot) {
    const NewWindowDecision decision = m_tabs->edit(placeNewWindow);
    m_command7->setEnabled(decision.command7Enabled);
    if (decision.accepted) slot.target = browser(decision.targetTab);
    m_ctx.trace.record("browse_new_window", {{"url", slot.requestedUrl.toString(QUrl::FullyEncoded)},
                                             {"tab", decision.targetTab}});
    if (decision.showLimitMessage) {
        // The slot stays empty: the page opens in the system web browser.
        BusyScope busy(this);
        m_ctx.dialogs.inform(this, toQ(kLimitMessage));
        if (!busy.window()) return;
    }
    currentBrowser()->setSilent(true);
}

BrowseWindow::BusyScope::BusyScope(BrowseWindow* window) : m_window(window) {
    ++window->m_busy;
}

BrowseWindow::BusyScope::~BusyScope() {
    if (!m_window) return;
    if (--m_window->m_busy == 0 && m_window->m_closePending) m_window->close();
}

void BrowseWindow::announceClosing() {
    if (m_closingAnnounced) return;
    m_closingAnnounced = true;
    m_ctx.trace.record("browse_window_closed");
    emit closing();
}

void BrowseWindow::closeEvent(QCloseEvent* event) {
    if (m_busy > 0) {
        // A dialog of this window is still in its event loop, with a browser of this window below
        // it on the stack: the window goes out of sight now and is deleted once the dialog returns.
        m_closePending = true;
        event->ignore();
        hide();
        announceClosing();
        return;
    }
    QMainWindow::closeEvent(event);
    announceClosing();
}

}  // namespace pluvik
