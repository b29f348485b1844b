#pragma once

#include <QtGlobal>

#include <cstdint>
#include <utility>
#include <vector>

namespace costing {

// Positions by key (a product's key, or a pair of keys) in one table of open
// addressing: a lookup reads a slot or two side by side, where a map of nodes
// follows a pointer at every step, and filling it allocates nothing per key.
// Keys are added, never removed.
template <class Key>
class KeyIndex {
public:
    void reserve(size_t count)
    {
        size_t width = 16;
        while (width < count * 2)
            width *= 2;
        if (width > keys_.size())
            rehash(width);
    }

    // The position kept for the key, which takes `position` when it is new;
    // true when it was added.
    std::pair<int*, bool> insert(const Key& key, int position)
    {
        if ((count_ + 1) * 2 > keys_.size())
            rehash(keys_.empty() ? 16 : keys_.size() * 2);
        size_t s = slotOf(key);
        if (positions_[s] >= 0)
            return {&positions_[s], false};
        keys_[s] = key;
        positions_[s] = position;
        ++count_;
        return {&positions_[s], true};
    }

    // The key's position; -1 when it has none.
    int find(const Key& key) const { return keys_.empty() ? -1 : positions_[slotOf(key)]; }

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
        const size_t mask = keys_.size() - 1;
        size_t s = hashOf(key) & mask;
        while (positions_[s] >= 0 && !(keys_[s] == key))
            s = (s + 1) & mask;
        return s;
    }

    void rehash(size_t width)
    {
        std::vector<Key> keys(width);
        std::vector<int> positions(width, -1);
        keys.swap(keys_);
        positions.swap(positions_);
        for (size_t i = 0; i < keys.size(); ++i) {
            if (positions[i] < 0)
                continue;
            const size_t s = slotOf(keys[i]);
            keys_[s] = keys[i];
            positions_[s] = positions[i];
        }
    }

    std::vector<Key> keys_;
    std::vector<int> positions_;  // -1: an empty slot
    size_t count_ = 0;
};

} // namespace costing
