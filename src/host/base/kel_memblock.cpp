#include "host/base/kel_memblock.h"

#include <algorithm>
#include <atomic>
#include <utility>

CKelMemBlock::CKelMemBlock(CKelMemBlock&& other) noexcept
    : m_width(std::exchange(other.m_width, 0)), m_height(std::exchange(other.m_height, 0)),
      m_pixels(std::exchange(other.m_pixels, {})), m_version(other.m_version) {
    other.Changed();
}

CKelMemBlock& CKelMemBlock::operator=(CKelMemBlock&& other) noexcept {
    if (this != &other) {
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_pixels = std::exchange(other.m_pixels, {});
        m_version = other.m_version;
        other.Changed();
    }
    return *this;
}

void CKelMemBlock::Changed() {
    static std::atomic<std::uint64_t> last{0};
    m_version = last.fetch_add(1, std::memory_order_relaxed) + 1;
}

int CKelMemBlock::Init(int width, int height, const DWORD* pixels, int flag) {
    if (width > kMaxSide || height > kMaxSide)
        return 0;
    if (width <= 0 || height <= 0) {
        Close();
        return 1;
    }
    const std::size_t nCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<DWORD> fresh;
    if (pixels != nullptr)
        fresh.assign(pixels, pixels + nCount);
    else
        fresh.assign(nCount, (flag & kInitOpaque) ? 0xFF000000u : 0u);
    m_pixels = std::move(fresh);
    m_width = width;
    m_height = height;
    Changed();
    return 1;
}

int CKelMemBlock::Init(const ImageData& image) {
    const std::size_t nNeeded =
        static_cast<std::size_t>(std::max(image.width, 0)) * std::max(image.height, 0);
    if (image.pixels.size() < nNeeded)
        return 0;
    return Init(image.width, image.height, image.pixels.empty() ? nullptr : image.pixels.data(), 0);
}

void CKelMemBlock::Close() {
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_width = 0;
    m_height = 0;
    Changed();
}

DWORD CKelMemBlock::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<std::size_t>(y) * m_width + x];
}

void CKelMemBlock::SetPixel(int x, int y, DWORD colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_pixels[static_cast<std::size_t>(y) * m_width + x] = colour;
    Changed();
}

void CKelMemBlock::Fill(const CRect& rect, DWORD colour) {
    CRect area;
    if (!area.IntersectRect(rect, GetRect()))
        return;
    Changed();
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_width + area.left,
                    area.Width(), colour);
}

void CKelMemBlock::Copy(const CKelMemBlock& source, int x, int y) {
    Copy(source, source.GetRect(), x, y);
}

void CKelMemBlock::Copy(const CKelMemBlock& source, const CRect& rcSource, int x, int y) {
    CRect from;
    if (!from.IntersectRect(rcSource, source.GetRect()))
        return;
    // Where the clipped source lands, then clipped to this block.
    CRect to(x + from.left - rcSource.left, y + from.top - rcSource.top, 0, 0);
    to.right = to.left + from.Width();
    to.bottom = to.top + from.Height();
    CRect area;
    if (!area.IntersectRect(to, GetRect()))
        return;
    Changed();
    const int dx = from.left - to.left;
    const int dy = from.top - to.top;
    for (int row = area.top; row < area.bottom; ++row) {
        const DWORD* pFrom = source.m_pixels.data() +
                             static_cast<std::size_t>(row + dy) * source.m_width + (area.left + dx);
        std::copy_n(pFrom, area.Width(),
                    m_pixels.begin() + static_cast<std::ptrdiff_t>(row) * m_width + area.left);
    }
}

void CKelMemBlock::Blend(const CKelMemBlock& source, int x, int y, int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    CRect to(x, y, x + source.m_width, y + source.m_height);
    CRect area;
    if (!area.IntersectRect(to, GetRect()))
        return;
    Changed();
    for (int row = area.top; row < area.bottom; ++row) {
        for (int col = area.left; col < area.right; ++col) {
            const DWORD s =
                source.m_pixels[static_cast<std::size_t>(row - y) * source.m_width + (col - x)];
            DWORD& d = m_pixels[static_cast<std::size_t>(row) * m_width + col];
            DWORD mixed = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int sc = static_cast<int>((s >> shift) & 0xFF);
                const int dc = static_cast<int>((d >> shift) & 0xFF);
                const int c = (dc * (255 - alpha) + sc * alpha + 127) / 255;
                mixed |= static_cast<DWORD>(c & 0xFF) << shift;
            }
            d = mixed;
        }
    }
}

void CKelMemBlock::Fit(int width, int height) {
    if (IsEmpty())
        Init(width, height, nullptr, 0);
}

ImageData CKelMemBlock::ToImage() const {
    ImageData image;
    image.width = m_width;
    image.height = m_height;
    image.pixels = m_pixels;
    return image;
}
