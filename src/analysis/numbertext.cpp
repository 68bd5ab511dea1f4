#include "analysis/numbertext.h"

#include <cmath>

#include "base/numeric.h"

namespace vornex {

float MaxSingle(float a, float b)
{
    return a > b ? a : b;
}

float MinSingle(float a, float b)
{
    if (std::isnan(a) || std::isnan(b)) return a;
    return a < b ? a : b;
}

std::string FixNumberText(std::string_view text)
{
    auto v = num::parseStrict(text);
    if (!v) return std::string(text);
    // The basic number form: a blank before non-negative numbers, no zero before the point of a
    // fraction, fifteen significant digits at most.
    std::string body = num::doubleText(std::fabs(*v));
    if (body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
    std::string s = (*v < 0 ? "-" : " ") + body;
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    if (!s.empty() && s[0] == '.') s = "0" + s;
    return s;
}

std::string gravityKey(float gravity)
{
    return FixNumberText(num::singleText(gravity));
}

} // namespace vornex
