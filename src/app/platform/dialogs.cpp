#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace pluvik {

MessageAnswer Dialogs::show(QWidget* parent, const MessageRequest& request) {
    if (m_hook) return m_hook(request);
    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    switch (request.icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    if (request.buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void Dialogs::inform(QWidget* parent, const QString& text, const QString& title) {
    show(parent, {title, text, MessageIcon::None, MessageButtons::Ok});
}

bool Dialogs::confirm(QWidget* parent, const QString& title, const QString& text) {
    return show(parent, {title, text, MessageIcon::Question, MessageButtons::OkCancel}) == MessageAnswer::Ok;
}

}  // namespace pluvik
