#pragma once
#include <string>
#include <string_view>

namespace vornex {

// Writing texts as items of the program's list format (see io/listformat.h for the whole format).
// The records write their own lines with these, so they sit below both records and readers.

// A text item as written: in double quotes, with a double quote inside turned into an apostrophe
// and CR/LF into blanks (list format cannot carry them).
std::string listText(std::string_view text);

// True when the text can be written as a list item unchanged (no double quote, no CR or LF).
bool listTextIsExact(std::string_view text);

} // namespace vornex
