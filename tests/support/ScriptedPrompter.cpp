#include "ScriptedPrompter.h"

#include <QStringList>

MsgAnswer ScriptedPrompter::defaultAnswer(const Message& message)
{
    static const QList<MsgAnswer> ok { MsgAnswer::Ok };
    static const QList<MsgAnswer> okCancel { MsgAnswer::Ok, MsgAnswer::Cancel };
    static const QList<MsgAnswer> abortRetryIgnore { MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore };
    static const QList<MsgAnswer> yesNoCancel { MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel };
    static const QList<MsgAnswer> yesNo { MsgAnswer::Yes, MsgAnswer::No };
    static const QList<MsgAnswer> retryCancel { MsgAnswer::Retry, MsgAnswer::Cancel };
    const QList<MsgAnswer>* buttons = &ok;
    switch (message.buttons) {
    case MsgButtons::Ok: buttons = &ok; break;
    case MsgButtons::OkCancel: buttons = &okCancel; break;
    case MsgButtons::AbortRetryIgnore: buttons = &abortRetryIgnore; break;
    case MsgButtons::YesNoCancel: buttons = &yesNoCancel; break;
    case MsgButtons::YesNo: buttons = &yesNo; break;
    case MsgButtons::RetryCancel: buttons = &retryCancel; break;
    }
    const int index = qBound(1, message.defaultButton, int(buttons->size())) - 1;
    return buttons->at(index);
}

MsgAnswer ScriptedPrompter::ask(const Message& message)
{
    m_messages.append(message);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return defaultAnswer(message);
}

std::optional<QString> ScriptedPrompter::askText(const QString& prompt, const QString& title, const QString& initial)
{
    m_messages.append(Message { prompt, title, MsgButtons::OkCancel, MsgIcon::None, 1 });
    return initial;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList all;
    for (const Message& m : m_messages)
        all << m.text;
    return all;
}
