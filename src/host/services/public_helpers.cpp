#include "host/services/public_helpers.h"

#include "host/base/kel_memblock.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/lru_cache.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>

int KelPublicDoesFileExist(const CString& path) {
    if (path.IsEmpty())
        return 0;
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path.str()), error) ? 1 : 0;
}

int KelPublicDrawBitmap(CDC* dc, const CRect& dest, CBitmap* bitmap, DWORD rop) {
    if (!dc || !bitmap || !bitmap->GetSafeHandle() || dest.IsRectEmpty())
        return 0;
    const CSize size = bitmap->GetSize();
    if (size.cx <= 0 || size.cy <= 0)
        return 0;
    // A timeline draws a picture on every material in sight, and making a memory DC for each
    // cost more than the drawing's record. Every memory DC is alike; this one is handed back
    // as it was found, with no caller's bitmap left selected in it.
    thread_local CDC memory;
    if (!memory.GetSafeHdc() && !memory.CreateCompatibleDC(dc))
        return 0;
    const int saved = memory.SaveDC();
    memory.SelectObject(bitmap);
    const BOOL drawn = dc->StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), &memory, 0,
                                      0, size.cx, size.cy, rop);
    memory.RestoreDC(saved);
    return drawn ? 1 : 0;
}

int KelPublicDrawBitmap(CDC* dc, const CRect& dest, const ImageData* image, DWORD rop) {
    if (!image || image->width <= 0 || image->height <= 0)
        return 0;
    CBitmap bitmap;
    if (!bitmap.CreateFromImage(*image))
        return 0;
    return KelPublicDrawBitmap(dc, dest, &bitmap, rop);
}

int KelPublicDrawBitmap(CDC* dc, const CRect& dest, const CKelMemBlock* image, DWORD rop) {
    if (!dc || !image || image->IsEmpty() || dest.IsRectEmpty())
        return 0;
    // A timeline shows a thumbnail on every material in sight at every repaint. Each block's
    // bitmap is kept while the block is unchanged, so that a repaint neither copies the
    // pixels again nor hands the backend a picture it has not seen (which it would prepare
    // afresh); a few screens' worth are kept.
    thread_local kel::LruCache<std::uint64_t, std::unique_ptr<CBitmap>> kept(4096, 64u << 20);
    std::unique_ptr<CBitmap>* bitmap = kept.Find(image->GetVersion());
    if (!bitmap) {
        auto made = std::make_unique<CBitmap>();
        if (!made->CreateFromImage(image->ToImage()))
            return 0;
        const std::size_t bytes =
            std::size_t(4) * std::size_t(image->GetWidth()) * std::size_t(image->GetHeight());
        bitmap = &kept.Insert(image->GetVersion(), std::move(made), bytes);
    }
    return KelPublicDrawBitmap(dc, dest, bitmap->get(), rop);
}

int KelPublicMemZoom(const CKelMemBlock* source, CKelMemBlock* target) {
    if (!source || !target || source->IsEmpty() || target->IsEmpty())
        return 0;
    const int sw = source->GetWidth(), sh = source->GetHeight();
    const int tw = target->GetWidth(), th = target->GetHeight();
    const DWORD* from = source->GetBits();
    DWORD* to = target->GetBits();
    for (int y = 0; y < th; ++y) {
        // Sample at pixel centres so that shrinking by whole factors picks evenly spread pixels.
        const long long sy = (static_cast<long long>(y) * 2 + 1) * sh / (2LL * th);
        for (int x = 0; x < tw; ++x) {
            const long long sx = (static_cast<long long>(x) * 2 + 1) * sw / (2LL * tw);
            to[static_cast<long long>(y) * tw + x] = from[sy * sw + sx];
        }
    }
    return 1;
}
