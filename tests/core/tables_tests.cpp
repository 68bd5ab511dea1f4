#include <gtest/gtest.h>

#include <optional>

#include "io/tables.h"
#include "support/scratchfolder.h"

using namespace vornex;

namespace {
const std::string kFixtures = std::string(VORNEX_TEST_DATA_DIR) + "win1252/";
const std::string kEmptySlot = "\"\",\"\",\"\",0,0,0,0,0,0,0,0,0,0\r\n";

bool mentions(const Diagnostics& diags, int64_t line, const std::string& part)
{
    for (const auto& d : diags)
        if (d.line == line && d.reason.find(part) != std::string::npos) return true;
    return false;
}
} // namespace

TEST(Gravities, LoadsKeysAsWrittenAndRejectsBadLines)
{
    test::ScratchFolder dir;
    dir.write("gravity.csv",
              "0.12,-50\r\n"
              "1,50\r\n"
              "\r\n"           // 3: a blank line holds no item
              "2.35,7,3,8\r\n" // 4: two records on one line
              "4,many\r\n"     // 5: clicks not a number
              "5,40000\r\n"    // 6: clicks beyond 16 bits
              "1,7\r\n"        // 7: duplicate key, the first stays
              " 0.5 , 2.5\r\n" // 8: blanks before an item skipped, after it kept; 2.5 rounds to 2
              "6,\r\n"         // 9: empty clicks
              "0.75\r\n80\r\n" // 10-11: a record over two lines
              "7\r\n"          // 12: a lone item at the end
              "\r\n\r\n");     // trailing blank lines are no records
    Diagnostics diags;
    Gravities g = LoadGravities(dir.folder(), diags);
    EXPECT_EQ(g.Count(), 6);
    auto clicks = [&](const char* key) -> std::optional<int> {
        auto row = g.Item(key);
        return row ? std::optional<int>(row->Clicks) : std::nullopt;
    };
    EXPECT_EQ(clicks("1"), 50);
    EXPECT_EQ(clicks("1.00"), std::nullopt);
    EXPECT_EQ(clicks("0.12"), -50);
    EXPECT_EQ(clicks("2.35"), 7);
    EXPECT_EQ(clicks("3"), 8);
    EXPECT_EQ(clicks("0.5 "), 2);
    EXPECT_EQ(clicks("0.75"), 80);
    ASSERT_EQ(diags.size(), 5u);
    EXPECT_TRUE(mentions(diags, 5, "many"));
    EXPECT_TRUE(mentions(diags, 6, "40000"));
    EXPECT_TRUE(mentions(diags, 7, "twice"));
    EXPECT_TRUE(mentions(diags, 9, "clicks \"\""));
    EXPECT_TRUE(mentions(diags, 12, "expected 2 items, found 1"));
    EXPECT_EQ(diags[0].file, dir.path("gravity.csv"));
}

TEST(Gravities, MissingOrEmptyFile)
{
    test::ScratchFolder dir;
    Diagnostics diags;
    EXPECT_EQ(LoadGravities(dir.folder(), diags).Count(), 0);
    EXPECT_EQ(diags.size(), 1u);
    dir.write("gravity.csv", "");
    diags.clear();
    EXPECT_EQ(LoadGravities(dir.folder(), diags).Count(), 0);
    EXPECT_TRUE(diags.empty());
}

