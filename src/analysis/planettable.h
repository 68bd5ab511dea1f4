#pragma once
// The planet table's columns in one list: each column's headings, its value, how it sorts and how
// it is written. The window's table, its sort and filter, Save as CSV and vornexinfo-report all
// read this list, so a new column is one entry in planettable.cpp.
//
// Two text forms: the window shows what is known (a planet never reported has no owner, age,
// population or value to show: empty cells, the owner "not reported"), while the files keep the
// report tool's format (Uninhabited, -1, 0), which scripts and other copies read. Figures are
// written as the planet panel writes them, whatever the desktop's locale: "-1234", "12000".

#include <optional>
#include <string>
#include <vector>

#include "analysis/planetrows.h"

namespace vornex {

enum class PlanetColumnId {
    Id,
    Name,
    X,
    Y,
    Owner,
    ReportAge,
    Population,
    Value,
    Hab,
    HabTerra,
    Distance,
    NearOwn,
    NearOwnName,
    Source,
    Notes
};

struct PlanetColumn {
    PlanetColumnId id;
    const char* key;    // heading in the files and the report tool: "ReportAge"
    const char* title;  // heading in the window: "Report age"
    bool numeric;       // right-aligned, written without quotes, never taken for a formula
    bool highestFirst;  // the first sort by this column puts the highest figure first
    bool unknownUnseen; // no figure for a planet never reported (the window shows none)
    bool inWindow;      // a column of the window's table (NearOwnName is the tooltip of NearOwn there)
    const char* widest; // the widest text a cell can hold, for the window's column widths
    std::optional<long long> (*number)(const PlanetRow&); // numeric columns: the figure, if any
    std::string (*text)(const PlanetRow&);                // text columns
};

// Every column, in the window's order.
const std::vector<PlanetColumn>& planetColumns();
const PlanetColumn& planetColumn(PlanetColumnId id);

// The columns of the report tool and of a CSV file: the first ten, then Distance when there is a
// reference planet, then NearOwn and NearOwnName when asked for. Source and Notes are the window's
// only: the files keep the format scripts and other copies read, and notes stay private.
std::vector<const PlanetColumn*> fileColumns(bool withDistance, bool withNearOwn);

// Never reported: the report age is -1.
bool neverReported(const PlanetRow& row);

// The figure as the window shows and sorts it: empty for a planet never reported where the
// column says so.
std::optional<long long> shownNumber(const PlanetColumn& column, const PlanetRow& row);
// The cell as the window shows it: the figure's text, or the text; "" for an empty cell.
std::string shownText(const PlanetColumn& column, const PlanetRow& row);
// The cell as the files and the report tool write it.
std::string fileText(const PlanetColumn& column, const PlanetRow& row);
// The cell's tooltip in the window: the nearest world's name on NearOwn, otherwise "".
std::string cellTip(const PlanetColumn& column, const PlanetRow& row);

// Whether the window's cell is empty; empty cells sort last in either direction.
bool emptyCell(const PlanetColumn& column, const PlanetRow& row);
// Ascending order of two cells that are not empty: <0, 0 or >0. Texts compare with letter case
// ignored, then as they are.
int compareCells(const PlanetColumn& column, const PlanetRow& a, const PlanetRow& b);
// The order of rows whose cells tie: ratings put the planet nearer your worlds first (the colony
// list), other columns keep the map order. <0 when a goes first.
int breakTie(const PlanetColumn& column, const PlanetRow& a, const PlanetRow& b);
// Sorts by the column (stable; empty cells last, ties by breakTie), highest first when descending.
void sortPlanetRows(std::vector<PlanetRow>& rows, const PlanetColumn& column, bool descending);

// Which rows a table shows. Every condition left at its default lets every row through.
struct PlanetFilter {
    std::string nameContains;         // part of the name or of the note, letter case ignored
    std::optional<std::string> owner; // exactly this owner
    bool reportedOnly = false;
    // Colony targets: reported, uninhabited, HabTerra above 0.
    bool targetsOnly = false;
    std::optional<int> within; // NearOwn at most this
};
bool isColonyTarget(const PlanetRow& row);
bool acceptsRow(const PlanetFilter& filter, const PlanetRow& row);

} // namespace vornex
