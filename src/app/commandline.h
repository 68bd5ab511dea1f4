#pragma once
// The command line of vornexinfo.

#include <QStringList>
#include <optional>

#include "app/gamechoice.h"

namespace vornex {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool demo = false;
    std::optional<Game> game; // --folder, --player and --game, checked
    QString text;             // help, version or the one-line error
};

// Reads the arguments (program name first). A game given on the command line is checked as the
// open dialog checks it; an error names the bad value in one line.
CommandLine parseCommandLine(const QStringList& arguments);

// Whether the arguments hold options of the toolkit itself (-style, -platform ...), which only
// the application object takes out.
bool hasToolkitOptions(const QStringList& arguments);

// "vornexinfo X.Y.Z"
QString versionText();

} // namespace vornex
