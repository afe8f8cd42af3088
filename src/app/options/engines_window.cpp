#include "options/engines_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "options/option_rules.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_addresses.h"
#include "search/engine_watch.h"
#include "search/engines_file_edit.h"
#include "search/query_address.h"
#include "search/result_tabs.h"
#include "shell/settings.h"
#include "shell/tab_strip.h"
#include "shell/window_parts.h"

namespace pluvik {

namespace {

enum Column { kWindow, kCaption, kKey, kAddress, kEncoding, kSwitch, kLast, kCounts, kMedian, kColumns };

bool onMainWindow(const EngineRow& row) {
    return row.window == EngineWindow::Main || row.window == EngineWindow::User;
}

int diyNumber(const EngineRow& row) {
    return row.index - EngineTable::kDiy1Tab + 1;
}

}  // namespace

EnginesWindow::EnginesWindow(const AppContext& context, ResultTabs& results)
    : QWidget(nullptr, Qt::Window), m_ctx(context), m_results(results), m_rows(engineRows()) {
    windowPreamble(this, QStringLiteral("EnginesWindow"), QStringLiteral("引擎管理"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    fillAll();
    m_listener = m_ctx.engines.listen(
        [this](const std::string& key, const AddressTemplate&) { fillRowsOf(key); });
    connect(&m_results.engines().health(), &EngineHealthLog::recorded, this,
            [this](const QString& key) { fillRowsOf(toStd(key)); });
    m_list->setCurrentCell(0, kCaption);
    m_list->setFocus();
}

EnginesWindow::~EnginesWindow() {
    m_ctx.engines.stopListening(m_listener);
}

void EnginesWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("EngineList"));
    m_list->setColumnCount(kColumns);
    m_list->setRowCount(static_cast<int>(m_rows.size()));
    m_list->setHorizontalHeaderLabels({QStringLiteral("窗口"), QStringLiteral("名称"), QStringLiteral("键"),
                                       QStringLiteral("地址"), QStringLiteral("编码"), QStringLiteral("开关"),
                                       QStringLiteral("上次结果"), QStringLiteral("成功 / 失败"),
                                       QStringLiteral("时间中位数")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->setWordWrap(false);  // an address is one line, cut short where the column ends
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->verticalHeader()->hide();
    // Every column but the address follows its widest cell, also when a row changes later (an
    // engine that now reads UTF-8, a search's outcome); the address takes the rest.
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setSectionResizeMode(kAddress, QHeaderView::Stretch);
    m_list->installEventFilter(this);
    connect(m_list, &QTableWidget::currentCellChanged, this, [this] { showSelected(); });
    layout->addWidget(m_list, 1);

    auto* edit = new QHBoxLayout;
    auto* addressLabel = named<QLabel>(this, "AddressLabel", QStringLiteral("地址(&A)："));
    m_address = named<QLineEdit>(this, "AddressEdit", {});
    m_address->installEventFilter(this);
    addressLabel->setBuddy(m_address);
    connect(m_address, &QLineEdit::returnPressed, this, &EnginesWindow::saveAddress);
    auto* encodingLabel = named<QLabel>(this, "EncodingLabel", QStringLiteral("编码(&E)："));
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("EncodingBox"));
    m_encoding->addItems({QStringLiteral("GBK"), QStringLiteral("UTF-8")});
    encodingLabel->setBuddy(m_encoding);
    edit->addWidget(addressLabel);
    edit->addWidget(m_address, 1);
    edit->addWidget(encodingLabel);
    edit->addWidget(m_encoding);
    layout->addLayout(edit);

    auto* buttons = new QHBoxLayout;
    m_switch = named<QCheckBox>(this, "SwitchBox", QStringLiteral("在主窗口中搜索(&O)"));
    connect(m_switch, &QCheckBox::clicked, this, &EnginesWindow::setSwitch);
    m_save = named<QPushButton>(this, "SaveButton", QStringLiteral("保存(&S)"));
    connect(m_save, &QPushButton::clicked, this, &EnginesWindow::saveAddress);
    m_restore = named<QPushButton>(this, "RestoreButton", QStringLiteral("恢复默认(&R)"));
    connect(m_restore, &QPushButton::clicked, this, &EnginesWindow::restoreAddress);
    m_try = named<QPushButton>(this, "TryButton", QStringLiteral("试一下(&T)"));
    connect(m_try, &QPushButton::clicked, this, &EnginesWindow::tryEngine);
    auto* close = named<QPushButton>(this, "CloseButton", QStringLiteral("关闭"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(m_switch);
    buttons->addStretch(1);
    for (QPushButton* button : {m_save, m_restore, m_try, close}) buttons->addWidget(button);
    layout->addLayout(buttons);

    m_message = named<QLabel>(this, "MessageLabel", {});
    m_message->setWordWrap(true);
    layout->addWidget(m_message);
    resize(900, 560);
}

AddressTemplate EnginesWindow::addressOf(const EngineRow& row, const Settings& settings) const {
    if (row.window != EngineWindow::User) return m_ctx.engines.current(row.key);
    return {settings.diyUrl(diyNumber(row)), {}, settings.diyEncoding(diyNumber(row))};
}

void EnginesWindow::fillAll() {
    const Settings settings = m_ctx.settings.current();
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) fillRow(row, settings);
}

void EnginesWindow::fillRowsOf(std::string_view key) {
    const Settings settings = m_ctx.settings.current();
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row)
        if (m_rows.at(static_cast<size_t>(row)).key == key) fillRow(row, settings);
}

void EnginesWindow::fillRow(int row, const Settings& settings) {
    const EngineRow& engine = m_rows.at(static_cast<size_t>(row));
    const AddressTemplate address = addressOf(engine, settings);
    const EngineHealth::Summary health = m_results.engines().health().summary(toQ(engine.key));
    QString caption = toQ(engine.caption);
    QString onOff;
    if (onMainWindow(engine)) {
        const std::int16_t value = engine.window == EngineWindow::Main ? settings.engine(engine.index)
                                                                       : settings.diy(diyNumber(engine));
        const Switch state = switchValue(value);
        onOff = state == Switch::On    ? QStringLiteral("开")
                : state == Switch::Off ? QStringLiteral("关")
                                       : QString::number(value);
    }
    if (engine.window == EngineWindow::User && !settings.diyName(diyNumber(engine)).empty())
        caption = toQ(settings.diyName(diyNumber(engine)));
    const QStringList cells{toQ(windowCaption(engine.window)),
                            caption,
                            toQ(engine.key),
                            toQ(addressText(address)),
                            toQ(encodingName(address.encoding)),
                            onOff,
                            health.last ? toQ(resultCaption(*health.last)) : QString(),
                            toQ(countsText(health)),
                            toQ(medianText(health))};
    for (int column = 0; column < kColumns; ++column) {
        auto* item = new QTableWidgetItem(cells.at(column));
        if (column == kLast && health.last && *health.last != EngineResult::Ok)
            item->setForeground(QColor(0xd0, 0x30, 0x30));
        m_list->setItem(row, column, item);
    }
    if (row == selected()) showSelected();
}

int EnginesWindow::selected() const {
    return m_list->currentRow();
}

void EnginesWindow::showSelected() {
    if (selected() < 0) return;
    const EngineRow& row = m_rows.at(static_cast<size_t>(selected()));
    const AddressTemplate address = addressOf(row, m_ctx.settings.current());
    const bool user = row.window == EngineWindow::User;
    m_address->setText(toQ(addressText(address)));
    m_address->setReadOnly(user);
    m_encoding->setCurrentIndex(address.encoding == KeywordEncoding::Utf8 ? 1 : 0);
    m_encoding->setEnabled(!user);
    m_save->setEnabled(!user);
    m_restore->setEnabled(!user && m_ctx.engines.replaced(row.key).has_value());
    m_try->setEnabled(onMainWindow(row));
    m_switch->setEnabled(onMainWindow(row));
    m_switch->setChecked(onMainWindow(row) &&
                         m_list->item(selected(), kSwitch)->text() == QStringLiteral("开"));
    if (user)
        tell(QStringLiteral("用户引擎的名称和地址在“选项”中修改。"));
    else if (!onMainWindow(row))
        tell(QStringLiteral("此引擎属于%1窗口，请在该窗口中试用。").arg(toQ(windowCaption(row.window))));
    else
        tell({});
}

void EnginesWindow::tell(const QString& text, bool problem) {
    m_message->setStyleSheet(problem ? QStringLiteral("color: #c03030;") : QString());
    m_message->setText(text);
}

void EnginesWindow::saveAddress() {
    if (selected() < 0 || m_address->isReadOnly()) return;
    const EngineRow row = m_rows.at(static_cast<size_t>(selected()));
    const QString value =
        m_address->text().trimmed() +
        (m_encoding->currentIndex() == 1 ? QStringLiteral(" utf-8") : QStringLiteral(" gbk"));
    const ParsedAddress parsed = parseEngineAddress(toStd(value));
    if (!parsed.address) return tell(toQ(addressProblemText(toStd(value))), true);
    m_ctx.engines.replace(row.key, *parsed.address);  // its rows are filled again as it is told
    if (!keep({row.key, *parsed.address}, QStringLiteral("新地址"))) return;
    tell(QStringLiteral("%1的新地址已生效，并已保存。").arg(m_list->item(selected(), kCaption)->text()));
}

void EnginesWindow::restoreAddress() {
    if (selected() < 0) return;
    const EngineRow row = m_rows.at(static_cast<size_t>(selected()));
    m_ctx.engines.restore(row.key);  // its rows are filled again as it is told
    if (!keep({row.key, std::nullopt}, QStringLiteral("默认地址"))) return;
    tell(QStringLiteral("已恢复默认地址。"));
}

bool EnginesWindow::keep(const EngineChange& change, const QString& what) {
    std::string error;
    const auto file = std::filesystem::path(toStd(m_ctx.programDir)) / kEngineAddressesFileName;
    if (saveEngineChanges(file, {change}, &error)) return true;
    tell(what + QStringLiteral("本次运行中有效，但无法保存到 engines.txt：") + toQ(error), true);
    return false;
}

void EnginesWindow::tryEngine() {
    if (selected() < 0 || !onMainWindow(m_rows.at(static_cast<size_t>(selected())))) return;
    const EngineRow row = m_rows.at(static_cast<size_t>(selected()));
    const std::string keyword = toStd(m_results.keyword().trimmed());
    if (keyword.empty()) return tell(QStringLiteral("请先在主窗口中输入关键词。"), true);
    if (!m_results.strip()->isTabVisible(row.index))
        return tell(QStringLiteral("此引擎没有打开，请先选中“在主窗口中搜索”。"), true);
    const Settings settings = m_ctx.settings.current();
    const BuiltQuery query =
        row.window == EngineWindow::Main
            ? m_ctx.engines.address(row.index, keyword)
            : diyAddress(settings.diyUrl(diyNumber(row)), settings.diyEncoding(diyNumber(row)), keyword);
    m_ctx.trace.record("engine_tried", {{"key", toQ(row.key)}, {"url", toQ(query.address)}});
    // Shown first: a tab still waiting to load the search's page loads it as it comes to the front.
    m_results.strip()->setCurrent(row.index);
    m_results.tryEngine(row.index, toQ(keyword), toQ(query.address));
    QWidget* main = m_results.strip()->window();
    main->raise();
    main->activateWindow();
}

void EnginesWindow::setSwitch(bool on) {
    if (selected() < 0 || !onMainWindow(m_rows.at(static_cast<size_t>(selected())))) return;
    const EngineRow row = m_rows.at(static_cast<size_t>(selected()));
    // From the files, not from an open options dialog: its unsaved values stay its own.
    Settings settings = m_ctx.settings.stored();
    if (row.window == EngineWindow::Main)
        settings.setEngine(row.index, on ? 1 : 0);
    else
        settings.setDiy(diyNumber(row), on ? 1 : 0);
    // As the options dialog's "确定" does it, for this one switch.
    const TabPlan plan = okOps(settings, m_results.tabVisibility());
    for (const TabOp& op : plan.ops) {
        if (op.kind == TabOp::SetCaption)
            m_results.setTabCaption(op.tab, toQ(op.caption));
        else
            m_results.setTabVisible(op.tab, op.kind == TabOp::Show);
    }
    const bool saved = m_ctx.settings.SaveSettings(settings);
    m_results.switchesSaved(settings);
    emit switchSaved(row.index, on);
    fillRow(selected(), settings);
    if (plan.keptLastTab)
        tell(QStringLiteral("至少需要保留一个搜索引擎选项卡，最后一个选项卡未被关闭。"), true);
    else if (!saved)
        tell(QStringLiteral("设置无法保存：") + toQ(m_ctx.settings.lastError()) +
                 QStringLiteral("\n本次运行中所做的设置仍然有效。"),
             true);
}

bool EnginesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_list && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
            m_address->setFocus();
            m_address->selectAll();
            return true;
        }
        if (watched == m_address && key == Qt::Key_Escape) {
            showSelected();
            m_list->setFocus();
            return true;
        }
        if (watched == m_list && key == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pluvik
