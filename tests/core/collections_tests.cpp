#include <gtest/gtest.h>

#include <vector>

#include "model/collections.h"

using namespace vornex;

TEST(Collections, PositionsAreOneBasedInInsertionOrder)
{
    Map m;
    auto b = m.Add("b");
    auto a = m.Add("a");
    EXPECT_EQ(m.Item(1), b);
    EXPECT_EQ(m.Item(2), a);
    EXPECT_EQ(m.Count(), 2);
    EXPECT_THROW(m.Item(0), NotFoundError);
    EXPECT_THROW(m.Item(3), NotFoundError);
    EXPECT_THROW(m.Item(-1), NotFoundError);
}

TEST(Collections, KeysIgnoreLetterCaseAndDigitsStayKeys)
{
    Map m;
    auto b = m.Add("b");
    m.Add("1");
    m.Add("Élan");
    EXPECT_EQ(m.Item("B"), b);
    EXPECT_EQ(m.Item("élan"), m.Item(3));
    m.Add("x");
    // A text of digits is a key: "2" is not position 2.
    EXPECT_THROW(m.Item("2"), NotFoundError);
    EXPECT_EQ(m.Item("1"), m.Item(2));
}

TEST(Collections, RecordsAreSharedNotCopied)
{
    Map m;
    m.Add("Alpha")->Population = 5;
    m.Item("alpha")->Population = 7;
    EXPECT_EQ(m.Item(1)->Population, 7);
    Gravities g;
    g.Add("1")->Clicks = 0;
    g.Item("1")->Clicks = 50;
    EXPECT_EQ(g.Item(1)->Clicks, 50);
}

TEST(Collections, DuplicateKeysFailAndAddNothing)
{
    Map m;
    m.Add("x");
    EXPECT_THROW(m.Add("X"), DuplicateKeyError);
    EXPECT_EQ(m.Count(), 1);
    m.Add(""); // the empty key is a key like any other in a map...
    EXPECT_THROW(m.Add(""), DuplicateKeyError);
    EXPECT_EQ(m.Count(), 2);
    Gravities g;
    g.Add("");
    EXPECT_THROW(g.Add(""), DuplicateKeyError);
    Players p;
    p.Add("Kethari");
    EXPECT_THROW(p.Add("KETHARI"), DuplicateKeyError);
    EXPECT_EQ(p.Count(), 1);
}

TEST(Collections, PlayersWithoutRaceNameHaveNoKey)
{
    Players p;
    auto a = p.Add("");
    auto b = p.Add("");
    auto c = p.Add("");
    EXPECT_EQ(p.Count(), 3);
    EXPECT_EQ(p.Item(1), a);
    EXPECT_EQ(p.Item(2), b);
    EXPECT_EQ(p.Item(3), c);
    EXPECT_THROW(p.Item(""), NotFoundError);
    EXPECT_EQ(p.Find(""), nullptr);
}

TEST(Collections, MissingItemsFailOrGiveNullByClass)
{
    Map m;
    Players p;
    Gravities g;
    EXPECT_THROW(m.Item("nowhere"), NotFoundError);
    EXPECT_THROW(p.Item("nobody"), NotFoundError);
    EXPECT_THROW(p.Item(1), NotFoundError);
    EXPECT_NO_THROW(g.Item("1.00"));
    EXPECT_EQ(g.Item("1.00"), nullptr);
    EXPECT_EQ(g.Item(1), nullptr);
    EXPECT_EQ(m.Find("nowhere"), nullptr);
    EXPECT_EQ(m.At(1), nullptr);
    EXPECT_THROW(m.Remove(1), NotFoundError);
    EXPECT_THROW(g.Remove("k"), NotFoundError);
}

TEST(Collections, RemoveClosesTheGapAndFreesTheKey)
{
    Map m;
    auto first = m.Add("one");
    m.Add("two");
    auto third = m.Add("three");
    m.Remove(2);
    std::vector<PlanetPtr> walked;
    for (const auto& p : m)
        walked.push_back(p);
    EXPECT_EQ(walked, (std::vector<PlanetPtr>{first, third}));
    EXPECT_EQ(m.Item(2), third);
    EXPECT_THROW(m.Item("two"), NotFoundError);
    EXPECT_NO_THROW(m.Add("TWO"));
    m.Remove("ONE");
    EXPECT_EQ(m.Item(1), third);
    EXPECT_EQ(m.Count(), 2);
}

TEST(Collections, PlayersRemoveMovesEachKeptLineWithItsSlot)
{
    Players players;
    for (const char* race : {"", "", "Gamma", ""})
        players.Add(race);
    players.KeepUnreadLine(2, "two");
    players.KeepUnreadLine(4, "four");
    auto kept = [&] {
        std::string out;
        for (int64_t n = 1; n <= players.Count(); ++n)
            out += players.UnreadLine(n) ? *players.UnreadLine(n) + " " : "- ";
        return out;
    };
    players.Remove(1);
    EXPECT_EQ(kept(), "two - four ");
    players.Remove("gamma");
    EXPECT_EQ(kept(), "two four ");
    players.Remove(1); // a kept line goes with its slot
    EXPECT_EQ(kept(), "four ");
    EXPECT_THROW(players.Remove(5), NotFoundError);
    EXPECT_EQ(kept(), "four ");
}

TEST(Collections, ByIdFindsThePlanetEvenWhenPositionsShifted)
{
    Map m;
    for (int16_t id : {1, 3, 4})
        m.Add("p" + std::to_string(id))->ID = id; // planet 2 was rejected
    EXPECT_EQ(m.ByID(3), m.Item("p3"));
    EXPECT_EQ(m.ByID(1), m.Item("p1"));
    EXPECT_EQ(m.ByID(2), nullptr);
    EXPECT_EQ(m.ByID(4), m.Item(3));
    EXPECT_EQ(m.ByID(70000), nullptr);

    // The table grows and shrinks after lookups: every planet is still found by its number, the
    // whole 16-bit range included.
    m.Add("low")->ID = -32768;
    m.Add("high")->ID = 32767;
    m.Add("two")->ID = 2;
    EXPECT_EQ(m.ByID(2), m.Item("two"));
    EXPECT_EQ(m.ByID(-32768), m.Item("low"));
    EXPECT_EQ(m.ByID(32767), m.Item("high"));
    m.Remove("p1");
    EXPECT_EQ(m.ByID(1), nullptr);
    EXPECT_EQ(m.ByID(3), m.Item("p3"));
    EXPECT_EQ(m.ByID(2), m.Item("two"));
    m.Item("p4")->ID = 9; // renumbered in place: its old number leads nowhere
    EXPECT_EQ(m.ByID(4), nullptr);
}