TEST(Players, WindowsFileLoadsWithNamesIntactAndSavesToTheSameBytes)
{
    test::ScratchFolder dir;
    dir.copyFrom(kFixtures + "player.inf", "player.inf");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    ASSERT_EQ(players.Count(), 16);
    auto p2 = players.Item(2);
    EXPECT_EQ(p2->PlayerName, "Bjørn Halvorsen");
    EXPECT_EQ(p2->RaceName, "Ülvari");
    EXPECT_EQ(p2->HomeWorld, "Zürich");
    EXPECT_EQ(players.Item("ülvari"), p2);
    EXPECT_EQ(p2->Colour, 16776960);
    EXPECT_FLOAT_EQ(p2->GravMin, 0.12f);
    EXPECT_FLOAT_EQ(p2->GravMax, 0.66f);
    EXPECT_EQ(p2->TempMin, -200);
    EXPECT_EQ(p2->TempMax, -60);
    EXPECT_EQ(p2->RadMin, 40);
    EXPECT_EQ(p2->RadMax, 100);
    EXPECT_EQ(p2->GravTerra, 0);
    EXPECT_EQ(p2->TempTerra, 10);
    EXPECT_EQ(p2->RadTerra, 2);
    EXPECT_FLOAT_EQ(players.Item(3)->GravMin, 0.25f); // ".25" without a zero
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(players.Item(n)->Number, n);
    EXPECT_EQ(players.Item(4)->RaceName, "");

    // Saved: the three records in Windows-1252 (".25" now written "0.25") and thirteen empty slots.
    std::string expected = test::ScratchFolder::readPath(kFixtures + "player.inf");
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    std::string saved = dir.read("player.inf");
    EXPECT_EQ(saved.substr(0, saved.find("\r\n", saved.find("Duval"))),
              expected.substr(0, expected.find(".25")) + "0.25,8,-160,20,0,55,7,3,5");
    EXPECT_NE(saved.find("\"Bj\xF8rn Halvorsen\",\"\xDClvari\""), std::string::npos);
    // A file the program wrote loads and saves to the very same bytes.
    Players again = LoadPlayers(dir.folder(), diags);
    EXPECT_EQ(playersFileBytes(again), saved);
    EXPECT_EQ(dir.read("player.inf.bak"), expected);
}

TEST(Players, MissingOrEmptyFileGivesSixteenEmptySlots)
{
    test::ScratchFolder dir;
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    ASSERT_EQ(players.Count(), 16);
    EXPECT_EQ(players.Item(16)->Number, 16);
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += kEmptySlot;
    EXPECT_EQ(playersFileBytes(players), sixteen);
    // Saving creates the file; there was nothing to back up.
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    EXPECT_EQ(dir.read("player.inf"), sixteen);
    EXPECT_FALSE(std::filesystem::exists(dir.path("player.inf.bak")));
    dir.write("player.inf", "");
    EXPECT_EQ(LoadPlayers(dir.folder(), diags).Count(), 16);
    EXPECT_TRUE(diags.empty());
}

TEST(Players, RejectedRecordsKeepTheirSlotSoLaterNumbersDoNotShift)
{
    test::ScratchFolder dir;
    dir.write("player.inf",
              "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n"             // 1 fine
              "\"B\",\"Beta\",\"H\",red,1,2,0,0,0,0,0,0,0\r\n"              // 2 colour not a number
              "\"C\",\"Gamma\",\"H\",1,1,2,0,40000,0,0,0,0,0\r\n"           // 3 int16 overflow
              "\"E\",\"ALPHA\",\"H\",1,1,2,0,0,0,0,0,0,0\r\n"               // 4 race name taken
              "\"F\",\"\",\"H\",1,x,2,0,0,0,0,0,0,0\r\n"                    // 5 gravity not a number
              "\"G\",\"Gee\",\"Home, sweet\",-1,-.5,2.5,-1,1,2,3,4,5,6\r\n" // 6 fine
              "\"\",\"\",\"\",0,0,0,0,0,0,0,0,0,0\r\n");                    // 7 empty slot, fine
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    ASSERT_EQ(players.Count(), 16);
    EXPECT_EQ(diags.size(), 4u);
    EXPECT_TRUE(mentions(diags, 2, "colour"));
    EXPECT_TRUE(mentions(diags, 3, "40000"));
    EXPECT_TRUE(mentions(diags, 4, "already taken"));
    EXPECT_TRUE(mentions(diags, 5, "gravity"));
    for (int n : {2, 3, 4, 5}) {
        EXPECT_EQ(players.Item(n)->RaceName, "") << n;
        EXPECT_EQ(players.Item(n)->PlayerName, "") << n; // nothing of a rejected record arrives
        EXPECT_EQ(players.Item(n)->Number, n);
    }
    EXPECT_EQ(players.Item("alpha")->Number, 1);
    auto g = players.Item("Gee");
    EXPECT_EQ(g->Number, 6);
    EXPECT_EQ(g->HomeWorld, "Home, sweet");
    EXPECT_EQ(g->Colour, -1);
    EXPECT_FLOAT_EQ(g->GravMin, -0.5f);
    EXPECT_FLOAT_EQ(g->GravMax, 2.5f);
    EXPECT_EQ(g->RadTerra, 6);
    EXPECT_EQ(players.Item(7)->Number, 7);
    EXPECT_THROW(players.Item("Beta"), NotFoundError);
}

