// The latest story outs of a storyboard, kept up as materials come, go and move, so that its
// duration is known without walking every material.
//
// Only the latest few distinct story outs are counted, each with the number of materials that
// end there; every story out at or after the floor is among them. When the latest material
// goes, the next latest is usually still counted; a walk is needed only when all of them have
// gone, which takes as many distinct latest story outs leaving as are kept.
#pragma once

#include "platform/win_types.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace kel::host {

class LatestStoryOuts {
public:
    static constexpr std::size_t kKept = 64;

    // Counting starts again from nothing: every story out is then told through Add, as in a
    // walk of the storyboard.
    void Restart() {
        m_counts.clear();
        m_dwFloor = 0;
        m_bKnown = true;
    }
    void Forget() { m_bKnown = false; }
    // False when a walk must tell every story out again (after Forget, or once the counted
    // story outs are all gone).
    bool IsKnown() const { return m_bKnown; }

    void Add(DWORD dwOut);
    void Remove(DWORD dwOut);

    // The latest story out, 0 for none; only meaningful while known.
    DWORD Latest() const { return m_counts.empty() ? 0 : m_counts.back().first; }

private:
    // Ascending by story out; at most kKept entries.
    std::vector<std::pair<DWORD, std::size_t>> m_counts;
    DWORD m_dwFloor = 0;
    bool m_bKnown = false;
};

} // namespace kel::host
