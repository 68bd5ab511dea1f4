#include "ui/savedfiles.h"

#include <QFileInfo>
#include <QImageWriter>

#include "io/textfile.h"

namespace vornex::ui {

QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    // "name." asks for no extension as little as "name" does.
    return (path.endsWith('.') ? path : path + '.') + extension;
}

std::optional<QByteArray> imageFormatFor(const QString& path, QString* why)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (!suffix.isEmpty() && QImageWriter::supportedImageFormats().contains(suffix)) return suffix.toUpper();
    if (why)
        *why = QObject::tr("the program cannot write %1 images; give the name the extension .png or .jpg")
                   .arg(suffix.isEmpty() ? QObject::tr("such") : QString::fromLatin1(suffix.toUpper()));
    return std::nullopt;
}

QString writeChosenFile(const QString& path, const QByteArray& bytes)
{
    const WriteResult written =
        vornex::writeChosenFile(path.toStdString(), std::string_view(bytes.data(), bytes.size()));
    return written.ok ? QString() : QString::fromStdString(written.error);
}

} // namespace vornex::ui
