#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <QWidget>

// The manager windows are drawn at a design size and then fitted to the screen: the window
// and every control whose name begins with one of the prefixes ("lab", "txt", "cmd", "frm",
// "lst", "cmb", ...; case ignored) are scaled so the window is widthShare of the screen wide
// (ScaleControl), and the window is centred on the screen.
void fitManagerWindow(QWidget &window, QSize screen, double widthShare);

// Gives the window the design-size font of manager windows ("標楷體", 15 pixels).
void setManagerFont(QWidget &window);

// Adds a control of that name and design geometry to parent.
template <typename Control>
Control *addControl(QWidget *parent, const char *name, QRect geometry)
{
    auto *control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}
