#include "windows/download_window.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "browse/download_rules.h"
#include "platform/qt_text.h"
#include "shell/window_parts.h"

namespace pluvik {

DownloadRow::DownloadRow(const QString& fileName, QWidget* parent)
    : QWidget(parent),
      m_name(new QLabel(fileName, this)),
      m_progress(new QLabel(this)),
      m_state(new QLabel(this)),
      m_bar(new QProgressBar(this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this)) {
    m_name->setObjectName(QStringLiteral("name"));
    m_progress->setObjectName(QStringLiteral("progress"));
    m_state->setObjectName(QStringLiteral("state"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(8);
    m_bar->setRange(0, 0);  // busy until the size is known
    // Finished rows keep the button's room, so every bar ends at the same place.
    QSizePolicy keep = m_cancel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_cancel->setSizePolicy(keep);

    auto* text = new QVBoxLayout;
    text->setSpacing(3);
    text->addWidget(m_name);
    text->addWidget(m_bar);
    auto* line = new QHBoxLayout;
    line->addWidget(m_progress);
    line->addStretch();
    line->addWidget(m_state);
    text->addLayout(line);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addLayout(text, 1);
    layout->addWidget(m_cancel, 0, Qt::AlignVCenter);
    connect(m_cancel, &QPushButton::clicked, this, &DownloadRow::cancelRequested);
    setProgress(0, 0);
}

void DownloadRow::setProgress(qint64 received, qint64 total) {
    m_progress->setText(toQ(downloadProgressText(received, total)));
    if (total > 0) {
        // The bar counts in thousandths, so sizes beyond an int still fit.
        m_bar->setRange(0, 1000);
        m_bar->setValue(static_cast<int>(std::min<qint64>(1000, received * 1000.0 / total)));
    }
}

void DownloadRow::setState(const QString& text, bool running) {
    m_state->setText(text);
    m_cancel->setVisible(running);
    if (!running && m_bar->maximum() == 0) m_bar->setRange(0, 1);  // stop the busy bar
}

QString DownloadRow::fileName() const { return m_name->text(); }
QString DownloadRow::progressText() const { return m_progress->text(); }
QString DownloadRow::stateText() const { return m_state->text(); }

DownloadWindow::DownloadWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("下载"));
    setWindowTitle(QStringLiteral("下载"));
    setWindowIcon(QIcon(QStringLiteral(":/pluvik/pluvik.png")));
    useProgramFont(this);
    resize(460, 300);

    auto* list = new QWidget;
    m_rows = new QVBoxLayout(list);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    m_rows->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

DownloadRow* DownloadWindow::addRow(const QString& fileName) {
    auto* row = new DownloadRow(fileName, this);
    m_rows->insertWidget(0, row);  // newest on top, where the user sees it without scrolling
    return row;
}

QList<DownloadRow*> DownloadWindow::rows() const { return findChildren<DownloadRow*>(); }

void DownloadWindow::present() {
    show();
    if (isMinimized()) showNormal();
    raise();
}

}  // namespace pluvik
