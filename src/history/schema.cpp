#include "history/schema.h"

#include <sqlite3.h>
#include <string>

#include "base/numeric.h"

namespace vornex::history {

namespace {

// The planet figures' columns as the first version made them; the second added source.
const std::string kFigureColumns =
    "planet INTEGER NOT NULL, turn INTEGER NOT NULL,"
    " reported INTEGER NOT NULL, reported_turn INTEGER NOT NULL, owner TEXT NOT NULL, starbase TEXT NOT NULL,"
    " population INTEGER NOT NULL, value INTEGER NOT NULL, defences INTEGER NOT NULL, mines INTEGER NOT NULL,"
    " factories INTEGER NOT NULL, surface_iron INTEGER NOT NULL, surface_bora INTEGER NOT NULL,"
    " surface_germ INTEGER NOT NULL, rate_iron INTEGER NOT NULL, rate_bora INTEGER NOT NULL,"
    " rate_germ INTEGER NOT NULL, conc_iron INTEGER NOT NULL, conc_bora INTEGER NOT NULL,"
    " conc_germ INTEGER NOT NULL, grav TEXT NOT NULL, temp TEXT NOT NULL, rad TEXT NOT NULL";

const std::string kSteps[] = {
    // to version 1
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE turns(turn INTEGER PRIMARY KEY, recorded_at TEXT NOT NULL, how TEXT NOT NULL);"
    "CREATE TABLE planet_states(" +
        kFigureColumns + ", PRIMARY KEY(planet, turn)) WITHOUT ROWID;",
    // to version 2: figures recorded before knew no source; they show an empty one.
    "ALTER TABLE planet_states ADD COLUMN source TEXT NOT NULL DEFAULT '';"
    "CREATE TABLE notes(planet INTEGER PRIMARY KEY, text TEXT NOT NULL, changed_at TEXT NOT NULL);",
    // to version 3: the figures kept by turn, then planet, so a turn's rows are written together at
    // the end of the table instead of one into every part of it.
    "CREATE TABLE planet_states_by_turn(" + kFigureColumns +
        ", source TEXT NOT NULL DEFAULT '', PRIMARY KEY(turn, planet)) WITHOUT ROWID;"
        "INSERT INTO planet_states_by_turn SELECT planet, turn, " +
        kStateColumns +
        " FROM planet_states ORDER BY turn, planet;"
        "DROP TABLE planet_states;"
        "ALTER TABLE planet_states_by_turn RENAME TO planet_states;",
};
constexpr int kStepCount = static_cast<int>(sizeof kSteps / sizeof kSteps[0]);
static_assert(kStepCount == kSchemaVersion);

} // namespace

int schemaVersion(Database& db)
{
    // One statement, so both are read from the same state of the file: another program may be
    // creating the tables right now, and tables without a version would look like a foreign file.
    Statement s(db.handle(), "SELECT (SELECT user_version FROM pragma_user_version),"
                             " (SELECT count(*) FROM sqlite_schema)");
    s.step();
    const auto version = s.integer(0);
    if (version == 0 && s.integer(1) != 0) throw StoreError(SQLITE_NOTADB, "a database, but not a history store");
    return static_cast<int>(version);
}

void upgradeSchema(Database& db, int toVersion)
{
    int version = schemaVersion(db);
    if (version > kSchemaVersion)
        throw StoreError(SQLITE_CANTOPEN, "written by a later version of VornexInfo (store version " +
                                              num::intText(version) + ", this program knows " +
                                              num::intText(kSchemaVersion) + ")");
    while (version < toVersion) {
        db.exec("BEGIN IMMEDIATE");
        try {
            // Another program may have done this step while we waited for the lock.
            version = schemaVersion(db);
            if (version < toVersion) {
                db.exec(kSteps[version]);
                ++version;
                db.exec("PRAGMA user_version = " + num::intText(version));
            }
            db.exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
}

} // namespace vornex::history
