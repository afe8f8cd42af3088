#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace pluvik {

MessageAnswer Dialogs::show(QWidget* parent, const MessageRequest& request) {
    if (m_hook) return m_hook(request);
    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setText(QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
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

std::optional<SavePathAnswer> Dialogs::askSavePath(QWidget* parent, const SavePathRequest& request) {
    if (m_saveHook) return m_saveHook(request);
    QString chosen = request.filters.value(0);
    const QString path = QFileDialog::getSaveFileName(parent, request.title, request.suggestedPath,
                                                      request.filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty()) return std::nullopt;
    return SavePathAnswer{path, static_cast<int>(std::max<qsizetype>(0, request.filters.indexOf(chosen)))};
}

bool Dialogs::askPrinter(QWidget* parent, QPrinter& printer) {
    if (m_printHook) return m_printHook(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace pluvik
