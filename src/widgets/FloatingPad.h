#pragma once

#include <QWidget>

class QKeyEvent;
class QPushButton;

// A small floating window that belongs to another: a tool window without caption text, light
// grey, with a thin border. It goes out of the way (parks) whenever it loses the activation, also
// to a modal dialog, which it would otherwise stand over; after a modal dialog opened from it (a
// question or a viewer) it comes back and takes the activation again, so its keys go on working.
// It places itself again at every activation (activated()).
class FloatingPad : public QWidget
{
    Q_OBJECT
public:
    explicit FloatingPad(QWidget* owner);

    // Shows the pad in front and asks for the activation, which the window manager may refuse.
    void bringUp();
    // Showing or hiding the pad from code ends a parking: a pad hidden meanwhile stays hidden.
    void setVisible(bool visible) override;

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

    // A window may not be placed off the screen everywhere: out of the way means hidden.
    void park();

    bool m_backAfterModal = false;
    bool m_parked = false;
    bool m_parking = false;
    bool m_keyPreview = true;
};
