#pragma once
#include <cstdint>
#include <string>

namespace vornex {

// Everything known about one planet: number, position and name from the map file, the columns of
// the planets report, possibly refreshed from export files. A plain value holder; nothing here
// validates. A new record has every text empty and every number 0.
struct Planet {
    int16_t ID = 0;         // planet number from the map file
    int16_t Xcord = 0;      // map file x minus 1000
    int16_t Ycord = 0;      // 3000 minus map file y (y grows downwards on the map)
    std::string PlanetName; // the planet's key in the map
    std::string Owner;      // race name, or "Uninhabited"
    std::string StarbaseType;
    int16_t ReportAge = 0; // years; -1 means never reported
    int32_t Population = 0;
    int16_t Value = 0; // habitability value column of the report, percent
    std::string ProductionQueue;
    int16_t Mines = 0;
    int16_t Factories = 0;
    int16_t Def = 0;
    int32_t SurfaceIron = 0;
    int32_t SurfaceGerm = 0;
    int32_t SurfaceBora = 0;
    int16_t ConcentrationIron = 0;
    int16_t RateBora = 0;
    int16_t RateGerm = 0;
    int16_t RateIron = 0;
    int16_t ConcentrationGerm = 0;
    int16_t ConcentrationBora = 0;
    int16_t Resources = 0;
    std::string Grav; // number text without unit, e.g. "1.5"
    std::string Temp; // number text without unit, e.g. "-120"
    std::string Rad;  // number text without unit, e.g. "45"
    std::string GravOrig;
    std::string TempOrig;
    std::string RadOrig;
    int16_t Terra = 0;
    int16_t Capacity = 0;
    int16_t Scanner = 0;
    int16_t Penetration = 0;
    int16_t Driver = 0;
    int16_t Warp = 0;
    std::string Route;
    int16_t GateRange = 0;
    int16_t GateMass = 0;
    int16_t PacketDamage = 0;

    // Where the figures come from: the map file alone, the planets report, or an export file whose
    // number N (export.pN) is SourceExport.
    enum class From : uint8_t { Map, Report, Export };
    From Source = From::Map;
    uint8_t SourceExport = 0;
    // The player's note on the planet, kept in the game's history; never written to export files.
    std::string Note;
    // "map", "report" or "export.pN": the words of the planet table's Source column.
    std::string SourceText() const;

    // One export-file record in list format (UTF-8, ended by CR LF): name, owner, age, population,
    // value, defences, starbase, gravity, temperature, radiation. Texts go between double quotes;
    // a double quote inside a text is written as an apostrophe and a line break as a blank, since
    // list format has no way to carry them and the line must read back as the same ten items.
    std::string Export() const;
};

} // namespace vornex
