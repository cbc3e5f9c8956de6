#pragma once

#include "dialogs/CountNotice.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QPushButton;

// The count notice of both reviews: how many records lie after the current one. Loading it
// centres it on the screen with Continue disabled; Continue unloads it, so the next count
// loads it afresh.
class frmCOUNT : public QDialog
{
    Q_OBJECT
public:
    explicit frmCOUNT(QWidget* parent = nullptr);

    // The notice as a review drives it: loaded and shown for the running count, Continue
    // disabled, then given the closing text and Continue, and held until Continue.
    class Notice : public CountNotice
    {
    public:
        explicit Notice(QWidget* parent = nullptr)
            : m_parent(parent)
        {
        }
        void showRunning(const QString& text) override;
        void showFinal(const QString& text) override;

    private:
        frmCOUNT& window();

        QPointer<QWidget> m_parent;
        QPointer<frmCOUNT> m_window;
        QElapsedTimer m_drawn; // since the running text was last drawn
    };

    QLabel* lblCOUNT = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* Image1 = nullptr;

private Q_SLOTS:
    void cmdOK_Click();

private:
    void buildControls();
    void Form_Load();
};
