#include "analysis/planettable.h"

#include <algorithm>

#include "base/numeric.h"
#include "model/keyfold.h"

namespace vornex {

namespace {

using Number = std::optional<long long>;

Number optional(const std::optional<int>& v)
{
    return v ? Number(*v) : std::nullopt;
}

// clang-format off
const std::vector<PlanetColumn> kColumns = {
    // id, key, title, numeric, highestFirst, unknownUnseen, inWindow, widest, number, text
    {PlanetColumnId::Id, "ID", "ID", true, false, false, true, "-32768",
     [](const PlanetRow& r) { return Number(r.id); }, nullptr},
    {PlanetColumnId::Name, "Name", "Name", false, false, false, true, "",
     nullptr, [](const PlanetRow& r) { return r.name; }},
    {PlanetColumnId::X, "X", "X", true, false, false, true, "-32768",
     [](const PlanetRow& r) { return Number(r.x); }, nullptr},
    {PlanetColumnId::Y, "Y", "Y", true, false, false, true, "-32768",
     [](const PlanetRow& r) { return Number(r.y); }, nullptr},
    {PlanetColumnId::Owner, "Owner", "Owner", false, false, true, true, "not reported",
     nullptr, [](const PlanetRow& r) { return r.owner; }},
    {PlanetColumnId::ReportAge, "ReportAge", "Report age", true, false, true, true, "-32768",
     [](const PlanetRow& r) { return Number(r.reportAge); }, nullptr},
    {PlanetColumnId::Population, "Population", "Population", true, true, true, true, "99999999",
     [](const PlanetRow& r) { return Number(r.population); }, nullptr},
    {PlanetColumnId::Value, "Value", "Value", true, true, true, true, "-32768",
     [](const PlanetRow& r) { return Number(r.value); }, nullptr},
    {PlanetColumnId::Hab, "Hab", "Hab", true, true, false, true, "-100",
     [](const PlanetRow& r) { return optional(r.hab); }, nullptr},
    {PlanetColumnId::HabTerra, "HabTerra", "HabTerra", true, true, false, true, "-100",
     [](const PlanetRow& r) { return optional(r.habTerra); }, nullptr},
    {PlanetColumnId::Distance, "Distance", "Distance", true, false, false, true, "32767",
     [](const PlanetRow& r) { return optional(r.distance); }, nullptr},
    {PlanetColumnId::NearOwn, "NearOwn", "Nearest own", true, false, false, true, "32767",
     [](const PlanetRow& r) { return optional(r.nearOwn); }, nullptr},
    {PlanetColumnId::NearOwnName, "NearOwnName", "Nearest own world", false, false, false, false, "",
     nullptr, [](const PlanetRow& r) { return r.nearOwnName; }},
    {PlanetColumnId::Source, "Source", "Source", false, false, false, true, "export.p16",
     nullptr, [](const PlanetRow& r) { return r.source; }},
    {PlanetColumnId::Notes, "Notes", "Notes", false, false, false, true, "",
     nullptr, [](const PlanetRow& r) { return r.note; }},
};
// clang-format on

int compareText(const std::string& keyA, const std::string& keyB, const std::string& a, const std::string& b)
{
    if (int c = keyA.compare(keyB)) return c;
    return a.compare(b);
}

bool uninhabited(const PlanetRow& row)
{
    return row.owner.empty() || row.owner == "Uninhabited";
}

} // namespace

const std::vector<PlanetColumn>& planetColumns()
{
    return kColumns;
}

const PlanetColumn& planetColumn(PlanetColumnId id)
{
    return *std::find_if(kColumns.begin(), kColumns.end(), [id](const PlanetColumn& c) { return c.id == id; });
}

std::vector<const PlanetColumn*> fileColumns(bool withDistance, bool withNearOwn)
{
    std::vector<const PlanetColumn*> columns;
    for (const PlanetColumn& c : kColumns) {
        if (c.id == PlanetColumnId::Distance && !withDistance) continue;
        if ((c.id == PlanetColumnId::NearOwn || c.id == PlanetColumnId::NearOwnName) && !withNearOwn) continue;
        if (c.id == PlanetColumnId::Source || c.id == PlanetColumnId::Notes) continue;
        columns.push_back(&c);
    }
    return columns;
}

bool neverReported(const PlanetRow& row)
{
    return row.reportAge == -1;
}

std::optional<long long> shownNumber(const PlanetColumn& column, const PlanetRow& row)
{
    if (!column.number || (column.unknownUnseen && neverReported(row))) return std::nullopt;
    return column.number(row);
}

std::string shownText(const PlanetColumn& column, const PlanetRow& row)
{
    if (column.numeric) {
        const Number n = shownNumber(column, row);
        return n ? num::intText(*n) : std::string();
    }
    if (column.unknownUnseen && neverReported(row)) return "not reported";
    return column.text(row);
}

std::string fileText(const PlanetColumn& column, const PlanetRow& row)
{
    if (!column.numeric) return column.text(row);
    const Number n = column.number(row);
    return n ? num::intText(*n) : std::string();
}

std::string cellTip(const PlanetColumn& column, const PlanetRow& row)
{
    return column.id == PlanetColumnId::NearOwn ? row.nearOwnName : std::string();
}

bool emptyCell(const PlanetColumn& column, const PlanetRow& row)
{
    return column.numeric && !shownNumber(column, row);
}

int compareCells(const PlanetColumn& column, const PlanetRow& a, const PlanetRow& b)
{
    if (column.numeric) {
        const long long x = shownNumber(column, a).value_or(0), y = shownNumber(column, b).value_or(0);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    switch (column.id) {
    case PlanetColumnId::Name:
        return compareText(a.nameKey, b.nameKey, a.name, b.name);
    case PlanetColumnId::Owner:
        if (neverReported(a) != neverReported(b)) return neverReported(a) ? 1 : -1;
        return compareText(a.ownerKey, b.ownerKey, a.owner, b.owner);
    default: {
        const std::string x = column.text(a), y = column.text(b);
        return compareText(foldKey(x), foldKey(y), x, y);
    }
    }
}

int breakTie(const PlanetColumn& column, const PlanetRow& a, const PlanetRow& b)
{
    if (column.id != PlanetColumnId::Hab && column.id != PlanetColumnId::HabTerra) return 0;
    if (a.nearOwn && b.nearOwn) return *a.nearOwn - *b.nearOwn;
    return int(b.nearOwn.has_value()) - int(a.nearOwn.has_value());
}

void sortPlanetRows(std::vector<PlanetRow>& rows, const PlanetColumn& column, bool descending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const PlanetRow& a, const PlanetRow& b) {
        const bool emptyA = emptyCell(column, a), emptyB = emptyCell(column, b);
        if (emptyA || emptyB) return !emptyA && emptyB;
        const int c = compareCells(column, a, b);
        if (c != 0) return descending ? c > 0 : c < 0;
        return breakTie(column, a, b) < 0;
    });
}

bool isColonyTarget(const PlanetRow& row)
{
    return !neverReported(row) && uninhabited(row) && row.habTerra && *row.habTerra > 0;
}

bool acceptsRow(const PlanetFilter& filter, const PlanetRow& row)
{
    if (filter.reportedOnly && neverReported(row)) return false;
    if (filter.owner && row.owner != *filter.owner) return false;
    if (filter.targetsOnly && !isColonyTarget(row)) return false;
    if (filter.within && (!row.nearOwn || *row.nearOwn > *filter.within)) return false;
    if (filter.nameContains.empty()) return true;
    const std::string part = foldKey(filter.nameContains);
    return row.nameKey.find(part) != std::string::npos || row.noteKey.find(part) != std::string::npos;
}

} // namespace vornex
