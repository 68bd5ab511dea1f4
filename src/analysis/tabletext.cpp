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

std::string writeJson(const std::vector<PlanetRow>& rows, const std::vector<const PlanetColumn*>& columns)
{
    std::string out = "[";
    for (size_t i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "\n  {" : ",\n  {";
        for (size_t k = 0; k < columns.size(); ++k) {
            const std::string cell = fileText(*columns[k], rows[i]);
            if (k) out += ", ";
            out += jsonString(columns[k]->key) + ": ";
            if (!columns[k]->numeric)
                out += jsonString(cell);
            else
                out += cell.empty() ? "null" : cell;
        }
        out += "}";
    }
    out += rows.empty() ? "]\n" : "\n]\n";
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

std::string writePlanetTable(const std::vector<PlanetRow>& rows, const std::vector<const PlanetColumn*>& columns,
                             TableFormat format)
{
    if (format == TableFormat::Json) return writeJson(rows, columns);
    const bool csv = format == TableFormat::Csv;
    const char sep = csv ? ',' : '\t';
    // CSV ends lines with CR LF as spreadsheets expect; TSV is for pipes and uses LF.
    const char* eol = csv ? "\r\n" : "\n";
    std::string out = csv ? kUtf8ByteOrderMark : "";
    auto cell = [&](const std::string& text, bool numeric) { out += csv ? csvCell(text, numeric) : tsvCell(text); };
    for (size_t k = 0; k < columns.size(); ++k) {
        if (k) out += sep;
        cell(columns[k]->key, false);
    }
    out += eol;
    for (const PlanetRow& row : rows) {
        for (size_t k = 0; k < columns.size(); ++k) {
            if (k) out += sep;
            cell(fileText(*columns[k], row), columns[k]->numeric);
        }
        out += eol;
    }
    return out;
}

} // namespace vornex