TEST(Players, RecordsAreCountedInItemsAcrossLines)
{
    // Items, not lines, make records: player n is the n-th run of thirteen items. A record may
    // share a line with another or run over two; blank lines hold no item. Rejected records go
    // back byte for byte, and the file reads back as the same players.
    const std::string split = "\"Bo\",\"Beta\",\"H\",2\r\n  1,2,0,0,0,0,0,0,0"; // 2, over two lines
    const std::string bad = "\"C\",\"Gamma\",\"H\xe9\",x,1,2,0,0,0,0,0,0,0";    // 3, rejected
    const std::string twoOnALine = "\"D\",\"Delta\",\"\",4,0,0,0,0,0,0,0,0,0,\"E\",\"Eps\",\"\",5,0,0,0,0,0,0,0,0,0";
    const std::string shortTail = "\"F\",\"Phi\",1"; // 3 items at the end
    test::ScratchFolder dir;
    dir.write("player.inf", "\"A\",\"Alpha\",\"H\",1,1,2,0,0,0,0,0,0,0\r\n" + split + "\r\n\r\n" + bad + "\r\n" +
                                twoOnALine + "\r\n" + shortTail + "\r\n");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    ASSERT_EQ(players.Count(), 16);
    EXPECT_EQ(players.Item("Beta")->Number, 2);
    EXPECT_EQ(players.Item("Beta")->Colour, 2);
    EXPECT_FLOAT_EQ(players.Item("Beta")->GravMax, 2.0f);
    EXPECT_EQ(players.Item(3)->RaceName, "");
    EXPECT_EQ(players.Item("Delta")->Number, 4);
    EXPECT_EQ(players.Item("Eps")->Number, 5);
    EXPECT_EQ(players.Item(6)->RaceName, ""); // the short tail takes no slot
    ASSERT_EQ(diags.size(), 2u);
    EXPECT_TRUE(mentions(diags, 5, "colour \"x\""));
    EXPECT_TRUE(mentions(diags, 7, "expected 13 items, found 3"));

    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    const std::string saved = dir.read("player.inf");
    EXPECT_NE(saved.find("\r\n" + bad + "\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.substr(saved.size() - shortTail.size() - 2), shortTail + "\r\n");
    EXPECT_NE(saved.find("\"E\",\"Eps\",\"\",5,0,0,0,0,0,0,0,0,0\r\n"), std::string::npos); // one record a line
    Diagnostics again;
    Players reloaded = LoadPlayers(dir.folder(), again);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(reloaded.Item(n)->Export(), players.Item(n)->Export()) << n;
    EXPECT_EQ(again.size(), 2u);
    EXPECT_EQ(playersFileBytes(reloaded), saved);
}

TEST(Players, FilesInAnotherEncodingOrWithoutOneReadableRecordAreLeftAsTheyAre)
{
    // UTF-16 with a byte order mark, UTF-16 without one, and text of which no record reads: one
    // note for the whole file, and saving neither replaces it nor moves it into the backup.
    auto utf16 = [](const std::string& ascii, bool mark) {
        std::string out = mark ? "\xFF\xFE" : "";
        for (char c : ascii)
            out += std::string{c, '\0'};
        return out;
    };
    const std::string record = "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n";
    for (const std::string& bytes :
         {utf16(record, true), utf16(record + record, false), std::string("Alpha was here\r\nand Beta\r\n")}) {
        test::ScratchFolder dir;
        dir.write("player.inf", bytes);
        dir.write("gravity.csv", bytes);
        Diagnostics diags;
        Players players = LoadPlayers(dir.folder(), diags);
        const bool isUtf16 = bytes[1] == '\0' || bytes[0] == '\xFF';
        ASSERT_EQ(diags.size(), 1u);
        if (isUtf16) {
            EXPECT_EQ(diags[0].line, 0);
            EXPECT_NE(diags[0].reason.find("player.inf is UTF-16 text; save it as Windows-1252"), std::string::npos);
            Diagnostics gravityDiags;
            EXPECT_EQ(LoadGravities(dir.folder(), gravityDiags).Count(), 0);
            ASSERT_EQ(gravityDiags.size(), 1u);
            EXPECT_NE(gravityDiags[0].reason.find("gravity.csv is UTF-16 text"), std::string::npos);
        }
        players.Item(1)->PlayerName = "edited";
        const WriteResult r = SavePlayers(dir.folder(), players);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("left as it is"), std::string::npos) << r.error;
        EXPECT_EQ(dir.read("player.inf"), bytes);
        EXPECT_FALSE(std::filesystem::exists(dir.path("player.inf.bak")));
    }

    // A name with no Windows-1252 form is not written at all (the file keeps its encoding and its
    // contents); a file with a byte order mark still reads, and is written back in Windows-1252.
    test::ScratchFolder dir;
    dir.write("player.inf", "\xEF\xBB\xBF\"Bj\xC3\xB8rn\",\"\xC3\x9Clvari\",\"\",1,1,2,0,0,0,0,0,0,0\r\n");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(players.Item("ülvari")->PlayerName, "Bjørn");
    players.Item(2)->PlayerName = "Ωmega";
    const std::string before = dir.read("player.inf");
    const WriteResult r = SavePlayers(dir.folder(), players);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("U+03A9"), std::string::npos) << r.error;
    EXPECT_EQ(dir.read("player.inf"), before);
    players.Item(2)->PlayerName = "Omega";
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    EXPECT_EQ(dir.read("player.inf").substr(0, 22), "\"Bj\xF8rn\",\"\xDClvari\",\"\",1,");
}

