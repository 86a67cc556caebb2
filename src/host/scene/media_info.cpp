#include "host/scene/media_info.h"

#include "platform/safe_files.h"

#include <charconv>
#include <map>
#include <mutex>
#include <sstream>
#include <string>

namespace {

constexpr const char* kDescriptorMagic = "KELMEDIA 1";
// Far more than any descriptor needs; larger files are not descriptors.
constexpr std::size_t kMaxDescriptorBytes = 4096;
constexpr int kMaxPictureSide = 16384;
constexpr long long kMaxMediaFrames = 24LL * 3600 * 60;
constexpr int kMaxScrollCoordinate = 1000000;

struct Catalogue {
    std::mutex mutex;
    std::map<CString, KelMediaEntry> entries;
};

Catalogue& TheCatalogue() {
    static Catalogue catalogue;
    return catalogue;
}

bool FindInCatalogue(const CString& name, KelMediaEntry* entry) {
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard lock(catalogue.mutex);
    auto it = catalogue.entries.find(name);
    if (it == catalogue.entries.end()) {
        return false;
    }
    *entry = it->second;
    return true;
}

bool ParseInt(const std::string& text, long long* value) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, ec] = std::from_chars(first, last, *value);
    return ec == std::errc() && end == last && !text.empty();
}

bool SaneScrollArea(const CRect& rect) {
    auto inRange = [](int v) { return v >= -kMaxScrollCoordinate && v <= kMaxScrollCoordinate; };
    return inRange(rect.left) && inRange(rect.top) && inRange(rect.right) && inRange(rect.bottom) &&
           rect.right > rect.left && rect.bottom > rect.top;
}

} // namespace

bool KelMediaEntry::operator==(const KelMediaEntry& o) const {
    if (strName != o.strName || bScroll != o.bScroll) {
        return false;
    }
    if (bScroll) {
        return scroll.rcScroll == o.scroll.rcScroll && scroll.nDirection == o.scroll.nDirection;
    }
    return movie.nWidth == o.movie.nWidth && movie.nHeight == o.movie.nHeight &&
           movie.nFrameCount == o.movie.nFrameCount;
}

