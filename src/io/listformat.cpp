#include "io/listformat.h"

#include "base/fieldscan.h"
#include "io/textfile.h"

namespace vornex {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The items of one line, handed to take(text, quoted, rawBegin, rawEnd) in order; rawBegin and
// rawEnd are offsets into the line: from just after the comma before the item (or the line start)
// to the comma after it (or the line end).
template <typename Take> inline void forEachItem(std::string_view line, Take&& take)
{
    const char* const p = line.data();
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && isBlank(p[i]))
        ++i;
    if (i == n) return; // an empty (or blank) line holds no items
    size_t rawBegin = 0;
    // Items are a few bytes long: their ends are found inline, not by a library search call each.
    while (true) {
        while (i < n && isBlank(p[i]))
            ++i;
        if (i < n && p[i] == '"') {
            const size_t close = scan::findByte(p, i + 1, n, '"');
            const std::string_view text(p + i + 1, close - i - 1);
            i = close < n ? close + 1 : n;
            // Whatever stands between the closing quote and the next comma is not part of any item.
            i = scan::findByte(p, i, n, ',');
            take(text, true, rawBegin, i);
        } else {
            // The item runs to the comma or the line end, blanks before either included.
            const size_t end = scan::findByte(p, i, n, ',');
            take(std::string_view(p + i, end - i), false, rawBegin, end);
            i = end;
        }
        if (i == n) break;
        rawBegin = ++i;
    }
}

} // namespace

size_t readListLine(std::string_view line, std::vector<ListItemView>& items, size_t keep)
{
    items.clear();
    size_t count = 0;
    forEachItem(line, [&](std::string_view text, bool quoted, size_t, size_t) {
        if (count++ < keep) items.push_back(ListItemView{text, quoted});
    });
    return count;
}

void readListItems(std::string_view text, const std::function<void(const FileItem&)>& take)
{
    LineReader lines(text);
    std::string_view line;
    for (int64_t lineNo = 1; lines.next(line); ++lineNo) {
        const auto lineStart = static_cast<size_t>(line.data() - text.data());
        forEachItem(line, [&](std::string_view t, bool quoted, size_t b, size_t e) {
            take(FileItem{t, quoted, lineNo, lineStart + b, lineStart + e});
        });
    }
}

void readListItems(std::string_view text, std::vector<FileItem>& items)
{
    items.clear();
    readListItems(text, [&](const FileItem& item) { items.push_back(item); });
}

std::vector<ListItem> readListLine(std::string_view line)
{
    std::vector<ListItemView> views;
    readListLine(line, views);
    std::vector<ListItem> items;
    items.reserve(views.size());
    for (const ListItemView& v : views)
        items.push_back(ListItem{std::string(v.text), v.quoted});
    return items;
}

} // namespace vornex
