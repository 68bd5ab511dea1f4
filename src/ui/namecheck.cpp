#include "ui/namecheck.h"

#include <QObject>
#include <string>

#include "io/codepage.h"

namespace vornex::ui {

QString nameCharacterProblem(const QString& text, const QString& what)
{
    if (text.contains(QLatin1Char('"'))) return QObject::tr("A %1 cannot hold a double quote.").arg(what);
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QObject::tr("A %1 cannot hold a line break.").arg(what);
    bool lossless = true;
    encodeWindows1252(text.toStdString(), &lossless);
    if (!lossless) {
        // Name the first character that has no place in the code page.
        for (const uint c : text.toUcs4()) {
            const char32_t c32 = c;
            const QString one = QString::fromUcs4(&c32, 1);
            bool fits = true;
            encodeWindows1252(one.toStdString(), &fits);
            if (!fits)
                return QObject::tr("A %1 cannot hold \"%2\": player.inf and the export files are Windows-1252 "
                                   "text, which has no such character.")
                    .arg(what, one);
        }
    }
    return {};
}

// A title shows "&" as it is, not as the underline of a shortcut.
QString plainTitle(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace vornex::ui
