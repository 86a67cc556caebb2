// The pictures of a play: what the output shows at each frame of the current storyboard, with
// each piece's phase effect running over its frames, movies and scrolls advancing, and the
// tracks composed in their order (the first track on top).
#pragma once

#include "host/base/kel_guid.h"
#include "host/base/kel_memblock.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class CKelPlaySceneObj;
class CKelPlayBaseObj;
class CKelSBBodyObj;
class CKelSBContentBaseObj;

class CKelPlayFrameRenderer {
public:
    // Indexes the storyboard's materials that may play: those on tracks whose playing is
    // allowed and whose piece the scene (or an attached copy) still has. The storyboard and the
    // scene must not change while the renderer lives.
    CKelPlayFrameRenderer(const CKelPlaySceneObj& scene, CKelSBBodyObj& body);
    // Drops what the effects prepared for the play.
    ~CKelPlayFrameRenderer();
    CKelPlayFrameRenderer(const CKelPlayFrameRenderer&) = delete;
    CKelPlayFrameRenderer& operator=(const CKelPlayFrameRenderer&) = delete;

    // Brings the set on the air to `frame`. Only materials that start or end are looked at
    // when frames follow each other; a frame before the last one starts over.
    void Seek(DWORD nFrame);
    // The GUIDs of the pieces on the air at the last Seek, in track order.
    std::vector<KelGUID> OnAir() const;
    // Whether the picture at the last Seek may differ from the one before it: the set changed,
    // or an effect, movie or scroll on the air moves.
    bool PictureChanged() const { return m_bChanged; }
    // Draws the output at the last Seek into `out`, which shows nothing else: only what is on
    // the air, and of that only what no opaque piece above covers. Only what the last Render
    // drew is cleared, unless the block changed since (then all of it).
    void Render(CKelMemBlock& out);

    std::size_t PlayableCount() const { return m_entries.size(); }

private:
    struct Entry {
        DWORD nIn = 0;
        DWORD nOut = 0;
        int nTrack = 0;
        std::size_t nOrder = 0; // container walk order, for equal tracks
        CKelSBContentBaseObj* pContent = nullptr;
        const CKelPlayBaseObj* pPiece = nullptr;
    };
    struct Active;

    void Restart();
    void TakeOn(const Entry& entry);
    bool Moves(const Active& active) const;
    // Whether the piece's picture at the last Seek hides everything under its place.
    bool Covers(const Active& active) const;
    void Draw(Active& active, CKelMemBlock& out);
    // The piece's picture, drawn once for the whole play: pieces recur all day long.
    struct Picture {
        CKelMemBlock block;
        bool bFillsPlace = false; // as large as the piece's place, every pixel opaque
    };
    const Picture& PictureOf(const CKelPlayBaseObj& piece);

    std::vector<Entry> m_entries;                  // by story in
    std::size_t m_nNext = 0;                       // first entry not yet taken on the air
    std::vector<std::unique_ptr<Active>> m_active; // by track, then container order
    std::map<const CKelPlayBaseObj*, Picture> m_pictures;
    std::vector<CRect> m_drawn; // where the last Render drew
    const CKelMemBlock* m_pLastOut = nullptr;
    std::uint64_t m_nLastVersion = 0;
    DWORD m_nFrame = 0;
    bool m_bStarted = false;
    bool m_bChanged = true;
};

// Draws `number` in decimal with a block font, `scale` pixels per font dot, its top-left corner
// at (x, y), nothing outside `clip`: how a movie without its media shows which frame would play.
void KelDrawFrameNumber(CKelMemBlock& out, int x, int y, DWORD number, int scale, DWORD colour,
                        const CRect& clip);
