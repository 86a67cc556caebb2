// A block of 32-bit colour pixels (0xAARRGGBB, rows from the top): thumbnails, rendered pieces,
// effect frames and the live output all pass through it.
#pragma once

#include "platform/geometry.h"
#include "platform/resource_types.h"
#include "platform/win_types.h"

#include <cstdint>
#include <vector>

class CKelMemBlock {
public:
    // Neither side may be larger than this; larger sizes are refused rather than allocated.
    static constexpr int kMaxSide = 16384;

    // Init flag: fill with opaque black instead of transparent black when no pixels are given.
    static constexpr int kInitOpaque = 1;

    CKelMemBlock() = default;
    CKelMemBlock(const CKelMemBlock&) = default;
    CKelMemBlock& operator=(const CKelMemBlock&) = default;
    // The block moved from is left empty.
    CKelMemBlock(CKelMemBlock&& other) noexcept;
    CKelMemBlock& operator=(CKelMemBlock&& other) noexcept;
    ~CKelMemBlock() = default;

    // Makes the block width x height, copying width*height pixels from `pixels` when it is not
    // null, else filling (see kInitOpaque). A size of 0 or less on either side makes an empty
    // block whose size the first drawing into it decides (Fit). Returns 0, leaving the block
    // as it was, when a side exceeds kMaxSide.
    int Init(int width, int height, const DWORD* pixels = nullptr, int flag = 0);
    int Init(const ImageData& image);
    // Frees the pixels; the block is empty afterwards.
    void Close();

    BOOL IsEmpty() const { return m_pixels.empty(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    CRect GetRect() const { return CRect(0, 0, m_width, m_height); }
    // Counts as a change (see GetVersion): write through the pointer before the block is
    // drawn next, not after.
    DWORD* GetBits() {
        Changed();
        return m_pixels.empty() ? nullptr : m_pixels.data();
    }
    const DWORD* GetBits() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }

    // Out-of-range reads give 0; out-of-range writes are ignored.
    DWORD GetPixel(int x, int y) const;
    void SetPixel(int x, int y, DWORD colour);
    // Fills the part of `rect` that lies in the block.
    void Fill(const CRect& rect, DWORD colour);
    void Fill(DWORD colour) { Fill(GetRect(), colour); }
    // Copies `source` with its top-left corner at (x, y), clipped to this block.
    void Copy(const CKelMemBlock& source, int x, int y);
    // Copies the part `rcSource` of `source` with its top-left corner at (x, y).
    void Copy(const CKelMemBlock& source, const CRect& rcSource, int x, int y);
    // Mixes `source` at (x, y) over this block: alpha 0 keeps this block, 255 takes the source.
    void Blend(const CKelMemBlock& source, int x, int y, int alpha);
    // An empty block takes the given size (transparent); a non-empty block is left alone.
    void Fit(int width, int height);

    ImageData ToImage() const;

    // Changes with every change of the pixels made through the members, and no two different
    // pictures share one; a copy shares its original's until either changes. Whoever keeps a
    // picture prepared from the block (for drawing, say) knows by it whether that is current.
    std::uint64_t GetVersion() const { return m_version; }

    // The same size and pixels.
    friend bool operator==(const CKelMemBlock& a, const CKelMemBlock& b) {
        return a.m_width == b.m_width && a.m_height == b.m_height && a.m_pixels == b.m_pixels;
    }

private:
    void Changed();

    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;
    std::uint64_t m_version = 0; // 0: empty since it was made
};