TEST(Players, SavingNeverLosesARecordTheLoaderCouldNotTake)
{
    test::ScratchFolder dir;
    const std::string unreadable = "\"B\",\"Beta\",\"Home\",red,1,2,0,0,0,0,0,0,0";
    const std::string overflow = "\"C\",\"Gamma\",\"H\xe9\",1,1,2,0,40000,0,0,0,0,0"; // Windows-1252 é
    dir.write("player.inf",
              "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n" + unreadable + "\r\n\r\n" + overflow + "\r\n");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    players.Item(3)->PlayerName = "Dee"; // the user fills in the slot of the rejected record 3
    // Saved twice: the backup of the second save must not be the only place the records survive.
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    const std::string file = dir.read("player.inf");
    EXPECT_NE(file.find("\r\n" + unreadable + "\r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find(overflow), std::string::npos) << "a slot filled in since is saved as it is now";
    EXPECT_NE(file.find("\"Dee\",\"\",\"\",0,"), std::string::npos) << file;
    // The kept record is rejected again at the next load, in the same place.
    Diagnostics again;
    Players reloaded = LoadPlayers(dir.folder(), again);
    EXPECT_TRUE(mentions(again, 2, "colour"));
    EXPECT_EQ(reloaded.Item(3)->PlayerName, "Dee");

    // A trailing comma starts the next record with an empty item on the line before it; the kept
    // record must carry that item back, or every player after it would shift by one item.
    dir.write("player.inf", "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0,\r\n"
                            "\"Bob\",\"Beta\",\"H\",red,1,2,0,0,0,0,0,0\r\n"
                            "\"Carol\",\"Gamma\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n");
    Diagnostics first;
    const Players loaded = LoadPlayers(dir.folder(), first);
    ASSERT_TRUE(mentions(first, 1, "colour"));
    ASSERT_EQ(loaded.Item(3)->PlayerName, "Carol");
    ASSERT_TRUE(SavePlayers(dir.folder(), loaded).ok);
    Diagnostics second;
    const Players back = LoadPlayers(dir.folder(), second);
    for (int64_t n = 1; n <= 3; ++n)
        EXPECT_EQ(back.Item(n)->Export(), loaded.Item(n)->Export()) << "player " << n;
    EXPECT_EQ(second.size(), first.size());
}

TEST(Players, AnUnreadableFileIsNeverSavedOver)
{
    test::ScratchFolder dir;
    std::filesystem::create_directory(dir.path("player.inf")); // exists, but cannot be read as a file
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    EXPECT_EQ(players.Count(), 16);
    ASSERT_EQ(diags.size(), 1u);
    const WriteResult r = SavePlayers(dir.folder(), players);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("left as it is"), std::string::npos) << r.error;
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("player.inf")));

    // A link whose target is gone is no missing file: the link stays.
    test::ScratchFolder linked;
    std::error_code linkError;
    std::filesystem::create_symlink(linked.path("gone.inf"), linked.path("player.inf"), linkError);
    if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
    Diagnostics linkDiags;
    EXPECT_FALSE(SavePlayers(linked.folder(), LoadPlayers(linked.folder(), linkDiags)).ok);
    EXPECT_EQ(linkDiags.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(linked.path("player.inf")));
    EXPECT_FALSE(std::filesystem::exists(linked.path("gone.inf")));
}

