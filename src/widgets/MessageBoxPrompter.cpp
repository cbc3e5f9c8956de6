#include "widgets/MessageBoxPrompter.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct BoxButton
{
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

// The buttons of each set in their documented order; the default button counts in this order.
QList<BoxButton> buttonsOf(MsgButtons set)
{
    switch (set) {
    case MsgButtons::Ok:
        return { { QMessageBox::Ok, MsgAnswer::Ok } };
    case MsgButtons::OkCancel:
        return { { QMessageBox::Ok, MsgAnswer::Ok }, { QMessageBox::Cancel, MsgAnswer::Cancel } };
    case MsgButtons::AbortRetryIgnore:
        return { { QMessageBox::Abort, MsgAnswer::Abort }, { QMessageBox::Retry, MsgAnswer::Retry },
            { QMessageBox::Ignore, MsgAnswer::Ignore } };
    case MsgButtons::YesNoCancel:
        return { { QMessageBox::Yes, MsgAnswer::Yes }, { QMessageBox::No, MsgAnswer::No },
            { QMessageBox::Cancel, MsgAnswer::Cancel } };
    case MsgButtons::YesNo:
        return { { QMessageBox::Yes, MsgAnswer::Yes }, { QMessageBox::No, MsgAnswer::No } };
    case MsgButtons::RetryCancel:
        return { { QMessageBox::Retry, MsgAnswer::Retry }, { QMessageBox::Cancel, MsgAnswer::Cancel } };
    }
    return { { QMessageBox::Ok, MsgAnswer::Ok } };
}

// The button Escape and the window's close button stand for; none in an Abort/Retry/Ignore box,
// where aborting by accident must not happen.
std::optional<MsgAnswer> escapeAnswer(MsgButtons set)
{
    switch (set) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::AbortRetryIgnore:
        return std::nullopt;
    }
    return std::nullopt;
}

QMessageBox::Icon boxIcon(MsgIcon icon)
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

// QMessageBox makes a lone reject-role button (Abort) the escape button on its own; a box
// without an escape answer must ignore Escape and the close button instead.
class PromptBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;
    bool canEscape = true;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!canEscape && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!canEscape) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

} // namespace

MessageBoxPrompter::MessageBoxPrompter(QWidget* parent)
    : m_parent(parent)
{
}

MsgAnswer MessageBoxPrompter::ask(const Message& message)
{
    PromptBox box(m_parent);
    box.setWindowTitle(message.title);
    // Texts carry file names: never let a "<" in one be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(message.text));
    box.setIcon(boxIcon(message.icon));

    const QList<BoxButton> buttons = buttonsOf(message.buttons);
    QMessageBox::StandardButtons set;
    for (const BoxButton& b : buttons)
        set |= b.button;
    box.setStandardButtons(set);

    // A default index beyond the set takes the first button.
    int defaultIndex = message.defaultButton - 1;
    if (defaultIndex < 0 || defaultIndex >= buttons.size())
        defaultIndex = 0;
    box.setDefaultButton(buttons.at(defaultIndex).button);

    const std::optional<MsgAnswer> escape = escapeAnswer(message.buttons);
    box.canEscape = escape.has_value();
    for (const BoxButton& b : buttons) {
        if (escape && b.answer == *escape)
            box.setEscapeButton(b.button);
    }

    box.exec();

    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const BoxButton& b : buttons) {
        if (b.button == clicked)
            return b.answer;
    }
    // Closed without a button (the application quit under it): the escape answer, else the default.
    return escape.value_or(buttons.at(defaultIndex).answer);
}

std::optional<QString> MessageBoxPrompter::askText(const QString& prompt, const QString& title, const QString& initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, displayText(prompt), QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
