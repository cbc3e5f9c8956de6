#pragma once

#include <QMainWindow>

// The main window: every search setting, the directory list and the start of a search.
class frmMAIN : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMAIN(QWidget* parent = nullptr);
};
