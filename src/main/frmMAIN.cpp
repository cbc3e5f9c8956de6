#include "main/frmMAIN.h"

frmMAIN::frmMAIN(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMAIN"));
    setWindowTitle(QStringLiteral("t'olq!"));
}
