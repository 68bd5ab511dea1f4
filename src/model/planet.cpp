#include "model/planet.h"

#include "base/listtext.h"
#include "base/numeric.h"

namespace vornex {

std::string Planet::SourceText() const
{
    switch (Source) {
    case From::Report:
        return "report";
    case From::Export:
        return "export.p" + num::intText(SourceExport);
    case From::Map:
        break;
    }
    return "map";
}

std::string Planet::Export() const
{
    std::string line;
    line.reserve(96);
    line += listText(PlanetName);
    line += ',';
    line += listText(Owner);
    line += ',';
    line += num::intText(ReportAge);
    line += ',';
    line += num::intText(Population);
    line += ',';
    line += num::intText(Value);
    line += ',';
    line += num::intText(Def);
    line += ',';
    line += listText(StarbaseType);
    line += ',';
    line += listText(Grav);
    line += ',';
    line += listText(Temp);
    line += ',';
    line += listText(Rad);
    line += "\r\n";
    return line;
}

} // namespace vornex
