#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// The sequential-file list format of the program's own files.
//
// Input: blanks before an item are skipped; an item that starts with a double quote runs to the
// next double quote and the quotes are dropped; any other item runs to the next comma or to the end
// of the line (trailing blanks dropped); the comma that ends an item is consumed.
// Output: items separated by single commas, texts in double quotes, numbers in plain decimal with a
// full stop, lines ended by CR LF.

struct ListItem {
    std::string text;
    bool quoted = false;
};

// All items of one line (without its line end). An empty line gives no items.
std::vector<ListItem> readListLine(std::string_view line);

// An item as readListLine reads it, its text a view into the line.
struct ListItemView {
    std::string_view text;
    bool quoted = false;
};

// The items of readListLine(line), without copying their texts: `items` is cleared and refilled,
// so one vector can serve a whole file.
void readListLine(std::string_view line, std::vector<ListItemView>& items);

// A text item as written: in double quotes, with a double quote inside turned into an apostrophe
// and CR/LF into blanks (list format cannot carry them).
std::string listText(std::string_view text);

// True when the text can be written as a list item unchanged (no double quote, no CR or LF).
bool listTextIsExact(std::string_view text);

}  // namespace vornex
