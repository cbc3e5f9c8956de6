#include "widgets/MessageBoxPrompter.h"

#include "widgets/TitleRoom.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

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

void MessageBoxPrompter::setUnattended(bool unattended, FILE* echo)
{
    m_unattended = unattended;
    m_echo = echo;
}

bool MessageBoxPrompter::platformIsHeadless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

MsgAnswer MessageBoxPrompter::unattendedAnswer(const Message& message)
{
    const QList<BoxButton> buttons = buttonsOf(message.buttons);
    for (const BoxButton& b : buttons) {
        if (b.answer == MsgAnswer::Cancel)
            return b.answer;
    }
    const int index = message.defaultButton - 1;
    return buttons.at(index >= 0 && index < buttons.size() ? index : 0).answer;
}

void MessageBoxPrompter::echo(const QString& title, const QString& text, const QString& answer) const
{
    if (!m_echo)
        return;
    QString line = title + QStringLiteral(": ") + displayText(text) + QLatin1Char('\n');
    if (!answer.isEmpty())
        line += QStringLiteral("(answered %1: no window can be shown)\n").arg(answer);
    std::fputs(line.toLocal8Bit().constData(), m_echo);
    std::fflush(m_echo);
}

namespace {

QString answerName(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Ok:
        return QStringLiteral("OK");
    case MsgAnswer::Cancel:
        return QStringLiteral("Cancel");
    case MsgAnswer::Abort:
        return QStringLiteral("Abort");
    case MsgAnswer::Retry:
        return QStringLiteral("Retry");
    case MsgAnswer::Ignore:
        return QStringLiteral("Ignore");
    case MsgAnswer::Yes:
        return QStringLiteral("Yes");
    case MsgAnswer::No:
        return QStringLiteral("No");
    }
    return {};
}

} // namespace

MsgAnswer MessageBoxPrompter::ask(const Message& message)
{
    if (m_unattended && platformIsHeadless()) {
        const MsgAnswer answer = unattendedAnswer(message);
        echo(message.title, message.text, answerName(answer));
        return answer;
    }
    if (m_unattended)
        echo(message.title, message.text, {});
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

    // A box sized to a short text would cut its own title down to "T...": room for the whole
    // title and the frame's buttons beside it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleRoom(&box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
            0, 1, grid->columnCount());
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
    if (m_unattended && platformIsHeadless()) {
        echo(title, prompt, answerName(MsgAnswer::Cancel));
        return std::nullopt;
    }
    if (m_unattended)
        echo(title, prompt, {});
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, displayText(prompt), QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
