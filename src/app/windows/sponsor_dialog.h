#pragma once

#include "shell/window_parts.h"

namespace pluvik {

// The sponsor dialog giveus ("赞助我们"): a note and two buttons, Command1 and Command2, each opening
// its page.
class SponsorDialog : public LinkDialog {
    Q_OBJECT
public:
    explicit SponsorDialog(AppContext context, QWidget* parent = nullptr);
};

}  // namespace pluvik
