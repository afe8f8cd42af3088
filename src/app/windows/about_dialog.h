#pragma once

#include "shell/window_parts.h"

namespace pluvik {

// The About dialog frmAbout ("关于 Pluvik"): name, version, build and four links to the maker's sites,
// Label11 (product site), Label4 (maker's site), Label3 (forum) and Label7 (blog). Enter and Esc
// close it.
class AboutDialog : public LinkDialog {
    Q_OBJECT
public:
    explicit AboutDialog(AppContext context, QWidget* parent = nullptr);
};

}  // namespace pluvik
