#include "analysis/tabletext.h"

#include <algorithm>

namespace vornex {

namespace {

std::string tsvCell(std::string s)
{
    std::replace_if(
        s.begin(), s.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
    return s;
}

std::string jsonString(const std::string& s)
{
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char ch : s) {
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (ch < 0x20) {
                out += "\\u00";
                out += hex[ch >> 4];
                out += hex[ch & 15];
            } else {
                out += static_cast<char>(ch);
            }
        }
    }
    return out + "\"";
}

bool startsFormula(const std::string& s)
{
    return !s.empty() && std::string_view("=+-@\t\r").find(s.front()) != std::string_view::npos;
}

std::string writeJson(const std::vector<std::string>& headings, const std::vector<bool>& numeric,
                      const std::vector<std::vector<std::string>>& cells)
{
    std::string out = "[";
    for (size_t i = 0; i < cells.size(); ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        for (size_t k = 0; k < headings.size(); ++k) {
            const std::string& cell = cells[i][k];
            if (k) out += ", ";
            out += jsonString(headings[k]) + ": ";
            if (!numeric[k])
                out += jsonString(cell);
            else
                out += cell.empty() ? "null" : cell;
        }
        out += "}";
    }
    out += cells.empty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace

std::string csvCell(const std::string& s, bool numeric)
{
    const bool formula = !numeric && startsFormula(s);
    const bool quote = formula || s.find_first_of(",\"\r\n") != std::string::npos ||
                       (!s.empty() && (s.front() == ' ' || s.back() == ' '));
    if (!quote) return s;
    std::string out = formula ? "\"'" : "\"";
    for (char ch : s) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

std::string writeTable(const std::vector<std::string>& headings, const std::vector<bool>& numeric,
                       const std::vector<std::vector<std::string>>& cells, TableFormat format)
{
    if (format == TableFormat::Json) return writeJson(headings, numeric, cells);
    const bool csv = format == TableFormat::Csv;
    const char sep = csv ? ',' : '\t';
    // CSV ends lines with CR LF as spreadsheets expect; TSV is for pipes and uses LF.
    const char* eol = csv ? "\r\n" : "\n";
    std::string out = csv ? kUtf8ByteOrderMark : "";
    auto line = [&](const std::vector<std::string>& row, bool heading) {
        for (size_t k = 0; k < row.size(); ++k) {
            if (k) out += sep;
            out += csv ? csvCell(row[k], !heading && numeric[k]) : tsvCell(row[k]);
        }
        out += eol;
    };
    line(headings, true);
    for (const auto& row : cells)
        line(row, false);
    return out;
}

std::string writePlanetTable(const std::vector<PlanetRow>& rows, const std::vector<const PlanetColumn*>& columns,
                             TableFormat format)
{
    std::vector<std::string> headings;
    std::vector<bool> numeric;
    for (const PlanetColumn* c : columns) {
        headings.emplace_back(c->key);
        numeric.push_back(c->numeric);
    }
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    for (const PlanetRow& row : rows) {
        std::vector<std::string>& line = cells.emplace_back();
        line.reserve(columns.size());
        for (const PlanetColumn* c : columns)
            line.push_back(fileText(*c, row));
    }
    return writeTable(headings, numeric, cells, format);
}

} // namespace vornex
