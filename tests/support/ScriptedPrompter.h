#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>

// A prompter for tests and benchmarks: records every message and answers from a script.
// With the script empty it answers the box's default button.
class ScriptedPrompter : public Prompter {
public:
    MsgAnswer ask(const Message& message) override;
    std::optional<QString> askText(const QString& prompt, const QString& title, const QString& initial) override;

    void queueAnswer(MsgAnswer answer) { m_answers.enqueue(answer); }

    const QList<Message>& messages() const { return m_messages; }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

    // The answer a box gives when its default button is taken.
    static MsgAnswer defaultAnswer(const Message& message);

private:
    QList<Message> m_messages;
    QQueue<MsgAnswer> m_answers;
};
