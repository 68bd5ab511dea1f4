// List input: any line reads without fault, and a text written with listText reads back as one
// item (sanitised where list format cannot carry a character).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "io/listformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const ListItem& item : readListLine(bytes))
        (void)item.text.size();

    std::string written = listText(bytes);
    auto items = readListLine(written);
    VORNEX_FUZZ_CHECK(items.size() == 1);
    VORNEX_FUZZ_CHECK(items[0].quoted);
    VORNEX_FUZZ_CHECK(listTextIsExact(items[0].text));
    if (listTextIsExact(bytes)) VORNEX_FUZZ_CHECK(items[0].text == bytes);
    return 0;
}
