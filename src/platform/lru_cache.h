// A bounded cache that lets go of what was used longest ago. Pictures prepared for drawing (a
// bitmap converted for the window system, a picture scaled to the size it is drawn at) are kept
// in it: a repaint then costs the pixels it writes, not preparing every picture again, while a
// storyboard of many thumbnails cannot make the cache grow without end.
//
// Not thread-safe: each cache belongs to the thread that paints.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <unordered_map>
#include <utility>

namespace kel {

template <typename Key, typename Value, typename Hash = std::hash<Key>>
class LruCache {
public:
    // At most `maxEntries` values whose costs add up to at most `maxCost`; a single value
    // costing more than `maxCost` is still kept, alone, until the next one comes.
    LruCache(std::size_t maxEntries, std::size_t maxCost)
        : m_maxEntries(maxEntries), m_maxCost(maxCost) {}

    // The value kept for `key`, now the most recently used; null when there is none.
    Value* Find(const Key& key) {
        // A picture is often asked for again right away (drawn after being measured, or the
        // next material of the same size): the most recent one needs no hashing.
        if (!m_order.empty() && m_order.front().key == key)
            return &m_order.front().value;
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return &it->second->value;
    }

    // Keeps `value` under `key` (replacing what was there) and lets go of the least recently
    // used values until the bounds hold. The reference stays valid until the next Insert.
    Value& Insert(const Key& key, Value value, std::size_t cost) {
        Erase(key);
        m_order.push_front(Entry{key, std::move(value), cost});
        m_index.emplace(key, m_order.begin());
        m_cost += cost;
        while (m_order.size() > 1 && (m_order.size() > m_maxEntries || m_cost > m_maxCost))
            Erase(m_order.back().key);
        return m_order.front().value;
    }

    void Erase(const Key& key) {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return;
        m_cost -= it->second->cost;
        m_order.erase(it->second);
        m_index.erase(it);
    }

    void Clear() {
        m_index.clear();
        m_order.clear();
        m_cost = 0;
    }

    std::size_t Size() const { return m_order.size(); }
    std::size_t Cost() const { return m_cost; }

private:
    struct Entry {
        Key key;
        Value value;
        std::size_t cost;
    };

    std::size_t m_maxEntries;
    std::size_t m_maxCost;
    std::size_t m_cost = 0;
    std::list<Entry> m_order; // most recently used first
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> m_index;
};

} // namespace kel
