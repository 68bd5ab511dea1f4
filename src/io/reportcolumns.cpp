#include "io/loaderparts.h"

#include <array>

namespace vornex::loader {

namespace {

// The columns of a planets report line after the name; the nine of the optional group come last.
enum class Kind { Text, Int16, Int32, Unit1, Unit2 };
struct Column {
    const char* name;
    Kind kind;
};
constexpr Column kColumns[36] = {
    {"name", Kind::Text},
    {"owner", Kind::Text},
    {"starbase", Kind::Text},
    {"report age", Kind::Int16},
    {"population", Kind::Int32},
    {"value", Kind::Int16},
    {"production", Kind::Text},
    {"mines", Kind::Int16},
    {"factories", Kind::Int16},
    {"defences", Kind::Int16},
    {"surface Ironium", Kind::Int32},
    {"surface Boranium", Kind::Int32},
    {"surface Germanium", Kind::Int32},
    {"Ironium mining rate", Kind::Int16},
    {"Boranium mining rate", Kind::Int16},
    {"Germanium mining rate", Kind::Int16},
    {"Ironium concentration", Kind::Int16},
    {"Boranium concentration", Kind::Int16},
    {"Germanium concentration", Kind::Int16},
    {"resources", Kind::Int16},
    {"gravity", Kind::Unit1},
    {"temperature", Kind::Unit2},
    {"radiation", Kind::Unit2},
    {"initial gravity", Kind::Text},
    {"initial temperature", Kind::Text},
    {"initial radiation", Kind::Text},
    {"terraforming", Kind::Int16},
    {"capacity", Kind::Int16},
    {"scanner", Kind::Int16},
    {"penetration", Kind::Int16},
    {"driver", Kind::Int16},
    {"warp", Kind::Int16},
    {"route", Kind::Text},
    {"gate range", Kind::Int16},
    {"gate mass", Kind::Int16},
    {"packet damage", Kind::Int16},
};

} // namespace

// Why column i of a report line does not convert.
[[gnu::noinline, gnu::cold]] static std::string columnFailure(size_t i, std::string_view text, Enc enc)
{
    const Column& c = kColumns[i];
    std::string why = "field " + std::to_string(i + 1) + " (" + c.name + "): " + quoteText(toUtf8(text, enc));
    switch (c.kind) {
    case Kind::Int16:
        return why + " does not fit in 16 bits";
    case Kind::Int32:
        return why + " does not fit in 32 bits";
    case Kind::Unit1:
        return why + " is not a number followed by a 1-character unit";
    case Kind::Unit2:
        return why + " is not a number followed by a 2-character unit";
    case Kind::Text:
        break;
    }
    return why;
}

// Converts the numeric fields in column order; the reason names the first that does not convert.
std::optional<std::string> convertReportRow(ReportRow& row, Enc enc)
{
    for (size_t i = 1; i < row.columns; ++i) {
        const std::string_view t = row.field[i];
        bool ok = true;
        switch (kColumns[i].kind) {
        case Kind::Text:
            break;
        case Kind::Int16: {
            auto v = fieldInt16(t, row.wide);
            ok = v.has_value();
            if (ok) row.number[i] = *v;
            break;
        }
        case Kind::Int32: {
            auto v = fieldInt32(t, row.wide);
            ok = v.has_value();
            if (ok) row.number[i] = *v;
            break;
        }
        case Kind::Unit1:
        case Kind::Unit2:
            ok = unitText(t, kColumns[i].kind == Kind::Unit1 ? 1 : 2, enc, row.env[i - 20], row.envMade[i - 20]);
            break;
        }
        if (!ok) return columnFailure(i, t, enc);
    }
    return std::nullopt;
}

void applyReportRow(ReportRow& row, Planet& p, Enc enc)
{
    auto i16 = [&](size_t i) { return static_cast<int16_t>(row.number[i]); };
    const auto& f = row.field;
    constexpr std::string_view kUninhabited = "Uninhabited";
    if (!f[1].empty())
        assignText(p.Owner, f[1], enc, row.wide);
    else if (std::string_view(p.Owner) != kUninhabited) // as the map file left it, as a rule
        p.Owner.assign(kUninhabited.data(), kUninhabited.size());
    assignText(p.StarbaseType, f[2], enc, row.wide);
    p.ReportAge = i16(3);
    p.Source = Planet::From::Report;
    p.Population = row.number[4];
    p.Value = i16(5);
    assignText(p.ProductionQueue, f[6], enc, row.wide);
    p.Mines = i16(7);
    p.Factories = i16(8);
    p.Def = i16(9);
    p.SurfaceIron = row.number[10];
    p.SurfaceBora = row.number[11];
    p.SurfaceGerm = row.number[12];
    p.RateIron = i16(13);
    p.RateBora = i16(14);
    p.RateGerm = i16(15);
    p.ConcentrationIron = i16(16);
    p.ConcentrationBora = i16(17);
    p.ConcentrationGerm = i16(18);
    p.Resources = i16(19);
    assignText(p.Grav, row.env[0], Enc::Ascii);
    assignText(p.Temp, row.env[1], Enc::Ascii);
    assignText(p.Rad, row.env[2], Enc::Ascii);
    assignText(p.GravOrig, f[23], enc, row.wide);
    assignText(p.TempOrig, f[24], enc, row.wide);
    assignText(p.RadOrig, f[25], enc, row.wide);
    p.Terra = i16(26);
    if (row.columns == 36) {
        p.Capacity = i16(27);
        p.Scanner = i16(28);
        p.Penetration = i16(29);
        p.Driver = i16(30);
        p.Warp = i16(31);
        assignText(p.Route, f[32], enc, row.wide);
        p.GateRange = i16(33);
        p.GateMass = i16(34);
        p.PacketDamage = i16(35);
    }
}

} // namespace vornex::loader
