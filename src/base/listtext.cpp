#include "base/listtext.h"

namespace vornex {

std::string listText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '\'';
        else if (c == '\r' || c == '\n')
            out += ' ';
        else
            out += c;
    }
    out += '"';
    return out;
}

bool listTextIsExact(std::string_view text)
{
    return text.find_first_of("\"\r\n") == std::string_view::npos;
}

} // namespace vornex
