// The number and text helpers: strict parsing, LeadingValue, UnitValue, FixNumberText, the field
// splitters and the number texts, with the round trips they promise.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "analysis/numbertext.h"
#include "base/numeric.h"
#include "fuzz_common.h"
#include "io/planetloader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vornex;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    if (auto v = num::parseStrict(text)) {
        // A strict number has a strict integer reading exactly when it rounds into range.
        if (auto i16 = num::parseInt16(text)) VORNEX_FUZZ_CHECK(std::fabs(*v - *i16) <= 0.5);
        if (auto i32 = num::parseInt32(text)) VORNEX_FUZZ_CHECK(std::fabs(*v - *i32) <= 0.5);
    } else {
        VORNEX_FUZZ_CHECK(!num::parseInt16(text));
        VORNEX_FUZZ_CHECK(!num::parseSingle(text));
    }
    {
        // A plain decimal reads as from_chars reads it, whichever way parseStrict takes.
        std::string_view body = text;
        const bool negative = !body.empty() && body[0] == '-';
        if (!body.empty() && (body[0] == '-' || body[0] == '+')) body.remove_prefix(1);
        double full = 0;
        const auto read = std::from_chars(body.data(), body.data() + body.size(), full, std::chars_format::fixed);
        if (!body.empty() && body.find_first_not_of("0123456789.") == std::string_view::npos &&
            read.ec == std::errc() && read.ptr == body.data() + body.size()) {
            const auto v = num::parseStrict(text);
            VORNEX_FUZZ_CHECK(v && *v == (negative ? -full : full));
        }
    }
    if (auto s = num::parseSingle(text)) {
        VORNEX_FUZZ_CHECK(std::isfinite(*s));
        // Seven digits cannot name every single, but the text a single is written with reads back
        // as a single that is written the same way.
        std::string written = num::singleText(*s);
        auto back = num::parseSingle(written);
        VORNEX_FUZZ_CHECK(back && num::singleText(*back) == written);
        (void)gravityKey(*s);
    }

    double lead = LeadingValue(text);
    (void)lead;
    for (int unit = 0; unit <= 3; ++unit)
        (void)UnitValue(text, unit);

    std::string fixed = FixNumberText(text);
    if (num::parseStrict(text)) VORNEX_FUZZ_CHECK(FixNumberText(fixed) == fixed);

    std::string line(text);
    (void)NameField(line);
    for (int i = 0; i < 40 && !line.empty(); ++i)
        (void)NextField(line);

    // Raw bytes as a double: the number texts never fault.
    if (size >= 8) {
        double d;
        std::memcpy(&d, data, sizeof d);
        (void)num::doubleText(d);
        (void)num::singleText(static_cast<float>(d));
        (void)num::roundHalfEven(d);
        (void)num::tryInt16(d);
        (void)num::tryInt32(d);
        if (!std::isfinite(static_cast<float>(d))) return 0;
        std::string written = num::singleText(static_cast<float>(d));
        auto back = num::parseSingle(written);
        VORNEX_FUZZ_CHECK(back && num::singleText(*back) == written);
    }
    return 0;
}
