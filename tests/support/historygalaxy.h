#pragma once
// Galaxies for the history tests: planets in memory whose reports age, change hands and grow from
// one turn to the next as a real game's would.

#include <string>

#include "model/collections.h"

namespace vornex::test {

// n planets "P1" .. "Pn" with IDs 1 .. n; every third one never reported, the others reported
// `age` years ago, owned by "Kethari" (odd IDs) or nobody.
inline Map historyGalaxy(int n, int16_t age = 2)
{
    Map m;
    for (int i = 1; i <= n; ++i) {
        auto p = m.Add("P" + std::to_string(i));
        p->ID = static_cast<int16_t>(i);
        p->PlanetName = "P" + std::to_string(i);
        p->Xcord = static_cast<int16_t>(i * 10);
        p->Ycord = static_cast<int16_t>(i * 7);
        if (i % 3 == 0) {
            p->ReportAge = -1;
            continue;
        }
        p->ReportAge = age;
        p->Source = Planet::From::Report;
        p->Owner = i % 2 ? "Kethari" : "Uninhabited";
        p->Population = i % 2 ? 10000 * i : 0;
        p->Def = 20;
        p->Grav = "1.5";
        p->Temp = "-20";
        p->Rad = "45";
    }
    return m;
}

// One year later: every report one year older.
inline void ageReports(Map& m, int16_t years = 1)
{
    for (const auto& p : m)
        if (p->ReportAge >= 0) p->ReportAge = static_cast<int16_t>(p->ReportAge + years);
}

} // namespace vornex::test
