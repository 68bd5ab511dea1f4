#include "app/datapaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vornex {

QString demoFolder(const QString& applicationDir, const QString& sourceTreeDemo)
{
    // The relative path comes from the install layout the build was configured with.
    const QString installed = QDir::cleanPath(QDir(applicationDir).filePath(QStringLiteral(VORNEX_DEMO_RELATIVE_DIR)));
    for (const QString& candidate : {installed, sourceTreeDemo}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isDir()) return QDir::cleanPath(candidate);
    }
    return installed;
}

QString demoFolder()
{
    return demoFolder(QCoreApplication::applicationDirPath(), QStringLiteral(VORNEX_DEMO_DIR));
}

} // namespace vornex
