#include "widgets/MessageBoxPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

Q_DECLARE_METATYPE(MsgButtons)
Q_DECLARE_METATYPE(MsgIcon)
Q_DECLARE_METATYPE(MsgAnswer)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

// Runs the action on the modal dialog of type T as soon as it is shown.
template <typename T> void whenShown(std::function<void(T*)> action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

struct Seen
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::TextFormat format = Qt::AutoText;
    bool openAfterEscape = false;
    bool openAfterClose = false;
};

} // namespace

class tst_MessageBoxPrompter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ask_data()
    {
        QTest::addColumn<MsgButtons>("set");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<QString>("action"); // a button to click, "Escape" or "Return"
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::addColumn<MsgAnswer>("answer");

        using B = QMessageBox;
        QTest::newRow("OK, Return") << MsgButtons::Ok << 1 << "Return" << B::StandardButtons(B::Ok) << B::Ok
                                    << MsgAnswer::Ok;
        QTest::newRow("OK, Escape") << MsgButtons::Ok << 1 << "Escape" << B::StandardButtons(B::Ok) << B::Ok
                                    << MsgAnswer::Ok;
        QTest::newRow("OK Cancel, default 2")
            << MsgButtons::OkCancel << 2 << "Return" << (B::Ok | B::Cancel) << B::Cancel << MsgAnswer::Cancel;
        QTest::newRow("OK Cancel, Escape")
            << MsgButtons::OkCancel << 1 << "Escape" << (B::Ok | B::Cancel) << B::Ok << MsgAnswer::Cancel;
        QTest::newRow("Abort Retry Ignore, default 3")
            << MsgButtons::AbortRetryIgnore << 3 << "Return" << (B::Abort | B::Retry | B::Ignore) << B::Ignore
            << MsgAnswer::Ignore;
        QTest::newRow("Abort Retry Ignore, click Abort")
            << MsgButtons::AbortRetryIgnore << 2 << "Abort" << (B::Abort | B::Retry | B::Ignore) << B::Retry
            << MsgAnswer::Abort;
        QTest::newRow("Yes No Cancel, default 2")
            << MsgButtons::YesNoCancel << 2 << "Return" << (B::Yes | B::No | B::Cancel) << B::No << MsgAnswer::No;
        QTest::newRow("Yes No Cancel, Escape")
            << MsgButtons::YesNoCancel << 1 << "Escape" << (B::Yes | B::No | B::Cancel) << B::Yes << MsgAnswer::Cancel;
        QTest::newRow("Yes No, click Yes")
            << MsgButtons::YesNo << 2 << "Yes" << (B::Yes | B::No) << B::No << MsgAnswer::Yes;
        QTest::newRow("Yes No, Escape is No")
            << MsgButtons::YesNo << 1 << "Escape" << (B::Yes | B::No) << B::Yes << MsgAnswer::No;
        QTest::newRow("Yes No, default beyond the set")
            << MsgButtons::YesNo << 3 << "Return" << (B::Yes | B::No) << B::Yes << MsgAnswer::Yes;
        QTest::newRow("Retry Cancel, default 0")
            << MsgButtons::RetryCancel << 0 << "Return" << (B::Retry | B::Cancel) << B::Retry << MsgAnswer::Retry;
        QTest::newRow("Retry Cancel, click Cancel")
            << MsgButtons::RetryCancel << 1 << "Cancel" << (B::Retry | B::Cancel) << B::Retry << MsgAnswer::Cancel;
    }
    void ask()
    {
        QFETCH(MsgButtons, set);
        QFETCH(int, defaultIndex);
        QFETCH(QString, action);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        QFETCH(MsgAnswer, answer);

        Seen seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen.buttons = box->standardButtons();
            seen.defaultButton = box->standardButton(box->defaultButton());
            if (action == QLatin1String("Escape")) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (action == QLatin1String("Return")) {
                QTest::keyClick(box, Qt::Key_Return);
            } else {
                const QHash<QString, QMessageBox::StandardButton> named { { "Abort", QMessageBox::Abort },
                    { "Yes", QMessageBox::Yes }, { "Cancel", QMessageBox::Cancel } };
                box->button(named.value(action))->click();
            }
        });
        MessageBoxPrompter prompter;
        const MsgAnswer got = prompter.ask(Message {
            QStringLiteral("Go on?"), QStringLiteral("t'olq! - Warning"), set, MsgIcon::Question, defaultIndex });
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.defaultButton, defaultButton);
        QCOMPARE(got, answer);
    }

    void textTitleAndIcon_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QMessageBox::Icon>("boxIcon");
        QTest::newRow("CR breaks, critical") << "Line one\rLine two\r\rLast" << MsgIcon::Critical
                                             << "Line one\nLine two\n\nLast" << QMessageBox::Critical;
        QTest::newRow("exclamation is a warning")
            << "Careful" << MsgIcon::Exclamation << "Careful" << QMessageBox::Warning;
        QTest::newRow("information") << "Done" << MsgIcon::Information << "Done" << QMessageBox::Information;
        QTest::newRow("question") << "Sure?" << MsgIcon::Question << "Sure?" << QMessageBox::Question;
        QTest::newRow("no icon, markup shown as typed")
            << "<b>C:\\a.jpg</b>" << MsgIcon::None << "<b>C:\\a.jpg</b>" << QMessageBox::NoIcon;
    }
    void textTitleAndIcon()
    {
        QFETCH(QString, stored);
        QFETCH(MsgIcon, icon);
        QFETCH(QString, shown);
        QFETCH(QMessageBox::Icon, boxIcon);
        Seen seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            seen.format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        MessageBoxPrompter prompter;
        prompter.tell(stored, QStringLiteral("t'olq! - Cannot find FILE..."), icon);
        QCOMPARE(seen.text, shown);
        QCOMPARE(seen.title, QStringLiteral("t'olq! - Cannot find FILE..."));
        QCOMPARE(seen.icon, boxIcon);
        QCOMPARE(seen.format, Qt::PlainText);
    }

    // Abort must never be chosen by accident: Escape and the close button do nothing.
    void abortRetryIgnoreHasNoEscape()
    {
        Seen seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            seen.openAfterEscape = box->isVisible();
            box->close();
            seen.openAfterClose = box->isVisible();
            box->button(QMessageBox::Retry)->click();
        });
        MessageBoxPrompter prompter;
        const MsgAnswer got = prompter.ask(Message { QStringLiteral("Disk error"), QStringLiteral("t'olq!"),
            MsgButtons::AbortRetryIgnore, MsgIcon::Critical, 1 });
        QVERIFY(seen.openAfterEscape);
        QVERIFY(seen.openAfterClose);
        QCOMPARE(got, MsgAnswer::Retry);
    }

    void closeButtonOfYesNoIsNo()
    {
        whenShown<QMessageBox>([](QMessageBox* box) { box->close(); });
        MessageBoxPrompter prompter;
        QCOMPARE(prompter.ask(Message {
                     QStringLiteral("Delete?"), QStringLiteral("t'olq!"), MsgButtons::YesNo, MsgIcon::Question, 1 }),
            MsgAnswer::No);
    }

    // A run nobody watches: each message on the echo stream, answered there without a display.
    void unattendedWithoutADisplay_data()
    {
        QTest::addColumn<MsgButtons>("set");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("Yes/No, No the default") << MsgButtons::YesNo << 2 << MsgAnswer::No;
        QTest::newRow("Abort/Retry/Ignore, Retry the default") << MsgButtons::AbortRetryIgnore << 2 << MsgAnswer::Retry;
        // OK asks for a disk to be loaded first: nobody can, so the box is cancelled.
        QTest::newRow("OK/Cancel") << MsgButtons::OkCancel << 1 << MsgAnswer::Cancel;
    }
    void unattendedWithoutADisplay()
    {
        QFETCH(MsgButtons, set);
        QFETCH(int, defaultIndex);
        QFETCH(MsgAnswer, answer);
        FILE* echo = std::tmpfile();
        MessageBoxPrompter prompter;
        prompter.setUnattended(true, echo);
        QCOMPARE(
            prompter.ask(Message { "Line one\rline two", "t'olq! - Title", set, MsgIcon::None, defaultIndex }), answer);
        std::rewind(echo);
        char written[256] = {};
        std::fread(written, 1, sizeof written - 1, echo);
        std::fclose(echo);
        QVERIFY2(QByteArray(written).startsWith("t'olq! - Title: Line one\nline two\n(answered "), written);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void askText_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("typed and accepted")
            << true << "NEWNAME.JPG" << std::optional<QString>(QStringLiteral("NEWNAME.JPG"));
        QTest::newRow("cleared and accepted") << true << "" << std::optional<QString>(QString());
        QTest::newRow("cancelled") << false << "ignored" << std::optional<QString>();
    }
    void askText()
    {
        QFETCH(bool, accept);
        QFETCH(QString, typed);
        QFETCH(std::optional<QString>, expected);
        QString label;
        QString initial;
        whenShown<QInputDialog>([&](QInputDialog* dialog) {
            label = dialog->labelText();
            initial = dialog->textValue();
            dialog->setTextValue(typed);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        });
        MessageBoxPrompter prompter;
        const std::optional<QString> got = prompter.askText(
            QStringLiteral("New name:\rkeep the type"), QStringLiteral("t'olq!"), QStringLiteral("OLD.JPG"));
        QCOMPARE(label, QStringLiteral("New name:\nkeep the type"));
        QCOMPARE(initial, QStringLiteral("OLD.JPG"));
        QCOMPARE(got, expected);
    }
};

QTEST_MAIN(tst_MessageBoxPrompter)
#include "tst_MessageBoxPrompter.moc"
