// In-process drag and drop of storyboard and scene data. A drag carries a registered format name
// and a pointer to a block that stays owned by whoever started the drag; drop targets read the
// pointer while the drag runs.
#pragma once

#include "host/base/kel_guid.h"
#include "platform/backend.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <array>
#include <cstddef>
#include <optional>

class CKelOleDataSource;
class COleDataObject;
class CWnd;

// The feedback side of a drag. The mode is the effect the source expects to end with.
class CKelOleDropSource {
public:
    explicit CKelOleDropSource(int mode = 0) : m_mode(mode) {}
    int GetMode() const { return m_mode; }

private:
    int m_mode;
};

class CKelOleDataSource {
public:
    CKelOleDataSource(const CString& format, const void* data, std::size_t size);
    CKelOleDataSource(const CKelOleDataSource&) = delete;
    CKelOleDataSource& operator=(const CKelOleDataSource&) = delete;

    // Runs the drag loop from the cursor and returns the drop effect (DROPEFFECT_NONE when
    // cancelled or refused). `startRect` and `source` only shape the feedback.
    DWORD DoDragDrop(DWORD allowedEffects, const CRect* startRect = nullptr,
                     CKelOleDropSource* source = nullptr);
    // Data sources are handed out by CreateKelDataSource and end with Release, as the creator
    // no longer knows who still holds one otherwise.
    void Release();

    const kel::platform::DragPayload& GetPayload() const { return m_payload; }
    DWORD GetLastEffect() const { return m_lastEffect; }

private:
    ~CKelOleDataSource() = default;

    kel::platform::DragPayload m_payload;
    DWORD m_lastEffect = 0;
};

class CKelDDPieceData {
public:
    // Null for an empty format name. The data block is not copied and not taken over.
    static CKelOleDataSource* CreateKelDataSource(const CString& format, const void* data,
                                                  std::size_t size = 0);
    // Reads what a drop target was handed. 0 (and empty outputs) without data.
    static int GetData(const kel::platform::DragPayload* dataObject, CString& format,
                       const void*& data, std::size_t* size = nullptr);
    static int GetData(const COleDataObject* dataObject, CString& format, const void*& data,
                       std::size_t* size = nullptr);
};

// What a host panel drags onto the storyboard ("CREATE_PIECE_DATA"): a piece of the scene by its
// GUID (16 bytes), then the type as a 32-bit little-endian number: which phases of a group to
// put down, or a movie or a scroll. The bytes are plain values, so a drop target may read them
// from anyone; it must still check the size and the type before it trusts them.
struct KelPieceDragData {
    static constexpr const char* kFormat = "CREATE_PIECE_DATA";
    static constexpr std::size_t kSize = 20;
    // Types: the In, Stay or Out phase of a group, all three end to end, a movie, a scroll.
    static constexpr DWORD kIn = 0;
    static constexpr DWORD kStay = 1;
    static constexpr DWORD kOut = 2;
    static constexpr DWORD kInStayOut = 3;
    static constexpr DWORD kMovie = 0xFFFFFFFFu;
    static constexpr DWORD kScroll = 0xFFFFFFFEu;

    KelGUID guid;
    DWORD dwType = kIn;

    // Whether the type is one of the six above.
    static bool IsKnownType(DWORD dwType);
    std::array<BYTE, kSize> Encode() const;
    // Nothing when fewer than kSize bytes are given or the type is unknown; bytes beyond kSize
    // are not read.
    static std::optional<KelPieceDragData> Decode(const void* pData, std::size_t nSize);
};

// Rubber-band selection.
class CKelMultiSelObj {
public:
    explicit CKelMultiSelObj(int mode = 0) : m_mode(mode) {}
    int GetMode() const { return m_mode; }

    // Runs the band from `press` (client point of `view`) until the button goes up, limited to
    // `limitScreen`; the normalised rectangle in client coordinates, empty when nothing was
    // dragged or there is no view.
    CRect DragRect(CWnd* view, UINT keyFlags, CPoint press, CRect limitScreen);

private:
    int m_mode;
};
