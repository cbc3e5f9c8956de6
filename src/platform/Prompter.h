#pragma once

#include <QString>
#include <optional>

// The message boxes of the program, as a port: engines ask through it and never open a
// dialog themselves; the window layer shows real boxes, tests script the answers.
enum class MsgButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    QString text; // line breaks as stored: a lone CR ("\r") separates lines
    QString title = QStringLiteral("Tolq");
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1; // 1, 2 or 3: which of the buttons is the default
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MsgAnswer ask(const Message& message) = 0;
    // A one-line text entry; nullopt when cancelled.
    virtual std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initial) = 0;

    // Convenience for an OK-only box.
    void tell(const QString& text, const QString& title = QStringLiteral("Tolq"), MsgIcon icon = MsgIcon::None)
    {
        ask(Message { text, title, MsgButtons::Ok, icon, 1 });
    }
};

// Turns the stored CR-only line breaks into new lines for display.
QString displayText(const QString& storedText);
