#include "reporttable.h"
#include "historycommands.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "analysis/panel.h"
#include "analysis/planettable.h"
#include "analysis/view.h"
#include "base/numeric.h"
#include "io/planetloader.h"
#include "io/tables.h"
#include "model/keyfold.h"

namespace vornex::report {

namespace {

std::optional<Format> formatFrom(const std::string& s)
{
    if (s == "tsv") return Format::Tsv;
    if (s == "csv") return Format::Csv;
    if (s == "json") return Format::Json;
    return std::nullopt;
}

std::optional<SortKey> sortFrom(const std::string& s)
{
    static const std::map<std::string, SortKey> keys = {
        {"hab", SortKey::Hab},           {"habterra", SortKey::HabTerra}, {"value", SortKey::Value},
        {"distance", SortKey::Distance}, {"name", SortKey::Name},         {"id", SortKey::Id},
        {"nearown", SortKey::NearOwn},
    };
    auto it = keys.find(s);
    if (it == keys.end()) return std::nullopt;
    return it->second;
}

// An integer text that fits 16 bits, without a fraction.
std::optional<int16_t> wholeInt16(const std::string& text)
{
    auto v = num::parseStrict(text);
    if (!v || *v != num::roundHalfEven(*v)) return std::nullopt;
    return num::tryInt16(*v);
}

} // namespace

std::string usageText()
{
    return "Usage: vornexinfo-report --folder DIR --player N [options]\n"
           "\n"
           "Prints one row per planet of a game with its habitability for player N, as the\n"
           "planet panel of VornexInfo rates it. Reads from DIR: gravity.csv, player.inf,\n"
           "NAME.map, the planets report NAME.pN and the export files export.p1 .. export.p16.\n"
           "\n"
           "Columns: ID, Name, X, Y, Owner, ReportAge, Population, Value, Hab, HabTerra;\n"
           "Distance with --from, NearOwn and NearOwnName with --near-own\n"
           "  Hab       rating without terraforming (-45..100)\n"
           "  HabTerra  rating after player N's terraforming\n"
           "  Both are empty for a planet never reported (ReportAge -1) or whose environment\n"
           "  is not a number. As in the planet panel, a rating that cannot be worked out is 0:\n"
           "  player N's slot in player.inf holds no race, or a gravity has no row in\n"
           "  gravity.csv (a warning goes to standard error for the first case).\n"
           "\n"
           "Options:\n"
           "  --folder DIR       folder of the game files (required)\n"
           "  --player N         your player number (required); the planets report read is\n"
           "                     NAME.pN with N as given (04 reads NAME.p04)\n"
           "  --game NAME        base name of the game files (default: game)\n"
           "  --sort KEY         hab, habterra, value (highest first; equal ratings put the\n"
           "                     planet nearer your worlds first), distance (nearest\n"
           "                     first; needs --from), nearown (nearest to your worlds\n"
           "                     first), name or id; default: map order\n"
           "  --owner RACE       only planets owned by RACE (exact race name)\n"
           "  --reported         leave out planets never reported\n"
           "  --from PLANET      add a Distance column: straight-line distance from PLANET\n"
           "                     (a planet name, or a planet number)\n"
           "  --near-own         add the columns NearOwn and NearOwnName: the distance to\n"
           "                     the nearest of your worlds (the planets whose owner is\n"
           "                     player N's race) and that world's name\n"
           "  --within D         only planets at most D from one of your worlds\n"
           "  --format FORMAT    tsv (default), csv or json; tsv and json write every cell\n"
           "                     exactly; csv is for spreadsheets: it starts with a UTF-8\n"
           "                     byte order mark, and a text cell beginning with = + - @\n"
           "                     is quoted with an apostrophe in front, so that no\n"
           "                     spreadsheet runs it as a formula\n"
           "\n"
           "The game's history (one store per game and player in the user's data folder,\n"
           "VornexTools/history; the window records every turn it loads):\n"
           "  --record           record the folder's turn, when it differs from the last\n"
           "                     one recorded (record past turns oldest first)\n"
           "  --changes          print what changed in the last turn recorded: planets\n"
           "                     taken, lost and colonised, first reports, population and\n"
           "                     defence jumps (columns ID, Name, Change, From, To, Text)\n"
           "  --since N          with --changes: what changed from turn N to the last\n"
           "  --history PLANET   one planet's figures turn by turn\n"
           "  --history-folder DIR  keep the stores in DIR instead\n"
           "\n"
           "  --help             show this text\n"
           "  --version          print the version and stop\n"
           "\n"
           "Rejected lines of the input files are written to standard error as\n"
           "file:line: reason. Exit status: 0 on success, 2 for a bad option or when\n"
           "gravity.csv, NAME.map or NAME.pN cannot be read, 1 when the history store\n"
           "cannot be used or a turn older than the last one recorded was not recorded.\n"
           "\n"
           "Example, the ten best planets to settle after terraforming:\n"
           "  vornexinfo-report --folder ~/vornex --player 3 --sort habterra | head -11\n";
}

std::optional<Options> parseArguments(const std::vector<std::string>& args, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<Options> {
        if (error) *error = why;
        return std::nullopt;
    };
    Options o;
    bool haveFolder = false, havePlayer = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name == "--reported" || name == "--near-own" || name == "--record" || name == "--changes") {
            if (value) return fail(name + " takes no value");
            (name == "--reported"   ? o.reportedOnly
             : name == "--near-own" ? o.nearOwn
             : name == "--record"   ? o.record
                                    : o.changes) = true;
            continue;
        }
        static const char* withValue[] = {"--folder", "--player", "--game",  "--sort",    "--owner",         "--from",
                                          "--format", "--within", "--since", "--history", "--history-folder"};
        if (std::find_if(std::begin(withValue), std::end(withValue), [&](const char* n) { return name == n; }) ==
            std::end(withValue))
            return fail("unknown option: " + args[i]);
        if (!value) {
            if (i + 1 >= args.size()) return fail(name + " needs a value");
            value = args[++i];
        }
        if (name == "--folder") {
            if (value->empty()) return fail("--folder needs a folder");
            o.folder = *value;
            haveFolder = true;
        } else if (name == "--player") {
            // Read as the window reads it: a whole number, the report's suffix as given ("04"
            // reads game.p04).
            auto n = parsePlayerNumber(*value);
            if (!n) return fail("--player needs a whole player number, not '" + *value + "'");
            o.player = n->number;
            o.playerText = n->suffix;
            havePlayer = true;
        } else if (name == "--game") {
            if (auto problem = gameNameProblem(*value)) return fail("--game " + *value + ": " + *problem);
            o.game = *value;
        } else if (name == "--sort") {
            auto k = sortFrom(*value);
            if (!k)
                return fail("--sort takes hab, habterra, value, distance, nearown, name or id, not '" + *value + "'");
            o.sort = *k;
        } else if (name == "--owner") {
            o.owner = *value;
        } else if (name == "--from") {
            o.from = *value;
        } else if (name == "--within") {
            auto d = wholeInt16(*value);
            if (!d || *d < 0) return fail("--within needs a distance from 0 to 32767, not '" + *value + "'");
            o.within = *d;
        } else if (name == "--since") {
            auto n = wholeInt16(*value);
            if (!n) return fail("--since needs a turn number, not '" + *value + "'");
            o.since = *n;
        } else if (name == "--history") {
            o.history = *value;
        } else if (name == "--history-folder") {
            if (value->empty()) return fail("--history-folder needs a folder");
            o.historyFolder = *value;
        } else if (name == "--format") {
            auto f = formatFrom(*value);
            if (!f) return fail("--format takes tsv, csv or json, not '" + *value + "'");
            o.format = *f;
        }
    }
    if (o.help) return o;
    if (!haveFolder) return fail("--folder is required (see --help)");
    if (!havePlayer) return fail("--player is required (see --help)");
    if (o.sort == SortKey::Distance && !o.from) return fail("--sort distance needs --from PLANET");
    if (o.since && !o.changes) return fail("--since goes with --changes");
    return o;
}

