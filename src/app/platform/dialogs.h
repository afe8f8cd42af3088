#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace pluvik {

enum class MessageIcon { None, Information, Question, Warning, Critical };
// StopContinue: 停止 answers Ok and is the default (Enter), 继续 answers Cancel (Esc).
enum class MessageButtons { Ok, OkCancel, StopContinue };
enum class MessageAnswer { Ok, Cancel };

struct MessageRequest {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

struct SavePathRequest {
    QString title;
    QString suggestedPath;
    QStringList filters;
};
struct SavePathAnswer {
    QString path;
    int filterIndex = 0;
};

// Every message box of the program goes through here, and so do the browser's save and print
// dialogs. Tests install a hook that sees the request
// and answers it, so no real modal box ever blocks a test.
class Dialogs {
public:
    using Hook = std::function<MessageAnswer(const MessageRequest&)>;

    virtual ~Dialogs() = default;

    MessageAnswer show(QWidget* parent, const MessageRequest& request);
    // The program's usual forms: OK only with the program title, and the OK/Cancel question.
    void inform(QWidget* parent, const QString& text, const QString& title = QStringLiteral("Pluvik"));
    bool confirm(QWidget* parent, const QString& title, const QString& text);
    // The 停止 / 继续 question; true for 停止.
    bool askStop(QWidget* parent, const QString& title, const QString& text);

    // The save dialog; no answer when the user cancels. The path chosen carries the extension of
    // the type chosen; when that makes it the name of a file that exists, the user is asked before
    // it is replaced.
    std::optional<SavePathAnswer> askSavePath(QWidget* parent, const SavePathRequest& request);
    // The print dialog for `printer` with the caption `title`; false when the user cancels.
    bool askPrinter(QWidget* parent, QPrinter& printer, const QString& title = QStringLiteral("打印"));

    void setTestHook(Hook hook) { m_hook = std::move(hook); }
    using SaveHook = std::function<std::optional<SavePathAnswer>(const SavePathRequest&)>;
    void setSaveHook(SaveHook hook) { m_saveHook = std::move(hook); }
    using PrintHook = std::function<bool(QPrinter&, const QString& title)>;
    void setPrintHook(PrintHook hook) { m_printHook = std::move(hook); }

private:
    std::optional<SavePathAnswer> runSaveDialog(QWidget* parent, const SavePathRequest& request);

    Hook m_hook;
    SaveHook m_saveHook;
    PrintHook m_printHook;
};

}  // namespace pluvik
