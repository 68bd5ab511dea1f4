#include "ui/theme.h"

#include <QApplication>
#include <QPalette>

#include "ui/dialogs.h"

namespace vornex::ui {

QColor classicGrey()
{
    return colourFromBgr(0x00C0C0C0);
}

bool darkTheme()
{
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor panelColour()
{
    return darkTheme() ? QApplication::palette().color(QPalette::Window) : classicGrey();
}

QString captionCss(int32_t bgr)
{
    QColor c = colourFromBgr(bgr);
    if (!darkTheme()) return c.name();
    auto lift = [](int v) { return v + (255 - v) * 60 / 100; };
    return QColor(lift(c.red()), lift(c.green()), lift(c.blue())).name();
}

QColor frameLight()
{
    return darkTheme() ? panelColour().lighter(170) : QColor(0xff, 0xff, 0xff);
}

QColor frameShade()
{
    return darkTheme() ? panelColour().darker(170) : QColor(0x80, 0x80, 0x80);
}

QColor reasonColour()
{
    return darkTheme() ? QColor(0xff, 0x8a, 0x80) : QColor(0xb0, 0x00, 0x00);
}

} // namespace vornex::ui
