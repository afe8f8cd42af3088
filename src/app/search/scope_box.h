#pragma once

#include <QComboBox>

#include "search/pages_opened_rule.h"

namespace pluvik {

// The search scope beside the keyword box: 全部 or one group of engines. The choice lives in a file of
// the program's own in the program directory, read when the box is made and written at every change.
// Alt+Down on the box opens its list; Ctrl+Shift+Down and Ctrl+Shift+Up anywhere in `window` step
// through the scopes without taking the focus from where it is (the keyword box).
class ScopeBox : public QComboBox {
    Q_OBJECT
public:
    ScopeBox(const QString& programDir, QWidget* parent, QWidget* window);

    QString fileName() const { return m_file; }
    TabSet tabs() const;
    bool isAll() const { return currentIndex() <= 0; }

private:
    void step(int by);

    QString m_file;
};

}  // namespace pluvik
