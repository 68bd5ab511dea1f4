#include "io/listformat.h"

namespace vornex {

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

void readListLine(std::string_view line, std::vector<ListItemView>& items)
{
    items.clear();
    size_t i = 0;
    const size_t n = line.size();
    {
        size_t k = 0;
        while (k < n && isBlank(line[k]))
            ++k;
        if (k == n) return; // an empty (or blank) line holds no items
    }
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        ListItemView item;
        if (i < n && line[i] == '"') {
            item.quoted = true;
            size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                item.text = line.substr(i + 1);
                i = n;
            } else {
                item.text = line.substr(i + 1, close - i - 1);
                i = close + 1;
            }
            // Whatever stands between the closing quote and the next comma is not part of any item.
            size_t comma = line.find(',', i);
            items.push_back(item);
            if (comma == std::string_view::npos) break;
            i = comma + 1;
        } else {
            size_t comma = line.find(',', i);
            size_t end = comma == std::string_view::npos ? n : comma;
            size_t e = end;
            while (e > i && isBlank(line[e - 1]))
                --e;
            item.text = line.substr(i, e - i);
            items.push_back(item);
            if (comma == std::string_view::npos) break;
            i = comma + 1;
        }
    }
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
