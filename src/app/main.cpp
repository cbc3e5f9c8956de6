#include "main/frmMAIN.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolq"));
    frmMAIN window;
    window.show();
    return QApplication::exec();
}
