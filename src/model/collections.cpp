#include "model/collections.h"

#include <atomic>

namespace vornex {

namespace {
template <typename P> P need(P p, const char* what, const std::string& which)
{
    if (!p) throw NotFoundError(std::string(what) + " not found: " + which);
    return p;
}
std::string posText(int64_t p)
{
    return "position " + std::to_string(p);
}
std::string keyText(std::string_view k)
{
    return "key \"" + std::string(k) + "\"";
}
} // namespace

PlanetPtr Map::Item(int64_t position) const
{
    return need(m_store.at(position), "planet", posText(position));
}
PlanetPtr Map::Item(std::string_view key) const
{
    return need(m_store.find(key), "planet", keyText(key));
}
void Map::Remove(int64_t position)
{
    m_idIndexed = false;
    if (!m_store.removeAt(position)) throw NotFoundError("planet not found: " + posText(position));
}
void Map::Remove(std::string_view key)
{
    m_idIndexed = false;
    if (!m_store.removeKey(key)) throw NotFoundError("planet not found: " + keyText(key));
}

void Map::indexIDs() const
{
    m_idIndex.assign(65536, 0);
    for (int32_t position = m_store.count(); position >= 1; --position)
        m_idIndex[static_cast<size_t>(m_store.raw(position)->ID + 32768)] = position;
    m_idIndexed = true;
}

PlanetPtr Map::ByID(int64_t id) const
{
    if (auto p = m_store.raw(id); p && p->ID == id) return m_store.at(id);
    if (id < -32768 || id > 32767) return nullptr;
    if (!m_idIndexed) indexIDs();
    const auto slot = static_cast<size_t>(id + 32768);
    PlanetPtr p = m_store.at(m_idIndex[slot]);
    if (p && p->ID == id) return p;
    if (!p) return nullptr;
    // An ID changed after the index was made: make it again.
    indexIDs();
    return m_store.at(m_idIndex[slot]);
}

PlayerPtr Players::Item(int64_t position) const
{
    return need(m_store.at(position), "player", posText(position));
}
PlayerPtr Players::Item(std::string_view key) const
{
    return need(m_store.find(key), "player", keyText(key));
}
void Players::KeepUnreadLine(int64_t position, std::string line)
{
    m_unreadLines[position] = std::move(line);
}

const std::string* Players::UnreadLine(int64_t position) const
{
    auto it = m_unreadLines.find(position);
    return it == m_unreadLines.end() ? nullptr : &it->second;
}

// The kept lines after a removed slot move up with their slots.
void Players::dropUnreadLine(int64_t position)
{
    std::map<int64_t, std::string> moved;
    for (auto& [at, line] : m_unreadLines)
        if (at != position) moved.emplace(at > position ? at - 1 : at, std::move(line));
    m_unreadLines.swap(moved);
}

void Players::Remove(int64_t position)
{
    if (!m_store.removeAt(position)) throw NotFoundError("player not found: " + posText(position));
    dropUnreadLine(position);
}
void Players::Remove(std::string_view key)
{
    const int64_t position = m_store.positionOf(key);
    if (position == 0 || !m_store.removeAt(position)) throw NotFoundError("player not found: " + keyText(key));
    dropUnreadLine(position);
}

uint64_t Gravities::nextVersion()
{
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

void Gravities::Remove(int64_t position)
{
    if (!m_store.removeAt(position)) throw NotFoundError("gravity not found: " + posText(position));
    m_version = nextVersion();
}
void Gravities::Remove(std::string_view key)
{
    if (!m_store.removeKey(key)) throw NotFoundError("gravity not found: " + keyText(key));
    m_version = nextVersion();
}

} // namespace vornex
