#pragma once

#include <QWidget>

// A small floating window that belongs to another: a tool window without caption text, light
// grey, with a thin border. It goes away when it loses the activation to anything but a modal
// dialog (a question or a viewer opened from it, after which it is wanted back), and it places
// itself again at every activation (activated()).
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

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
