#pragma once
// The desktop's colours. A dark theme gives dark panels; on a light theme the panel keeps its
// classic grey. The map itself always stays black with the race colours.

#include <QColor>
#include <QString>
#include <cstdint>

namespace vornex::ui {

// The panel's grey on a light theme.
QColor classicGrey();
// True when the application palette's window colour is dark.
bool darkTheme();
// The background of the panel and the client area.
QColor panelColour();
// A coloured caption (0x00BBGGRR) as a style-sheet colour that stays readable on the panel: on a
// dark panel it is brought towards white, keeping its hue.
QString captionCss(int32_t bgr);
// The light and dark edges of the panel's sunken frames and lines.
QColor frameLight();
QColor frameShade();
// The colour of a reason beside a field (why a value cannot be taken): a red readable on light and
// on dark themes.
QColor reasonColour();

} // namespace vornex::ui
