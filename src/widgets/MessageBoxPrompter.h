#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

#include <cstdio>

// The program's message boxes on screen: the exact text (stored CR breaks shown as new lines),
// title, icon, button set and default button of the message; Escape answers Cancel, or No in a
// Yes/No box, and does nothing in an Abort/Retry/Ignore box.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr);

    // A run nobody may be watching (a gather run): every message is also written to the echo
    // stream, and where the platform cannot show windows it takes its unattended answer there
    // instead of waiting for a click that cannot come.
    void setUnattended(bool unattended, FILE* echo = stderr);

    MsgAnswer ask(const Message& message) override;
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initial) override;

    // The default button, but Cancel where the box offers it: its other buttons ask for something
    // to be done first (a disk loaded), which nobody is there to do.
    static MsgAnswer unattendedAnswer(const Message& message);
    // Whether the windowing platform shows nothing to anybody (offscreen, minimal).
    static bool platformIsHeadless();

private:
    void echo(const QString& title, const QString& text, const QString& answer) const;

    QPointer<QWidget> m_parent;
    bool m_unattended = false;
    FILE* m_echo = nullptr;
};
