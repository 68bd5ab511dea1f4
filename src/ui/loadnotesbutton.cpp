#include "ui/loadnotesbutton.h"

#include "app/programstate.h"
#include "io/diagnostics.h"
#include "ui/dialogs.h"
#include "ui/theme.h"

namespace vornex::ui {

LoadNotesButton::LoadNotesButton(const ProgramState& state, QWidget* parent) : QPushButton(parent), m_state(state)
{
    setObjectName("cmdLoadNotes");
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(
        QString("QPushButton { color: %1; text-decoration: underline; padding: 0 6px; }").arg(captionCss(0x00000080)));
    setToolTip(tr("Show what could not be read"));
    connect(this, &QPushButton::clicked, this, &LoadNotesButton::showList);
}

QString LoadNotesButton::fileNote(const Diagnostic& diag, bool fullPath) const
{
    const auto& s = m_state;
    const std::string& path = diag.file;
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    QString note = QString::fromStdString((fullPath ? path : name) + ": " + diag.reason);
    // What the map lacks without the file.
    auto numbered = [&](const std::string& stem) {
        return path.size() > stem.size() && path.compare(0, stem.size(), stem) == 0 &&
               path.find_first_not_of("0123456789", stem.size()) == std::string::npos;
    };
    if (path == s.game.reportFile())
        note += tr(" \u2014 the map shows the map file and the export files only");
    else if (path == s.game.mapFile())
        note += tr(" \u2014 the map has no planets");
    else if (numbered(s.game.folder + "export.p"))
        note += tr(" \u2014 its planets are not merged");
    return note;
}

void LoadNotesButton::showList()
{
    QStringList heading, list;
    for (const Diagnostic& diag : m_state.diagnostics)
        if (diag.line <= 0) list << fileNote(diag, true);
    if (!list.isEmpty())
        heading << (list.size() == 1 ? tr("1 file could not be read.")
                                     : tr("%1 files could not be read.").arg(list.size()));
    // A file's notes beyond the first thousand are one note that counts them.
    int64_t skipped = 0;
    for (const Diagnostic& diag : m_state.diagnostics)
        if (diag.line > 0) {
            list << QString::fromStdString(diag.text());
            skipped += diag.rejectedLines();
        }
    if (skipped)
        heading << (skipped == 1 ? tr("1 line could not be read and was skipped.")
                                 : tr("%1 lines could not be read and were skipped.")
                                       .arg(QString::fromStdString(groupedNumber(skipped))));
    showDetails(window(), tr("Load notes"), heading.join(' '), list);
}

void LoadNotesButton::refresh()
{
    QStringList files; // whole files that could not be read, by name
    int64_t lines = 0; // counted, not listed: the list is built only when asked for
    for (const Diagnostic& diag : m_state.diagnostics) {
        if (diag.line <= 0)
            files << fileNote(diag, false);
        else
            lines += diag.rejectedLines();
    }
    if (files.isEmpty() && lines == 0) {
        hide();
        return;
    }
    QStringList parts;
    if (files.size() == 1)
        parts << files.front();
    else if (files.size() > 1)
        parts << tr("%1 files could not be read").arg(files.size());
    if (lines == 1)
        parts << tr("1 line skipped while loading");
    else if (lines > 1)
        parts << tr("%1 lines skipped while loading").arg(QString::fromStdString(groupedNumber(lines)));
    setText(parts.join("; ") + tr(" \u2013 Details\u2026"));
    show();
}

} // namespace vornex::ui