TEST(Players, MoreThanSixteenRecordsAreKept)
{
    test::ScratchFolder dir;
    std::string text;
    for (int i = 1; i <= 18; ++i)
        text += "\"P\",\"R" + std::to_string(i) + "\",\"H\",0,0,0,0,0,0,0,0,0,0\r\n";
    dir.write("player.inf", text);
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    EXPECT_EQ(players.Count(), 18);
    EXPECT_EQ(players.Item("r18")->Number, 18);
}

TEST(Players, SaveReplacesAtomicallyAndKeepsTheOldFile)
{
    test::ScratchFolder dir;
    dir.write("player.inf", "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    players.Item(1)->RaceName = "Alpha Prime";
    players.Item(2)->PlayerName = "Œdipe";
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    EXPECT_EQ(dir.read("player.inf.bak"), "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n");
    Players again = LoadPlayers(dir.folder(), diags);
    EXPECT_TRUE(diags.empty());
    EXPECT_EQ(again.Item("alpha prime")->Number, 1);
    EXPECT_EQ(again.Item(2)->PlayerName, "Œdipe");
    EXPECT_NE(dir.read("player.inf")
                  .find("\r\n\"\x8C"
                        "dipe\","),
              std::string::npos); // Windows-1252

    // A failing write reports why and leaves the file as it was.
    std::string before = dir.read("player.inf");
    std::filesystem::remove(dir.path("player.inf.bak"));
    std::filesystem::create_directory(dir.path("player.inf.bak"));
    auto r = SavePlayers(dir.folder(), players);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(dir.read("player.inf"), before);
}

TEST(Players, RecordsKeptFromAUtf8FileGoBackInWindows1252OrTheFileStays)
{
    // A record the loader cannot take, in a UTF-8 file: "é" has a Windows-1252 form and is written
    // back in it; "€" too; U+FEFF has none, so saving would change the record and the file stays.
    const std::string good = "\xEF\xBB\xBF\"P\",\"Caf\xC3\xA9 \xE2\x82\xAC\",\"H\",x,0,0,0,0,0,0,0,0,0\r\n";
    test::ScratchFolder dir;
    dir.write("player.inf", good + "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n");
    Diagnostics diags;
    Players players = LoadPlayers(dir.folder(), diags);
    ASSERT_TRUE(SavePlayers(dir.folder(), players).ok);
    EXPECT_EQ(dir.read("player.inf").rfind("\"P\",\"Caf\xE9 \x80\",\"H\",x,0,0,0,0,0,0,0,0,0\r\n\"A\"", 0), 0u);

    const std::string odd = "\xEF\xBB\xBF\xEF\xBB\xBF\"P\",\"R\",\"H\",x,0,0,0,0,0,0,0,0,0\r\n"
                            "\"A\",\"Alpha\",\"H\",255,1,2,0,0,0,0,0,0,0\r\n";
    dir.write("player.inf", odd);
    Players again = LoadPlayers(dir.folder(), diags);
    const WriteResult r = SavePlayers(dir.folder(), again);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Windows-1252 lacks"), std::string::npos) << r.error;
    EXPECT_EQ(dir.read("player.inf"), odd);
}
