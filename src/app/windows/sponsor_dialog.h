#pragma once

#include <QDialog>

#include "app_context.h"

class QPushButton;

namespace pluvik {


// The sponsor dialog giveus ("赞助我们"): a note and two buttons, each opening its page by OpenLink
// with this dialog as the owner. It deletes itself when closed.
class SponsorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 360;
    static constexpr int kClientHeight = 200;

    explicit SponsorDialog(AppContext context, QWidget* parent = nullptr);

public slots:
    void sponsor();  // Command1
    void games();    // Command2

private:
    AppContext m_ctx;
};

}  // namespace pluvik
