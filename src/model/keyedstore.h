#pragma once
// The ordered, optionally keyed store behind Map, Players and Gravities.
//
// Records are held by shared reference in insertion order at 1-based positions; removing one
// closes the gap. A key is unique within the store, compared with letter case ignored. A record
// added without a key is reachable only by position or by walking the store.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/errors.h"
#include "model/keyfold.h"

namespace vornex {

template <typename R> class KeyedStore {
public:
    using Ptr = std::shared_ptr<R>;

private:
    // Declared before the iterator that walks it (clang needs to see it there).
    struct Entry {
        Ptr record;
        std::optional<std::string> foldedKey;
        size_t hash = 0; // of foldedKey
    };

public:
    // Appends a new default record. With a key, the key must not be there yet (DuplicateKeyError,
    // nothing added); without (nullopt) the record gets no key.
    Ptr add(std::optional<std::string_view> key)
    {
        if (!key) {
            m_items.push_back(Entry{newRecord(), std::nullopt, 0});
            return m_items.back().record;
        }
        Ptr rec = tryAdd(*key);
        if (!rec) throw DuplicateKeyError("duplicate key: " + std::string(*key));
        return rec;
    }

    // Appends a new default record under a key that must not be there yet; nullptr (and nothing
    // added) when it is.
    Ptr tryAdd(std::string_view key)
    {
        std::string folded = foldKey(key);
        const size_t hash = hashOf(folded);
        if (findIndex(folded, hash) != kNone) return nullptr;
        // Everything that can fail happens before the store changes.
        if ((m_keyed + 1) * 2 > m_slots.size()) rebuildSlots(std::max(m_slots.size() * 2, (m_keyed + 1) * 2));
        if (m_items.size() == m_items.capacity()) m_items.reserve(std::max<size_t>(16, m_items.size() * 2));
        Ptr rec = newRecord();
        m_items.push_back(Entry{rec, std::move(folded), hash});
        placeSlot(m_items.size() - 1);
        ++m_keyed;
        return rec;
    }

    // The record at a 1-based position, or nullptr.
    Ptr at(int64_t position) const
    {
        if (position < 1 || position > static_cast<int64_t>(m_items.size())) return nullptr;
        return m_items[static_cast<size_t>(position - 1)].record;
    }

    // The record at a 1-based position without taking a shared reference (for loops over a whole
    // table that the store outlives), or nullptr.
    R* raw(int64_t position) const
    {
        if (position < 1 || position > static_cast<int64_t>(m_items.size())) return nullptr;
        return m_items[static_cast<size_t>(position - 1)].record.get();
    }

    // The record stored under a key (letter case ignored), or nullptr.
    Ptr find(std::string_view key) const
    {
        int64_t position = positionOf(key);
        return position == 0 ? nullptr : m_items[static_cast<size_t>(position - 1)].record;
    }

    // The 1-based position of the record stored under a key (letter case ignored), or 0.
    int64_t positionOf(std::string_view key, int64_t hint = 0) const
    {
        if (m_keyed == 0) return 0;
        // Keys are names of a few letters: fold them on the stack.
        char local[64];
        std::string longKey;
        char* folded = local;
        if (key.size() > sizeof local) {
            longKey.resize(key.size());
            folded = longKey.data();
        }
        foldKeyInto(key, folded);
        const std::string_view f(folded, key.size());
        if (hint >= 1 && hint <= static_cast<int64_t>(m_items.size())) {
            const Entry& e = m_items[static_cast<size_t>(hint - 1)];
            if (e.foldedKey && *e.foldedKey == f) return hint;
        }
        size_t i = findIndex(f, hashOf(f));
        return i == kNone ? 0 : static_cast<int64_t>(i) + 1;
    }

    bool removeAt(int64_t position)
    {
        if (position < 1 || position > static_cast<int64_t>(m_items.size())) return false;
        auto idx = static_cast<size_t>(position - 1);
        // Later records move up one place, so the index is rebuilt (its memory taken first, so
        // that nothing can fail once the record is gone).
        std::vector<uint32_t> fresh(m_slots.size(), 0);
        if (m_items[idx].foldedKey) --m_keyed;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(idx));
        m_slots.swap(fresh);
        refill();
        return true;
    }