namespace kel::host {

bool IsValidMediaEntry(const KelMediaEntry& entry) {
    if (entry.strName.IsEmpty()) {
        return false;
    }
    if (entry.bScroll) {
        return SaneScrollArea(entry.scroll.rcScroll) && entry.scroll.nDirection >= 0 &&
               entry.scroll.nDirection <= 3;
    }
    return entry.movie.nWidth > 0 && entry.movie.nWidth <= kMaxPictureSide &&
           entry.movie.nHeight > 0 && entry.movie.nHeight <= kMaxPictureSide &&
           entry.movie.nFrameCount > 0 && entry.movie.nFrameCount <= kMaxMediaFrames;
}

bool RegisterMedia(const KelMediaEntry& entry) {
    if (!IsValidMediaEntry(entry)) {
        return false;
    }
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard lock(catalogue.mutex);
    catalogue.entries[entry.strName] = entry;
    return true;
}

void UnregisterMedia(const CString& strName) {
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard lock(catalogue.mutex);
    catalogue.entries.erase(strName);
}

CString FormatMediaDescriptor(const KelMediaEntry& entry) {
    CString text;
    if (entry.bScroll) {
        const CRect& r = entry.scroll.rcScroll;
        text.Format("%s\nkind=scroll\nleft=%d top=%d right=%d bottom=%d direction=%d\n",
                    kDescriptorMagic, r.left, r.top, r.right, r.bottom, entry.scroll.nDirection);
    } else {
        text.Format("%s\nkind=movie\nwidth=%d height=%d\nframes=%u\n", kDescriptorMagic,
                    entry.movie.nWidth, entry.movie.nHeight,
                    static_cast<unsigned>(entry.movie.nFrameCount));
    }
    return text;
}

bool ParseMediaDescriptor(const std::string& text, const CString& strName, KelMediaEntry* pEntry) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line != kDescriptorMagic) {
        return false;
    }
    std::map<std::string, long long> values;
    std::string kind;
    std::string token;
    while (in >> token) {
        const std::size_t eq = token.find('=');
        if (eq == std::string::npos || eq == 0) {
            return false;
        }
        std::string key = token.substr(0, eq);
        std::string value = token.substr(eq + 1);
        if (key == "kind") {
            if (!kind.empty()) {
                return false;
            }
            kind = value;
            continue;
        }
        long long number = 0;
        if (!ParseInt(value, &number) || !values.emplace(key, number).second) {
            return false;
        }
    }
    auto take = [&values](const char* key, long long lo, long long hi, long long* out) {
        auto it = values.find(key);
        if (it == values.end() || it->second < lo || it->second > hi) {
            return false;
        }
        *out = it->second;
        values.erase(it);
        return true;
    };
    KelMediaEntry entry;
    entry.strName = strName;
    if (kind == "movie") {
        long long width = 0, height = 0, frames = 0;
        if (!take("width", 1, kMaxPictureSide, &width) ||
            !take("height", 1, kMaxPictureSide, &height) ||
            !take("frames", 1, kMaxMediaFrames, &frames)) {
            return false;
        }
        entry.movie.nWidth = static_cast<int>(width);
        entry.movie.nHeight = static_cast<int>(height);
        entry.movie.nFrameCount = static_cast<DWORD>(frames);
    } else if (kind == "scroll") {
        long long l = 0, t = 0, r = 0, b = 0, direction = 0;
        if (!take("left", -kMaxScrollCoordinate, kMaxScrollCoordinate, &l) ||
            !take("top", -kMaxScrollCoordinate, kMaxScrollCoordinate, &t) ||
            !take("right", -kMaxScrollCoordinate, kMaxScrollCoordinate, &r) ||
            !take("bottom", -kMaxScrollCoordinate, kMaxScrollCoordinate, &b) ||
            !take("direction", 0, 3, &direction)) {
            return false;
        }
        entry.bScroll = true;
        entry.scroll.rcScroll = CRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r),
                                      static_cast<int>(b));
        entry.scroll.nDirection = static_cast<int>(direction);
    } else {
        return false;
    }
    // Keys of the other kind or unknown keys mean this is not a descriptor we understand.
    if (!values.empty() || !IsValidMediaEntry(entry)) {
        return false;
    }
    *pEntry = entry;
    return true;
}

} // namespace kel::host

namespace {

bool LookUpMedia(const CString& strFile, KelMediaEntry* entry) {
    if (strFile.IsEmpty()) {
        return false;
    }
    if (FindInCatalogue(strFile, entry)) {
        return true;
    }
    std::string text;
    // Anything but a small regular file (a device, a pipe, a folder, a large file) fails without
    // blocking or reading much.
    return kel::platform::ReadRegularFile(strFile.GetString(), kMaxDescriptorBytes, text) ==
               kel::platform::ReadStatus::ok &&
           kel::host::ParseMediaDescriptor(text, strFile, entry);
}

} // namespace

int KelMovieGetFileInfo(const CString& strFile, KelMovieFileInfo* pInfo) {
    KelMediaEntry entry;
    if (pInfo == nullptr || !LookUpMedia(strFile, &entry) || entry.bScroll) {
        return 0;
    }
    *pInfo = entry.movie;
    return 1;
}

int KelGetScrollFileInfo(const CString& strFile, CRect* pRect, int* pDirection) {
    KelMediaEntry entry;
    if (pRect == nullptr || pDirection == nullptr || !LookUpMedia(strFile, &entry) ||
        !entry.bScroll) {
        return 0;
    }
    *pRect = entry.scroll.rcScroll;
    *pDirection = entry.scroll.nDirection;
    return 1;
}
