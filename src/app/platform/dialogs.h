#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace pluvik {

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

struct MessageRequest {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every message box of the program goes through here. Tests install a hook that sees the request
// and answers it, so no real modal box ever blocks a test.
class Dialogs {
public:
    using Hook = std::function<MessageAnswer(const MessageRequest&)>;

    virtual ~Dialogs() = default;

    MessageAnswer show(QWidget* parent, const MessageRequest& request);
    // The program's usual forms: OK only with the program title, and the OK/Cancel question.
    void inform(QWidget* parent, const QString& text, const QString& title = QStringLiteral("Pluvik"));
    bool confirm(QWidget* parent, const QString& title, const QString& text);

    void setTestHook(Hook hook) { m_hook = std::move(hook); }

private:
    Hook m_hook;
};

}  // namespace pluvik
