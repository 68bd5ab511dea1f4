#include "app/commandline.h"

#include <QCommandLineParser>

#ifndef VORNEX_VERSION
#define VORNEX_VERSION "0.0.0"
#endif

namespace vornex {

QString versionText()
{
    return QStringLiteral("vornexinfo " VORNEX_VERSION);
}

bool hasToolkitOptions(const QStringList& arguments)
{
    static const QStringList names = {"style",         "stylesheet", "platform",        "platformpluginpath",
                                      "platformtheme", "plugin",     "qwindowgeometry", "qwindowtitle",
                                      "qwindowicon",   "reverse",    "session",         "display",
                                      "widgetcount",   "nograb",     "dograb",          "sync"};
    for (const QString& a : arguments.mid(1)) {
        if (!a.startsWith('-')) continue;
        QString name = a.mid(a.startsWith("--") ? 2 : 1);
        name = name.left(name.indexOf('='));
        if (names.contains(name)) return true;
    }
    return false;
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the galaxy map and planet details of a game's exported reports.\n"
                                     "On the first start it asks for the folder of the game files, your player\n"
                                     "number and the game name, and remembers them.");
    const QCommandLineOption demo("demo", "Open the demo galaxy from a temporary copy; your own settings and game "
                                          "files are not touched.");
    const QCommandLineOption folder("folder", "Open the game in folder DIR (with --player and --game).", "DIR");
    const QCommandLineOption player("player", "Your player number, 1 to 16.", "N");
    const QCommandLineOption game("game", "The game name: the base name of its files.", "NAME");
    const QCommandLineOption help({"h", "help"}, "Show this text.");
    const QCommandLineOption version("version", "Show the version.");
    parser.addOptions({demo, folder, player, game, help, version});

    CommandLine cl;
    auto fail = [&](const QString& why) {
        cl.action = CommandLine::Action::Error;
        cl.text = "vornexinfo: " + why;
        return cl;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument " + parser.positionalArguments().first());
    if (parser.isSet(help)) {
        cl.action = CommandLine::Action::Help;
        // Without an application object the parser cannot know the program's name.
        cl.text = parser.helpText().replace("<executable_name>", "vornexinfo");
        return cl;
    }
    if (parser.isSet(version)) {
        cl.action = CommandLine::Action::Version;
        cl.text = versionText();
        return cl;
    }
    cl.demo = parser.isSet(demo);
    const bool anyGame = parser.isSet(folder) || parser.isSet(player) || parser.isSet(game);
    if (!anyGame) return cl;
    if (cl.demo) return fail("--demo opens the demo galaxy and takes no --folder, --player or --game");
    for (const auto* o : {&folder, &player, &game})
        if (!parser.isSet(*o))
            return fail("--" + o->names().first() + " is missing: a game needs --folder, --player and --game");

    const GameChoiceCheck check = checkGameChoice(parser.value(folder), parser.value(player), parser.value(game));
    if (!check.folder.isEmpty()) return fail("--folder " + parser.value(folder) + ": " + check.folder);
    if (!check.player.isEmpty()) return fail("--player " + parser.value(player) + ": " + check.player);
    if (!check.name.isEmpty()) return fail("--game " + parser.value(game) + ": " + check.name);
    // The folder is stored absolute: the settings outlive the shell's working folder.
    cl.game = check.game;
    return cl;
}

} // namespace vornex
