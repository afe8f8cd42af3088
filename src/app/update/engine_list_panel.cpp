#include "update/engine_list_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "search/engine_catalogue.h"
#include "search/engines_file_edit.h"
#include "shell/window_parts.h"

namespace pluvik {
namespace {

enum Column { EngineColumn, KeyColumn, FromColumn, ToColumn };

QTreeWidgetItem* changeRow(const OfferedChange& change) {
    QString engine = toQ(engineCaption(change.key));
    if (change.setByHand) engine += QStringLiteral("（您修改过）");
    auto* row = new QTreeWidgetItem(QStringList{engine, toQ(change.key), toQ(engineLineValue(change.from)),
                                                toQ(engineLineValue(change.to))});
    for (int column = EngineColumn; column <= ToColumn; ++column) row->setToolTip(column, row->text(column));
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    // The user's own address is never replaced unless they tick it themselves.
    row->setCheckState(EngineColumn, change.setByHand ? Qt::Unchecked : Qt::Checked);
    return row;
}

}  // namespace

EngineListPanel::EngineListPanel(EngineCatalogue& engines, Dialogs& dialogs, Trace& trace,
                                 std::filesystem::path programDir, QWidget* parent)
    : QWidget(parent), m_engines(engines), m_dialogs(dialogs), m_trace(trace), m_programDir(std::move(programDir)) {
    setObjectName(QStringLiteral("fraEngines"));
    m_lblEngines = named<QLabel>(this, "lblEngines", QString());
    m_lblEngines->setWordWrap(true);
    m_lstEngines = new QTreeWidget(this);
    m_lstEngines->setObjectName(QStringLiteral("lstEngines"));
    m_lstEngines->setHeaderLabels(
        {QStringLiteral("引擎"), QStringLiteral("名称"), QStringLiteral("原地址"), QStringLiteral("新地址")});
    m_lstEngines->setRootIsDecorated(false);
    m_lstEngines->setAllColumnsShowFocus(true);
    m_lstEngines->header()->setSectionResizeMode(QHeaderView::Interactive);
    // Two addresses of one engine mostly differ in their host or in their query: keep both ends.
    m_lstEngines->setTextElideMode(Qt::ElideMiddle);
    m_lstEngines->setColumnWidth(EngineColumn, 200);
    m_lstEngines->setColumnWidth(KeyColumn, 100);
    m_lstEngines->setColumnWidth(FromColumn, 260);
    m_command3 = named<QPushButton>(this, "Command3", QStringLiteral("更新引擎"));
    connect(m_command3, &QPushButton::clicked, this, &EngineListPanel::Command3_Click);
    connect(m_lstEngines, &QTreeWidget::itemChanged, this, &EngineListPanel::updateButton);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblEngines);
    layout->addWidget(m_lstEngines, 1);
    layout->addLayout(buttons);
    QWidget::setVisible(false);
}

EngineLookup EngineListPanel::lookup() const {
    return [this](const std::string& key) { return EngineNow{m_engines.current(key), m_engines.replaced(key)}; };
}

void EngineListPanel::offer(const std::optional<EngineListCheck>& found) {
    m_list.reset();
    m_changes.clear();
    m_lstEngines->clear();
    if (!found) {
        showChanges(false);
        return;
    }
    const EngineListCheck& check = *found;
    QVariantMap fields{{"address", toQ(check.address)}};
    if (!check.list) {
        fields.insert("refused", toQ(check.refusal));
        fields.insert("line", check.line);
    } else {
        const EngineListRecord record = readEngineListRecord(m_programDir / kEngineListRecordName);
        m_changes = offeredChanges(*check.list, record, lookup());
        fields.insert("version", toQ(check.list->version));
        fields.insert("applied_version", toQ(record.version));
        fields.insert("changes", offeredCount());
        if (!m_changes.empty()) m_list = check.list;
    }
    m_trace.record(QStringLiteral("engine_list"), fields);

    for (const OfferedChange& change : m_changes) m_lstEngines->addTopLevelItem(changeRow(change));
    m_lblEngines->setText(QStringLiteral("服务器提供了新的引擎地址（版本 %1），勾选的引擎将改用新地址：")
                              .arg(m_list ? toQ(m_list->version) : QString()));
    updateButton();
    showChanges(m_list.has_value());
}

void EngineListPanel::updateButton() {
    bool any = false;
    for (int i = 0; i < m_lstEngines->topLevelItemCount(); ++i)
        any = any || m_lstEngines->topLevelItem(i)->checkState(EngineColumn) == Qt::Checked;
    m_command3->setEnabled(any);
}

void EngineListPanel::showChanges(bool shown) {
    setVisible(shown);
    emit shownChanged(shown);
}

void EngineListPanel::Command3_Click() {
    if (!m_list) return;
    std::vector<EngineChange> changes;
    QStringList keys;
    for (int i = 0; i < m_lstEngines->topLevelItemCount() && i < offeredCount(); ++i) {
        if (m_lstEngines->topLevelItem(i)->checkState(EngineColumn) != Qt::Checked) continue;
        const OfferedChange& c = m_changes[static_cast<std::size_t>(i)];
        // The list's address may be the built-in one: the engine goes back to following the hosts file.
        if (c.to == m_engines.builtIn(c.key)) {
            changes.push_back({c.key, std::nullopt});
        } else {
            changes.push_back({c.key, c.to});
        }
        keys << toQ(c.key);
    }
    if (changes.empty()) return;

    // The file first: when it cannot be written, nothing changes, in the file or in the program.
    std::string error;
    if (!saveEngineChanges(m_programDir / kEngineAddressesFileName, changes, &error)) {
        m_trace.record(QStringLiteral("engine_list_failed"), {{"error", toQ(error)}});
        m_dialogs.show(window(), {QStringLiteral("检查更新"), QStringLiteral("引擎地址未能保存：%1").arg(toQ(error)),
                                  MessageIcon::Warning, MessageButtons::Ok});
        return;
    }
    for (const EngineChange& change : changes) {
        if (change.address) {
            m_engines.replace(change.key, *change.address);
        } else {
            m_engines.restore(change.key);
        }
    }
    const EngineListRecord before = readEngineListRecord(m_programDir / kEngineListRecordName);
    const EngineListRecord after = recordAfterApplying(*m_list, before, lookup());
    std::string recordError;
    // Without the record the engines changed now count as set by hand at the next list: asked again,
    // never overwritten, so the failure is only traced.
    const bool recorded = writeEngineListRecord(m_programDir / kEngineListRecordName, after, &recordError);
    m_trace.record(QStringLiteral("engine_list_applied"),
                   {{"version", toQ(m_list->version)}, {"keys", keys}, {"recorded", recorded},
                    {"error", toQ(recordError)}});

    m_list.reset();
    m_changes.clear();
    m_lstEngines->clear();
    showChanges(false);
    emit applied(QStringLiteral("已更新 %1 个引擎的地址。").arg(keys.size()));
}

}  // namespace pluvik
