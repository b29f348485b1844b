#pragma once

#include <QtGlobal>

#include <cstdint>
#include <utility>
#include <vector>

namespace costing {

// Positions by key (a product's key, or a pair of keys) in one table of open
// addressing: a lookup reads a slot or two side by side, each key beside its
// position, where a map of nodes follows a pointer at every step, and filling
// it allocates nothing per key. Keys are added, never removed.
template <class Key>
class KeyIndex {
public:
    void reserve(size_t count)
    {
        size_t width = 16;
        while (width < count * 2)
            width *= 2;
        if (width > slots_.size())
            rehash(width);
    }

    // The position kept for the key, which takes `position` when it is new;
    // true when it was added.
    std::pair<int*, bool> insert(const Key& key, int position)
    {
        if ((count_ + 1) * 2 > slots_.size())
            rehash(slots_.empty() ? 16 : slots_.size() * 2);
        Slot& s = slots_[slotOf(key)];
        if (s.position >= 0)
            return {&s.position, false};
        s.key = key;
        s.position = position;
        ++count_;
        return {&s.position, true};
    }

    // The key's position; -1 when it has none.
    int find(const Key& key) const { return slots_.empty() ? -1 : slots_[slotOf(key)].position; }

private:
    static std::uint64_t mix(std::uint64_t x)
    {
        x ^= x >> 30;
        x *= 0xbf58476d1ce4e5b9ull;
        x ^= x >> 27;
        x *= 0x94d049bb133111ebull;
        return x ^ (x >> 31);
    }
    static std::uint64_t hashOf(qint64 k) { return mix(static_cast<std::uint64_t>(k)); }
    static std::uint64_t hashOf(const std::pair<qint64, qint64>& k)
    {
        return mix(static_cast<std::uint64_t>(k.first) * 0x9e3779b97f4a7c15ull ^ static_cast<std::uint64_t>(k.second));
    }

    // The key's slot, or the empty one where it would go.
    size_t slotOf(const Key& key) const
    {
        const size_t mask = slots_.size() - 1;
        size_t s = hashOf(key) & mask;
        while (slots_[s].position >= 0 && !(slots_[s].key == key))
            s = (s + 1) & mask;
        return s;
    }

    struct Slot {
        Key key{};
        int position = -1;  // -1: an empty slot
    };

    void rehash(size_t width)
    {
        std::vector<Slot> old(width);
        old.swap(slots_);
        for (const Slot& o : old)
            if (o.position >= 0)
                slots_[slotOf(o.key)] = o;
    }

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

} // namespace costing
