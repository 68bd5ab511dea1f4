#pragma once
// The three tables of the program: Map (planets keyed by name), Players (player slots keyed by race
// name) and Gravities (gravity table keyed by gravity text). Positions are 1-based.
//
// Item(position) takes a number, Item(key) a text, even a text of digits: Item("2") looks up the
// key "2". Failures:
//   Map, Players:  Item of a missing position or key throws NotFoundError.
//   Gravities:     Item of a missing key returns nullptr and never throws.
//   all:           Add of a key that is already there throws DuplicateKeyError and adds nothing.
// Find/At are the non-throwing lookups for callers that prefer a null result.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/keyedstore.h"
#include "model/planet.h"
#include "model/player.h"

namespace vornex {

using PlanetPtr = std::shared_ptr<Planet>;
using PlayerPtr = std::shared_ptr<Player>;
using GravityPtr = std::shared_ptr<Gravity>;

class Map {
public:
    // Stores the new planet under the key, the empty key included.
    PlanetPtr Add(std::string_view key)
    {
        m_idIndexed = false;
        return m_store.add(key);
    }
    // As Add, but a key that is already there gives nullptr (nothing added) instead of throwing.
    PlanetPtr TryAdd(std::string_view key)
    {
        m_idIndexed = false;
        return m_store.tryAdd(key);
    }
    PlanetPtr Item(int64_t position) const;
    PlanetPtr Item(std::string_view key) const;
    int32_t Count() const { return m_store.count(); }
    void Remove(int64_t position);
    void Remove(std::string_view key);

    PlanetPtr At(int64_t position) const { return m_store.at(position); }
    PlanetPtr Find(std::string_view key) const { return m_store.find(key); }
    // The 1-based position of the planet stored under the key, or 0.
    int64_t PositionOf(std::string_view key) const { return m_store.positionOf(key); }
    // The same, looking first at position hint (files that list the planets in table order find
    // each one there).
    int64_t PositionOf(std::string_view key, int64_t hint) const { return m_store.positionOf(key, hint); }
    // The planet whose ID is id, or nullptr. Usually the planet at position id; when a rejected map
    // line or a map out of order has shifted positions, the first planet carrying that ID, found
    // through an index of the IDs made at the first such lookup after the table last grew or
    // shrank. A planet's ID is set when it is added, before it is looked up by ID.
    PlanetPtr ByID(int64_t id) const;
    // The planet at a position without taking a shared reference, or nullptr: for loops over the
    // whole table while it stays unchanged.
    Planet* Raw(int64_t position) const { return m_store.raw(position); }
    // Room for n planets in all (made in one block of memory).
    void Reserve(size_t n) { m_store.reserve(n); }

    auto begin() const { return m_store.begin(); }
    auto end() const { return m_store.end(); }

private:
    KeyedStore<Planet> m_store;
    // Position of the first planet with each 16-bit ID (index ID + 32768), 0 for none.
    mutable std::vector<int32_t> m_idIndex;
    mutable bool m_idIndexed = false;
    void indexIDs() const;
};

class Players {
public:
    // An empty race name stores the player without a key; any other key is stored as passed.
    PlayerPtr Add(std::string_view key) { return m_store.add(key.empty() ? std::nullopt : std::optional(key)); }
    PlayerPtr Item(int64_t position) const;
    PlayerPtr Item(std::string_view key) const;
    int32_t Count() const { return m_store.count(); }
    void Remove(int64_t position);
    void Remove(std::string_view key);

    PlayerPtr At(int64_t position) const { return m_store.at(position); }
    PlayerPtr Find(std::string_view key) const { return m_store.find(key); }

    auto begin() const { return m_store.begin(); }
    auto end() const { return m_store.end(); }

    // What the players file held where the loader could not take a record: the line is kept for
    // its position so that saving an untouched (still empty) slot writes it back unchanged, and a
    // record the program cannot read is never lost by a save.
    // Remove moves each kept line along with its slot.
    void KeepUnreadLine(int64_t position, std::string line);
    const std::string* UnreadLine(int64_t position) const;
    // A last record too short to be one: it has no slot and goes back at the end of the file.
    void KeepUnreadTail(std::string text) { m_unreadTail = std::move(text); }
    const std::string& UnreadTail() const { return m_unreadTail; }
    // Set when the players file existed but could not be read at all: saving over it would replace
    // the user's players with empty slots, so a save refuses with this reason.
    void MarkUnreadable(std::string reason) { m_unreadable = std::move(reason); }
    const std::string& UnreadableReason() const { return m_unreadable; }

private:
    KeyedStore<Player> m_store;
    void dropUnreadLine(int64_t position);

    std::map<int64_t, std::string> m_unreadLines;
    std::string m_unreadTail;
    std::string m_unreadable;
};

class Gravities {
public:
    Gravities() = default;
    Gravities(const Gravities&) = default;
    Gravities& operator=(const Gravities&) = default;
    // A moved-from table is empty, so it gets a fresh version.
    Gravities(Gravities&& other) noexcept : m_store(std::move(other.m_store)), m_version(other.m_version)
    {
        other.m_store = {};
        other.m_version = nextVersion();
    }
    Gravities& operator=(Gravities&& other) noexcept
    {
        if (this != &other) {
            m_store = std::move(other.m_store);
            m_version = other.m_version;
            other.m_store = {};
            other.m_version = nextVersion();
        }
        return *this;
    }

    GravityPtr Add(std::string_view key)
    {
        GravityPtr row = m_store.add(key);
        m_version = nextVersion();
        return row;
    }
    // nullptr when there is no such position or key; never throws.
    GravityPtr Item(int64_t position) const { return m_store.at(position); }
    GravityPtr Item(std::string_view key) const { return m_store.find(key); }
    int32_t Count() const { return m_store.count(); }
    void Remove(int64_t position);
    void Remove(std::string_view key);

    auto begin() const { return m_store.begin(); }
    auto end() const { return m_store.end(); }

    // Identifies the set of rows (their keys and records): it changes with every Add and Remove and
    // no two different sets of rows ever share one, not even in different tables, while copies of a
    // table share it. Lets callers cache lookups by key.
    uint64_t Version() const { return m_version; }

private:
    static uint64_t nextVersion();

    KeyedStore<Gravity> m_store;
    uint64_t m_version = nextVersion();
};

} // namespace vornex
