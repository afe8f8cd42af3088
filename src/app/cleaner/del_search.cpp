#include "cleaner/del_search.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <exception>

#include "cleaner/cleaner_targets.h"
#include "cleaner/m_main.h"
#include "cleaner/url_history.h"
#include "platform/dialogs.h"

namespace pluvik {

namespace {

constexpr int kRowTop = 24;
constexpr int kRowHeight = 32;

}  // namespace

DelSearch::DelSearch(CleanerContext context, QWidget* parent) : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("DelSearch"));
    setWindowTitle(QStringLiteral("清理搜索记录"));
    setFixedSize(345, 242);

    m_frame1 = new QGroupBox(QStringLiteral("可清理的项目"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(8, 8, 329, 186);
    for (std::size_t i = 0; i < kCleanerRows.size(); ++i) {
        const CleanerRowText& row = kCleanerRows[i];
        const int y = kRowTop + static_cast<int>(i) * kRowHeight;
        auto* check = new QCheckBox(QString::fromUtf8(row.checkBoxCaption), m_frame1);
        check->setObjectName(QString::fromLatin1(row.checkBoxName));
        check->setGeometry(12, y, 200, 25);
        check->setChecked(row.checkedAtOpen);
        auto* button = new QPushButton(QString::fromUtf8(row.buttonCaption), m_frame1);
        button->setObjectName(QString::fromLatin1(row.buttonName));
        button->setGeometry(220, y, 97, 25);
        const CleanerRow which = row.row;
        connect(button, &QPushButton::clicked, this, [this, which] { cleanRowAndReport(which); });
        m_checks[i] = check;
        m_buttons[i] = button;
    }

    m_command1 = new QPushButton(QStringLiteral("清理选中的项目"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(8, 204, 121, 27);
    connect(m_command1, &QPushButton::clicked, this, &DelSearch::cleanChecked);
    m_command2 = new QPushButton(QStringLiteral("关闭"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setGeometry(240, 204, 97, 27);
    connect(m_command2, &QPushButton::clicked, this, &DelSearch::close);
    // Enter in the dialog must not run a clean nobody clicked.
    m_command1->setAutoDefault(false);
    m_command2->setAutoDefault(false);
    for (QPushButton* button : m_buttons) button->setAutoDefault(false);

    try {
        m_urlHistory = std::make_unique<CURLHistory>(m_context.history);
    } catch (const std::exception&) {
        // The history could not be read (locked, damaged beyond repair, no room on the disk); the
        // history row tries again when it is asked to clean.
    }
}

DelSearch::~DelSearch() = default;

QCheckBox* DelSearch::checkBox(CleanerRow row) const {
    return m_checks.at(static_cast<std::size_t>(row));
}

QPushButton* DelSearch::rowButton(CleanerRow row) const {
    return m_buttons.at(static_cast<std::size_t>(row));
}

void DelSearch::inform(const char* message) {
    m_context.dialogs.inform(this, QString::fromUtf8(message));
}

void DelSearch::clearUrlHistory() {
    try {
        if (!m_urlHistory) m_urlHistory = std::make_unique<CURLHistory>(m_context.history);
        m_urlHistory->Clear();
    } catch (const std::exception&) {
        // A history that cannot be opened or written is skipped: the other rows still run and the
        // completion message still appears.
    }
}

void DelSearch::cleanRow(CleanerRow row) {
    switch (row) {
        case CleanerRow::KeywordList:
            m_context.targets.clearKeywordHistory();
            break;
        case CleanerRow::UrlHistory:
            clearUrlHistory();
            break;
        case CleanerRow::AddressList:
            m_context.targets.clearBrowseAddressList();
            break;
        case CleanerRow::Cookies:
            mMain::ClearUrlCache(m_context.cache, mMain::kCookiePattern, mMain::kCookieSkipMask);
            break;
        case CleanerRow::TemporaryFiles:
            mMain::ClearUrlCache(m_context.cache, mMain::kTemporaryFilesPattern,
                                 mMain::kTemporaryFilesSkipMask);
            break;
    }
}

void DelSearch::cleanChecked() {
    std::array<bool, 5> checked{};
    for (std::size_t i = 0; i < m_checks.size(); ++i) checked[i] = m_checks[i]->isChecked();
    for (CleanerRow row : rowsToClean(checked)) cleanRow(row);
    inform(kCleanCheckedMessage);
}

void DelSearch::cleanRowAndReport(CleanerRow row) {
    cleanRow(row);
    inform(kCleanerRows.at(static_cast<std::size_t>(row)).message);
}

}  // namespace pluvik
