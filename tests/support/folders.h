#pragma once
// A folder as the program keeps it: absolute, in the system's own separators, ending in one
// ("/tmp/x/" here, "C:\Temp\x\" on Windows).
#include <QDir>
#include <QtGlobal>
#include <string>

namespace vornex::test {

inline std::string keptFolder(const QString& folder)
{
    QString kept = QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath()));
    if (!kept.endsWith(QDir::separator())) kept += QDir::separator();
    return kept.toStdString();
}

// The separator the program appends to a folder read back as it was stored.
inline std::string separator()
{
    return QString(QDir::separator()).toStdString();
}

// Points the program's data folder, where the games' histories are kept, at `folder`:
// $XDG_DATA_HOME on Linux, %APPDATA% on Windows.
inline void useDataFolder(const QString& folder)
{
    qputenv("XDG_DATA_HOME", folder.toUtf8());
    qputenv("APPDATA", QDir::toNativeSeparators(folder).toUtf8());
}

} // namespace vornex::test
