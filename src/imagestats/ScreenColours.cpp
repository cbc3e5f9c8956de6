#include "imagestats/ScreenColours.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

double ScreenColours()
{
    int depth = 24;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            depth = screen->depth();
    }
    return std::pow(2.0, depth);
}
