#pragma once
#include "base/listtext.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// The sequential-file list format of the program's own files.
//
// Input: blanks before an item are skipped; an item that starts with a double quote runs to the
// next double quote and the quotes are dropped; any other item runs to the next comma or to the end
// of the line, blanks before them included; the comma that ends an item is consumed.
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
// so one vector can serve a whole file. Only the first `keep` items are kept; the number of all
// of them is returned.
size_t readListLine(std::string_view line, std::vector<ListItemView>& items, size_t keep = SIZE_MAX);

// An item of a whole file read with list input, where items are counted across lines: a line of
// blanks holds no item, any other line at least one.
struct FileItem {
    std::string_view text; // as readListLine gives it, a view into the file's text
    bool quoted = false;
    int64_t line = 0; // 1-based number of the line the item stands on
    // The bytes of the file the item takes: from just after the comma before it (or its line's
    // start) to the comma after it (or its line's end). A record that fills whole lines thus spans
    // exactly those lines.
    size_t rawBegin = 0, rawEnd = 0;
};

// All items of a file's text, in order; `items` is cleared first.
void readListItems(std::string_view text, std::vector<FileItem>& items);

// The same items handed to `take` one at a time, without a list of them all.
void readListItems(std::string_view text, const std::function<void(const FileItem&)>& take);

} // namespace vornex
