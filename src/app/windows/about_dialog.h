#pragma once

#include <QDialog>
#include <array>

#include "app_context.h"

class QPushButton;

namespace pluvik {

class LinkLabel;

// The About dialog frmAbout ("关于 Pluvik"): name, version, build and four links to the maker's sites,
// each opened by OpenLink with this dialog as the owner. Enter and Esc close it. It deletes itself
// when closed, so the next opening is a fresh one.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 420;
    static constexpr int kClientHeight = 300;

    explicit AboutDialog(AppContext context, QWidget* parent = nullptr);

    // The link labels in row order: Label11 (product site), Label4 (maker's site), Label3 (forum),
    // Label7 (blog).
    LinkLabel* link(int row) const { return m_links.at(static_cast<size_t>(row)); }

private:
    void buildControls();

    AppContext m_ctx;
    std::array<LinkLabel*, 4> m_links{};
    QPushButton* m_cmdOK = nullptr;
};

}  // namespace pluvik