    bool removeKey(std::string_view key)
    {
        int64_t position = positionOf(key);
        return position != 0 && removeAt(position);
    }

    int32_t count() const { return static_cast<int32_t>(m_items.size()); }
    // Room for n records in all: the index grows once, and the records still to come are made
    // in one block of memory instead of one allocation each.
    void reserve(size_t n)
    {
        m_items.reserve(n);
        if (n * 2 > m_slots.size()) rebuildSlots(n * 2);
        if (n > m_items.size()) {
            const size_t more = n - m_items.size();
            if (!m_block.ptr || m_block.ptr->capacity - m_block.ptr->used < more)
                m_block.ptr = std::make_shared<Block>(more);
        }
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
    // The keys are found through an open-addressing table of positions (linear probing, at most
    // half full): one look at a slot and one at the record's entry, where a table of nodes would
    // chase pointers all over memory for every lookup of a large galaxy.
    // Measured on the cold load of a 32767-planet galaxy (Release, CPU time of a fresh process,
    // median of three runs of twelve): 55 ms with this table, 86 ms with a std::unordered_map from
    // folded key to position in its place; rating every planet was the same with either.
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // Keys are short names: eight bytes at a time through a multiply-xorshift mix, inline, is as
    // even a spread as the library hash and much quicker for them.
    static size_t hashOf(std::string_view folded)
    {
        const char* p = folded.data();
        size_t n = folded.size();
        uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
        for (; n >= 8; p += 8, n -= 8) {
            uint64_t w;
            std::memcpy(&w, p, sizeof w);
            h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        uint64_t tail = 0;
        for (size_t i = 0; i < n; ++i)
            tail |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
        h = (h ^ tail) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        h *= 0x94D049BB133111EBull;
        h ^= h >> 32;
        return static_cast<size_t>(h);
    }

    // Records made ahead in one piece of memory. Each record handed out shares ownership of the
    // whole block (an aliasing shared reference), so the block lives while any of its records is
    // referenced anywhere; records are destroyed with it.
    struct Block {
        explicit Block(size_t n) : capacity(n), items(std::allocator<R>().allocate(n)) {}
        ~Block()
        {
            for (size_t i = used; i > 0; --i)
                items[i - 1].~R();
            std::allocator<R>().deallocate(items, capacity);
        }
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;
        size_t capacity;
        size_t used = 0;
        R* items;
    };
    // A copied store makes its own records; only the store that reserved fills the block.
    struct BlockRef {
        BlockRef() = default;
        BlockRef(const BlockRef&) {}
        BlockRef& operator=(const BlockRef&)
        {
            ptr.reset();
            return *this;
        }
        BlockRef(BlockRef&&) noexcept = default;
        BlockRef& operator=(BlockRef&&) noexcept = default;
        std::shared_ptr<Block> ptr;
    };

    Ptr newRecord()
    {
        Block* b = m_block.ptr.get();
        if (!b || b->used == b->capacity) return std::make_shared<R>();
        R* rec = ::new (static_cast<void*>(b->items + b->used)) R();
        ++b->used;
        return Ptr(m_block.ptr, rec);
    }

    size_t findIndex(std::string_view folded, size_t hash) const
    {
        if (m_slots.empty()) return kNone;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const size_t slot = m_slots[i];
            if (slot == 0) return kNone;
            const Entry& e = m_items[slot - 1];
            if (e.hash == hash && *e.foldedKey == folded) return slot - 1;
        }
    }

    void placeSlot(size_t index)
    {
        const size_t mask = m_slots.size() - 1;
        size_t i = m_items[index].hash & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = static_cast<uint32_t>(index + 1);
    }

    // A table of at least minSize slots (a power of two) holding every keyed record.
    void rebuildSlots(size_t minSize)
    {
        size_t size = 16;
        while (size < minSize)
            size *= 2;
        std::vector<uint32_t> table(size, 0);
        m_slots.swap(table);
        refill();
    }

    // Places every keyed record into the (empty) slots.
    void refill()
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].foldedKey) placeSlot(i);
    }

    std::vector<Entry> m_items;
    std::vector<uint32_t> m_slots; // position + 1 of a keyed record, 0 for a free slot
    size_t m_keyed = 0;
    BlockRef m_block;
};

} // namespace vornex
