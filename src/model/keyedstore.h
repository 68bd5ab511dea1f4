#pragma once
// The ordered, optionally keyed store behind Map, Players and Gravities.
//
// Records are held by shared reference in insertion order at 1-based positions; removing one
// closes the gap. A key is unique within the store, compared with letter case ignored. A record
// added without a key is reachable only by position or by walking the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/errors.h"
#include "model/keyfold.h"

namespace vornex {

template <typename R>
class KeyedStore {
public:
    using Ptr = std::shared_ptr<R>;

private:
    // Declared before the iterator that walks it (clang needs to see it there).
    struct Entry {
        Ptr record;
        std::optional<std::string> foldedKey;
    };

public:
    // Appends a new default record. With a key, the key must not be there yet (DuplicateKeyError,
    // nothing added); without (nullopt) the record gets no key.
    Ptr add(std::optional<std::string_view> key)
    {
        auto rec = std::make_shared<R>();
        if (key) {
            auto [it, inserted] = m_byKey.try_emplace(foldKey(*key), rec);
            if (!inserted) throw DuplicateKeyError("duplicate key: " + std::string(*key));
        }
        m_items.push_back(Entry{rec, key ? std::optional<std::string>(foldKey(*key)) : std::nullopt});
        return rec;
    }

    // The record at a 1-based position, or nullptr.
    Ptr at(int64_t position) const
    {
        if (position < 1 || position > static_cast<int64_t>(m_items.size())) return nullptr;
        return m_items[static_cast<size_t>(position - 1)].record;
    }

    // The record stored under a key (letter case ignored), or nullptr.
    Ptr find(std::string_view key) const
    {
        auto it = m_byKey.find(foldKey(key));
        return it == m_byKey.end() ? nullptr : it->second;
    }

    bool removeAt(int64_t position)
    {
        if (position < 1 || position > static_cast<int64_t>(m_items.size())) return false;
        auto idx = static_cast<size_t>(position - 1);
        if (m_items[idx].foldedKey) m_byKey.erase(*m_items[idx].foldedKey);
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(idx));
        return true;
    }

    bool removeKey(std::string_view key)
    {
        std::string folded = foldKey(key);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].foldedKey && *m_items[i].foldedKey == folded) return removeAt(static_cast<int64_t>(i) + 1);
        return false;
    }

    int32_t count() const { return static_cast<int32_t>(m_items.size()); }
    void reserve(size_t n)
    {
        m_items.reserve(n);
        m_byKey.reserve(n);
    }

    // Walks the records in store order (range-for yields the shared references).
    class const_iterator {
    public:
        using inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(inner it) : m_it(it) {}
        const Ptr& operator*() const { return m_it->record; }
        const_iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }

    private:
        inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    std::vector<Entry> m_items;
    std::unordered_map<std::string, Ptr> m_byKey;
};

}  // namespace vornex
