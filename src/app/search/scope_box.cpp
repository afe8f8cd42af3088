#include "search/scope_box.h"

#include <QDir>
#include <QShortcut>

#include "platform/qt_text.h"
#include "search/search_scope.h"
#include "shell/file_io.h"

namespace pluvik {

ScopeBox::ScopeBox(const QString& programDir, QWidget* parent, QWidget* window)
    : QComboBox(parent), m_file(QDir(programDir).filePath(QStringLiteral("scope.txt"))) {
    setObjectName(QStringLiteral("Scope"));
    for (const SearchScope& scope : ScopeTable::kScopes) addItem(toQ(scope.name));
    setCurrentIndex(scopeFromFile(readFileBytes(m_file.toStdString())));
    // A failed write leaves this run's choice in the box; the next start falls back to 全部.
    connect(this, &QComboBox::currentIndexChanged, this,
            [this](int index) { writeFileAtomically(m_file.toStdString(), scopeFileBytes(index)); });
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), window);
    connect(next, &QShortcut::activated, this, [this] { step(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), window);
    connect(previous, &QShortcut::activated, this, [this] { step(-1); });
}

TabSet ScopeBox::tabs() const {
    return ScopeTable::tabs(currentIndex());
}

void ScopeBox::step(int by) {
    setCurrentIndex((currentIndex() + by + count()) % count());
}

}  // namespace pluvik
