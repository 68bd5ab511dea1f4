#include <gtest/gtest.h>

#include "io/codepage.h"
#include "io/exportfile.h"
#include "io/planetloader.h"
#include "support/scratchfolder.h"

using namespace vornex;

namespace {
// Owners in map order: A Vornexi, B Uninhabited (reported), C Kethari, D Uninhabited (never
// reported), E Vornexi, F Outsider.
Map sampleMap()
{
    Map m;
    auto add = [&](const char* name, const char* owner, int16_t age) {
        auto p = m.Add(name);
        p->PlanetName = name;
        p->Owner = owner;
        p->ReportAge = age;
        p->Grav = "1.5";
        p->Temp = "-20";
        p->Rad = "40";
    };
    add("A", "Vornexi", 0);
    add("B", "Uninhabited", 2);
    add("C", "Kethari", 1);
    add("D", "Uninhabited", -1);
    add("E", "Vornexi", 3);
    add("F", "Outsider", 0);
    return m;
}

ExportSelection selection()
{
    ExportSelection s;
    s.captions[0] = "Vornexi";
    s.captions[1] = "Kethari";
    s.captions[2] = "vornexi"; // comparisons are exact: this caption owns nothing
    s.uninhabited = false;
    return s;
}

std::string names(const std::string& text)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        out += text.substr(start + 1, text.find('"', start + 1) - start - 1);
        start = end + 2;
    }
    return out;
}
} // namespace

TEST(ExportText, RacePassThenReportedUninhabited)
{
    Map m = sampleMap();
    ExportSelection s = selection();
    int count = -1;
    EXPECT_EQ(exportText(m, s, &count), "");
    EXPECT_EQ(count, 0);

    s.uninhabited = true;
    EXPECT_EQ(names(exportText(m, s, &count)), "B"); // D was never reported
    s.checked[0] = true;
    s.checked[1] = true;
    s.checked[2] = true;
    EXPECT_EQ(names(exportText(m, s, &count)), "ACEB");
    EXPECT_EQ(count, 4);
    s.captions[5] = "Vornexi"; // a race on two checked boxes is written twice
    s.checked[5] = true;
    EXPECT_EQ(names(exportText(m, s, &count)), "AACEEB");
    s.checked[5] = false;
    s.checked[0] = false;
    s.uninhabited = false;
    EXPECT_EQ(exportText(m, s), m.Item("C")->Export());
}

TEST(ExportFile, WrittenInWindows1252ReadBackAndOverwritten)
{
    test::ScratchFolder dir;
    Map m = sampleMap();
    m.Item("A")->PlanetName = "Café, \"Noir\"";
    ExportSelection s = selection();
    s.checked[0] = true;
    int count = 0;
    auto r = WriteExportFile(dir.folder() + "export.p3", m, s, &count);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(count, 2);
    std::string bytes = dir.read("export.p3");
    EXPECT_EQ(bytes.substr(0, 18), "\"Caf\xE9, 'Noir'\",\"Vo");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    // Read back by the merge, the comma inside the name stays inside it.
    Map target;
    for (const char* n : {"Café, 'Noir'", "E"}) {
        auto p = target.Add(n);
        p->ReportAge = -1;
    }
    Diagnostics diags;
    MergeExportFile(target, decodeFileText(bytes), "export.p3", diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(target.Item(1)->Owner, "Vornexi");
    EXPECT_EQ(target.Item(1)->ReportAge, 0);
    EXPECT_EQ(target.Item(2)->ReportAge, 3);
    EXPECT_EQ(target.Item(2)->Temp, "-20");

    // Other copies read Windows-1252: a name it cannot carry fails the write and keeps the file.
    m.Item("A")->PlanetName = "Ωmega";
    r = WriteExportFile(dir.folder() + "export.p3", m, s);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("U+03A9"), std::string::npos) << r.error;
    EXPECT_EQ(dir.read("export.p3"), bytes);

    s.checked[0] = false;
    ASSERT_TRUE(WriteExportFile(dir.folder() + "export.p3", m, s).ok);
    EXPECT_EQ(dir.read("export.p3"), ""); // overwritten, not appended
}
