#include "host/sbobject/latest_story_outs.h"

#include <algorithm>

namespace kel::host {

namespace {
bool Earlier(const std::pair<DWORD, std::size_t>& entry, DWORD dwOut) {
    return entry.first < dwOut;
}
} // namespace

void LatestStoryOuts::Add(DWORD dwOut) {
    if (!m_bKnown || dwOut < m_dwFloor)
        return;
    auto it = std::lower_bound(m_counts.begin(), m_counts.end(), dwOut, Earlier);
    if (it != m_counts.end() && it->first == dwOut) {
        ++it->second;
        return;
    }
    m_counts.insert(it, {dwOut, 1});
    if (m_counts.size() > kKept) {
        // The earliest counted story out stops being counted, and with it everything before.
        m_dwFloor = m_counts.front().first + 1;
        m_counts.erase(m_counts.begin());
    }
}

void LatestStoryOuts::Remove(DWORD dwOut) {
    if (!m_bKnown || dwOut < m_dwFloor)
        return;
    auto it = std::lower_bound(m_counts.begin(), m_counts.end(), dwOut, Earlier);
    if (it == m_counts.end() || it->first != dwOut) {
        m_bKnown = false; // told of a story out it never counted: nothing it holds is sure
        return;
    }
    if (--it->second == 0)
        m_counts.erase(it);
    // With nothing counted and a floor above 0, materials may still end before the floor.
    if (m_counts.empty() && m_dwFloor > 0)
        m_bKnown = false;
}

} // namespace kel::host
