#include "widgets/InterimMessageBoxPrompter.h"

#include <QInputDialog>
#include <QMessageBox>

namespace {

QList<QMessageBox::StandardButton> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return { QMessageBox::Ok };
    case MsgButtons::OkCancel:
        return { QMessageBox::Ok, QMessageBox::Cancel };
    case MsgButtons::AbortRetryIgnore:
        return { QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore };
    case MsgButtons::YesNoCancel:
        return { QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel };
    case MsgButtons::YesNo:
        return { QMessageBox::Yes, QMessageBox::No };
    case MsgButtons::RetryCancel:
        return { QMessageBox::Retry, QMessageBox::Cancel };
    }
    return { QMessageBox::Ok };
}

QMessageBox::Icon iconOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Abort:
        return MsgAnswer::Abort;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    case QMessageBox::Ignore:
        return MsgAnswer::Ignore;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace

MsgAnswer InterimMessageBoxPrompter::ask(const Message& message)
{
    QMessageBox box(iconOf(message.icon), message.title, displayText(message.text), QMessageBox::NoButton, m_parent);
    const QList<QMessageBox::StandardButton> buttons = buttonsOf(message.buttons);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton b : buttons)
        all |= b;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons.at(qBound(1, message.defaultButton, int(buttons.size())) - 1));
    const int result = box.exec();
    // Closing a box without a Cancel button counts as its first button, as with Escape.
    if (result != QMessageBox::Cancel && !buttons.contains(QMessageBox::StandardButton(result)))
        return answerOf(buttons.first());
    return answerOf(result);
}

std::optional<QString> InterimMessageBoxPrompter::askText(
    const QString& prompt, const QString& title, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, displayText(prompt), QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
