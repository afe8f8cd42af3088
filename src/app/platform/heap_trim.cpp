#include "platform/heap_trim.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace pluvik {

HeapTrim::HeapTrim() {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kQuietMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [] {
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
    });
}

}  // namespace pluvik
