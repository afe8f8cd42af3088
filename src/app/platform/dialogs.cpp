#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpacerItem>

#include "platform/qt_text.h"
#include "shell/page_files.h"
#include "update/format_bytes.h"

namespace pluvik {

MessageAnswer Dialogs::show(QWidget* parent, const MessageRequest& request) {
    if (m_hook) return m_hook(request);
    QMessageBox box(parent);
    const QString title = request.title.isEmpty() ? QStringLiteral("Pluvik") : request.title;
    box.setWindowTitle(title);
    box.setText(QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (request.icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    const bool stopContinue = request.buttons == MessageButtons::StopContinue;
    if (request.buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)
            ->setText(stopContinue ? QStringLiteral("继续") : QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Ok);
    }
    box.button(QMessageBox::Ok)->setText(stopContinue ? QStringLiteral("停止") : QStringLiteral("确定"));
    // A box sized to a short text leaves its title bar too narrow for the caption beside the window
    // manager's buttons ("P…"): the box is at least as wide as the caption and that room.
    constexpr int kTitleBarButtonsRoom = 160;
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarButtonsRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void Dialogs::inform(QWidget* parent, const QString& text, const QString& title) {
    show(parent, {title, text, MessageIcon::None, MessageButtons::Ok});
}

bool Dialogs::confirm(QWidget* parent, const QString& title, const QString& text) {
    return show(parent, {title, text, MessageIcon::Question, MessageButtons::OkCancel}) == MessageAnswer::Ok;
}

bool Dialogs::askStop(QWidget* parent, const QString& title, const QString& text) {
    return show(parent, {title, text, MessageIcon::Question, MessageButtons::StopContinue}) ==
           MessageAnswer::Ok;
}

namespace {

// The file dialog's list in the program's language whatever the locale: the file system model of
// Qt writes sizes and dates in the system locale's words and calls a folder "Folder".
class ChineseFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        switch (index.column()) {
            case 1:
                return info.isDir() ? QString() : toQ(shortByteSize(info.size()));
            case 2:
                return info.isDir() ? QStringLiteral("文件夹") : QIdentityProxyModel::data(index, role);
            case 3:
                return files->lastModified(source).toString(QStringLiteral("yyyy/M/d H:mm"));
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }
};

}  // namespace

static int filterIndex(const SavePathRequest& request, const QString& filter) {
    return static_cast<int>(std::max<qsizetype>(0, request.filters.indexOf(filter)));
}

static QString pathForChosenType(const SavePathRequest& request, const QString& path, int index) {
    std::vector<std::string> filters;
    for (const QString& f : request.filters) filters.push_back(toStd(f));
    return toQ(pathForType(toStd(path), filters, index));
}

std::optional<SavePathAnswer> Dialogs::runSaveDialog(QWidget* parent, const SavePathRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setProxyModel(new ChineseFileList(&dialog));
    dialog.setNameFilters(request.filters);
    dialog.selectFile(request.suggestedPath);
    // The name in the box follows the type the user picks, so the dialog's own question about a file
    // that exists is asked about the file that will be written.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const QString typed = dialog.selectedFiles().value(0);
        if (typed.isEmpty() || QFileInfo(typed).isDir()) return;
        const QString fixed = pathForChosenType(request, typed, filterIndex(request, filter));
        if (fixed != typed) dialog.selectFile(QFileInfo(fixed).fileName());
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return SavePathAnswer{dialog.selectedFiles().constFirst(),
                          filterIndex(request, dialog.selectedNameFilter())};
}

std::optional<SavePathAnswer> Dialogs::askSavePath(QWidget* parent, const SavePathRequest& request) {
    std::optional<SavePathAnswer> answer = m_saveHook ? m_saveHook(request) : runSaveDialog(parent, request);
    if (!answer || answer->path.isEmpty()) return std::nullopt;
    const QString fixed = pathForChosenType(request, answer->path, answer->filterIndex);
    if (fixed != answer->path) {
        // The dialog asked about the name as typed, not about this one.
        const QString question =
            QStringLiteral("“%1”已存在。\r\n要替换它吗？").arg(QDir::toNativeSeparators(fixed));
        if (QFileInfo::exists(fixed) && !confirm(parent, request.title, question)) return std::nullopt;
        answer->path = fixed;
    }
    return answer;
}

bool Dialogs::askPrinter(QWidget* parent, QPrinter& printer, const QString& title) {
    if (m_printHook) return m_printHook(printer, title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace pluvik
