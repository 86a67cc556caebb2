// In-process drag and drop of storyboard and scene data. A drag carries a registered format name
// and a pointer to a block that stays owned by whoever started the drag; drop targets read the
// pointer while the drag runs.
#pragma once

#include "platform/backend.h"
#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <cstddef>

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