std::vector<Row> buildRows(const Map& planets, const Player* race, const Gravities& gravities, const Planet* from)
{
    return planetRows(planets, race, gravities, from);
}

void filterAndSort(std::vector<Row>& rows, const Options& options)
{
    PlanetFilter filter;
    filter.owner = options.owner;
    filter.reportedOnly = options.reportedOnly;
    filter.within = options.within;
    std::erase_if(rows, [&](const Row& r) { return !acceptsRow(filter, r); });
    static const std::map<SortKey, PlanetColumnId> columnOf = {
        {SortKey::Hab, PlanetColumnId::Hab},         {SortKey::HabTerra, PlanetColumnId::HabTerra},
        {SortKey::Value, PlanetColumnId::Value},     {SortKey::Distance, PlanetColumnId::Distance},
        {SortKey::Name, PlanetColumnId::Name},       {SortKey::Id, PlanetColumnId::Id},
        {SortKey::NearOwn, PlanetColumnId::NearOwn},
    };
    auto it = columnOf.find(options.sort);
    if (it == columnOf.end()) return;
    const PlanetColumn& column = planetColumn(it->second);
    sortPlanetRows(rows, column, column.highestFirst);
}

std::string formatTable(const std::vector<Row>& rows, Format format, bool withDistance, bool withNearOwn)
{
    return writePlanetTable(rows, fileColumns(withDistance, withNearOwn), format);
}

