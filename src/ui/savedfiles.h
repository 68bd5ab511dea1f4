#pragma once
// Files the user saves by name (a table, a map image): the extension a name lacks, the image
// format a name asks for, and the writing itself through the core's crash-safe save (a read-only
// file or a link that leads nowhere is refused with the reason; a replaced file keeps its mode).

#include <QByteArray>
#include <QString>
#include <optional>

namespace vornex::ui {

// The name with "." + extension added when its file name has no extension ("map" -> "map.png";
// "map.jpg", "notes.v2/map" -> "notes.v2/map.png" as the folder's dot does not count).
QString withDefaultExtension(const QString& path, const QString& extension);

// The image format the name's extension asks for ("PNG", "JPG", "BMP", ...), or nullopt with why
// not in *why: an extension no image writer here knows.
std::optional<QByteArray> imageFormatFor(const QString& path, QString* why);

// Writes the bytes in place of the file at path; an empty text, or why not.
QString writeChosenFile(const QString& path, const QByteArray& bytes);

} // namespace vornex::ui
