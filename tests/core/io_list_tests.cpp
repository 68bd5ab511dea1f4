#include <gtest/gtest.h>

#include <filesystem>

#include "io/codepage.h"
#include "io/diagnostics.h"
#include "io/fileexists.h"
#include "io/listformat.h"
#include "io/textfile.h"
#include "support/scratchfolder.h"

using namespace vornex;

namespace {
std::vector<std::string> texts(std::string_view line)
{
    std::vector<std::string> out;
    for (auto& i : readListLine(line))
        out.push_back(i.text);
    return out;
}
} // namespace

TEST(ListInput, ItemsQuotedAndUnquoted)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(texts(R"("Aurelia Voss","Vornexi",49152,0.5)"), (V{"Aurelia Voss", "Vornexi", "49152", "0.5"}));
    // A comma inside quotes; blanks before an item are skipped, an unquoted item keeps those after it.
    EXPECT_EQ(texts(R"(  "a, b" , 12 ,  x y  )"), (V{"a, b", "12 ", "x y  "}));
    EXPECT_EQ(texts("a,"), (V{"a", ""})); // a trailing comma ends an item
    EXPECT_EQ(texts(R"("",,"")"), (V{"", "", ""}));
    EXPECT_EQ(texts(R"("unterminated, text)"), (V{"unterminated, text"}));
    EXPECT_EQ(texts(R"("a"junk,b)"), (V{"a", "b"})); // text after a closing quote belongs to no item
    EXPECT_TRUE(readListLine("").empty());
    EXPECT_TRUE(readListLine("   ").empty());
    auto items = readListLine(R"("5",5)");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0].quoted);
    EXPECT_FALSE(items[1].quoted);
}

TEST(ListOutput, TextsThatListFormatCannotCarryAreReplacedSoTheyReadBackAsOneItem)
{
    EXPECT_EQ(listText("plain"), "\"plain\"");
    EXPECT_EQ(listText("say \"hi\""), "\"say 'hi'\"");
    EXPECT_EQ(listText("two\r\nlines\n"), "\"two  lines \"");
    EXPECT_TRUE(listTextIsExact("a, b é"));
    EXPECT_FALSE(listTextIsExact("a\"b"));
    EXPECT_FALSE(listTextIsExact("a\nb"));
    for (std::string t : {"a,b", "\"", "x\"y,\"z", " lead", "trail ", "\r", ""}) {
        auto items = readListLine(listText(t) + "," + listText(t));
        ASSERT_EQ(items.size(), 2u) << t;
        EXPECT_EQ(items[0].text, items[1].text);
        EXPECT_TRUE(listTextIsExact(items[0].text));
        EXPECT_EQ(items[0].text.size(), t.size());
    }
}

TEST(CodePage, EveryWindows1252ByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    bool lossless = false;
    EXPECT_EQ(encodeWindows1252(decodeFileText(all), &lossless), all);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(encodeForFile(decodeFileText(all)), all);
}

TEST(CodePage, KnownCharacters)
{
    EXPECT_EQ(decodeFileText("-120\xB0"
                             "C"),
              "-120°C");
    EXPECT_EQ(decodeFileText("\x80\x8C\x9C\x8A\x9F\xE9\xFC"), "€ŒœŠŸéü");
    EXPECT_EQ(encodeWindows1252("€Œ…é"), "\x80\x8C\x85\xE9");
    bool lossless = true;
    EXPECT_EQ(encodeWindows1252("a→b", &lossless), "a?b");
    EXPECT_FALSE(lossless);
}

