#pragma once

#include "platform/Prompter.h"

class QWidget;

// Real message boxes for the program until the shared message-box prompter takes its place.
class InterimMessageBoxPrompter : public Prompter
{
public:
    explicit InterimMessageBoxPrompter(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    MsgAnswer ask(const Message& message) override;
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initial) override;

private:
    QWidget* m_parent;
};
