#pragma once

#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

// The program's message boxes on screen: the exact text (stored CR breaks shown as new lines),
// title, icon, button set and default button of the message; Escape answers Cancel, or No in a
// Yes/No box, and does nothing in an Abort/Retry/Ignore box.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr);
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    MsgAnswer ask(const Message& message) override;
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initial) override;

private:
    QPointer<QWidget> m_parent;
};