PlanetPtr findReference(const Map& planets, const std::string& text)
{
    for (const auto& p : planets)
        if (p->PlanetName == text) return p;
    if (auto id = wholeInt16(text))
        for (const auto& p : planets)
            if (p->ID == *id) return p;
    return nullptr;
}

RunResult run(const std::vector<std::string>& args)
{
    RunResult result;
    auto usageError = [&](const std::string& why) {
        result.status = 2;
        result.out.clear();
        result.err = "vornexinfo-report: " + why + "\n";
        return result;
    };
    std::string error;
    auto options = parseArguments(args, &error);
    if (!options) return usageError(error);
    if (options->help) {
        result.out = usageText();
        return result;
    }

    std::string folder = options->folder;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return usageError("no such folder: " + folder);
    if (folder.back() != '/' && folder.back() != '\\') folder += '/';

    Diagnostics diags;
    Gravities gravities = LoadGravities(folder, diags);
    Players players = LoadPlayers(folder, diags);
    const Game game{folder, options->game, PlayerNumber{options->playerText, options->player}};
    Map planets;
    const PlanetsRead read = LoadPlanets(planets, game, diags);
    // Without any of these files the table would be wrong from top to bottom: no table at all.
    for (const auto& d : diags)
        if (d.line == 0 && d.file == game.gravityFile())
            return usageError("cannot read " + d.file + ": " + std::string(d.cause()));
    if (auto refusal = turnRefusal(read, game, diags)) return usageError("cannot read " + refusal->text());
    for (const auto& d : diags)
        result.err += d.text() + "\n";

    if (options->record || options->changes || options->history) return runHistory(*options, planets, result);

    PlanetPtr from;
    if (options->from) {
        from = findReference(planets, *options->from);
        if (!from) return usageError("no planet named " + *options->from);
    }
    PlayerPtr race = players.At(options->player);
    if (!race || race->RaceName.empty())
        result.err += "warning: player " + options->playerText + " has no race in player.inf; every rating is 0\n";
    auto rows = buildRows(planets, race.get(), gravities, from.get());
    filterAndSort(rows, *options);
    result.out = formatTable(rows, options->format, from != nullptr, options->nearOwn);
    return result;
}

} // namespace vornex::report
