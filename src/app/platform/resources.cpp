#include "platform/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerPluvikResources() { Q_INIT_RESOURCE(pluvik); }

namespace pluvik {

void initAppResources() {
    static const bool registered = (registerPluvikResources(), true);
    (void)registered;
}

}  // namespace pluvik
