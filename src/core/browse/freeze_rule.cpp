#include "browse/freeze_rule.h"

namespace pluvik {

void FreezeRule::setVisible(bool visible) {
    m_visible = visible;
    m_used = false;
}

void FreezeRule::loadFinished(bool ok) {
    m_loading = false;
    m_failed = !ok;
    m_used = false;
}

void FreezeRule::printFinished() {
    m_printing = false;
    m_used = false;
}

}  // namespace pluvik
