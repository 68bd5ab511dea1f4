#pragma once
// What a name typed in the race editor may hold: player.inf and the export files keep names as
// quoted Windows-1252 list items.

#include <QString>

namespace vornex::ui {

// Why `text` cannot be a name of this kind (`what`, e.g. "race name"), or an empty text when it can:
// a double quote, a line break, or a character that Windows-1252 lacks.
QString nameCharacterProblem(const QString& text, const QString& what);

// A title shows "&" as it is, not as the underline of a shortcut.
QString plainTitle(QString text);

} // namespace vornex::ui
