#pragma once

#include <QWidget>

class QKeyEvent;
class QPushButton;

// A small floating window that belongs to another: a tool window without caption text, light
// grey, with a thin border. It goes away when it loses the activation to anything but a modal
// dialog; after a modal dialog (a question or a viewer opened from it) it takes the activation
// back, so its keys go on working. It places itself again at every activation (activated()).
class FloatingPad : public QWidget
{
    Q_OBJECT
public:
    explicit FloatingPad(QWidget* owner);

    // Shows the pad in front and asks for the activation, which the window manager may refuse.
    void bringUp();

protected:
    // Every activation.
    virtual void activated() = 0;
    // A press of one of the pad's own buttons by its access letter: the button's handler runs.
    virtual void pressButton(QPushButton* button) = 0;

    // The pad's own key handling, while its key preview is on: a typed character and the code
    // of a released key (see FormKeys.h). Access letters of its buttons are pressed besides.
    virtual void Form_KeyPress(QChar) { }
    virtual void Form_KeyUp(int) { }
    void setKeyPreview(bool on) { m_keyPreview = on; }

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The button of the pad whose access letter the key is, if any.
    QPushButton* accessKeyButton(const QKeyEvent* event) const;

    bool m_backAfterModal = false;
    bool m_keyPreview = true;
};