TEST(CodePage, Utf8WithByteOrderMark)
{
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBFZ\xC3\xBCrich \xE2\x86\x92"), "Zürich →");
    // Broken sequences become the replacement character instead of passing through.
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF"
                             "a\xC3"
                             "b\xFF"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF"
                             "\xED\xA0\x80"),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"); // surrogate
    // Over-long forms are no characters: read as "/", a tab or a comma they would split items.
    const std::string_view replaced = "\xEF\xBF\xBD";
    const struct {
        std::string_view bytes;
        int replacements;
    } overlong[] = {{"\xE0\x80\xAF", 3}, {"\xC0\xAF", 2},         {"\xE0\x80\x89", 3},
                    {"\xC1\x8C", 2},     {"\xF0\x80\x80\xAC", 4}, {"\xE0\x9F\xBF", 3}};
    for (const auto& c : overlong) {
        std::string expected;
        for (int k = 0; k < c.replacements; ++k)
            expected += replaced;
        EXPECT_EQ(decodeFileText("\xEF\xBB\xBF" + std::string(c.bytes)), expected) << testing::PrintToString(c.bytes);
    }
    // Files are written in Windows-1252 or not at all: a text it cannot carry is refused, by name.
    std::string why;
    EXPECT_EQ(encodeForFile("\"Café\",\"x\"\r\n\"Ωmega\",\"é\"\r\n", &why), std::nullopt);
    EXPECT_NE(why.find("U+03A9 in \"Ωmega\",\"é\" has no Windows-1252 form"), std::string::npos) << why;
    EXPECT_EQ(encodeForFile("Café"), "Caf\xE9");
}

TEST(TextFile, SplitLinesAtEveryKindOfLineEnd)
{
    using V = std::vector<std::string_view>;
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(splitLines("\n"), (V{""}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines("a\r"), (V{"a"}));
}

TEST(TextFile, ReadReportsMissingFilesAndFolders)
{
    test::ScratchFolder dir;
    std::string error;
    EXPECT_FALSE(readFileBytes(dir.path("none"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readFileBytes(dir.path(""), &error));
    dir.write("f", std::string("a\0b\r\n", 5));
    auto bytes = readFileBytes(dir.path("f"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::string("a\0b\r\n", 5));
}

TEST(TextFile, AtomicWriteReplacesAndKeepsBackup)
{
    test::ScratchFolder dir;
    auto target = dir.path("player.inf");
    auto r = writeFileAtomically(target, "first");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dir.read("player.inf"), "first");
    EXPECT_FALSE(FileExists(target + ".bak")); // nothing to keep the first time
    r = writeFileAtomically(target, "second", true);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dir.read("player.inf"), "second");
    EXPECT_EQ(dir.read("player.inf.bak"), "first");
    // No temporary files are left behind.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.folder()))
        ++files;
    EXPECT_EQ(files, 2);
}

TEST(TextFile, FailedWriteLeavesTargetUntouched)
{
    test::ScratchFolder dir;
    EXPECT_FALSE(writeFileAtomically(dir.path("missing/player.inf"), "x").ok);
    // The backup cannot be written (a folder stands in its way): the target keeps its old bytes.
    dir.write("player.inf", "old");
    std::filesystem::create_directory(dir.path("player.inf.bak"));
    auto r = writeFileAtomically(dir.path("player.inf"), "new", true);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(dir.read("player.inf"), "old");
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.folder()))
        ++files;
    EXPECT_EQ(files, 2); // no temporary file left
    // A folder as target is refused.
    std::filesystem::create_directory(dir.path("sub"));
    EXPECT_FALSE(writeFileAtomically(dir.path("sub"), "x").ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("sub")));
}

TEST(FileExistsProbe, OnlyRegularFiles)
{
    test::ScratchFolder dir;
    dir.write("gravity.csv", "1,0\r\n");
    EXPECT_TRUE(FileExists(dir.path("gravity.csv")));
    EXPECT_FALSE(FileExists(dir.path("nothing.csv")));
    EXPECT_FALSE(FileExists(dir.folder()));
    EXPECT_FALSE(FileExists(dir.path("no/such/gravity.csv")));
    EXPECT_FALSE(FileExists(""));
    std::error_code ec;
    std::filesystem::create_symlink(dir.path("gravity.csv"), dir.path("link.csv"), ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    std::filesystem::create_symlink(dir.path("gone.csv"), dir.path("dangling.csv"));
    EXPECT_TRUE(FileExists(dir.path("link.csv")));
    EXPECT_FALSE(FileExists(dir.path("dangling.csv")));
}

TEST(Diagnostics, Text)
{
    EXPECT_EQ((Diagnostic{"/g/game.map", 7, "empty line"}.text()), "/g/game.map:7: empty line");
    EXPECT_EQ((Diagnostic{"/g/game.p1", 0, "file not found"}.text()), "/g/game.p1: file not found");
}
