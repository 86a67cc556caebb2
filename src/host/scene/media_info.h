// What the host knows of a movie or scroll file by its name.
//
// A name is first looked up in the media catalogue: descriptions that scenes carry with them
// for the media they use, so a scene plays the same wherever it is opened. Otherwise the name
// is a file on disk holding a small media descriptor:
//
//     KELMEDIA 1
//     kind=movie            (or scroll)
//     width=720             height=576           (movie: picture size)
//     frames=250            (movie: length in frames)
//     left=0 top=0 right=720 bottom=2000 direction=0   (scroll: scrolled area, 0..3)
//
// one key=value per line. Anything else (a missing or unreadable file, another format, a key
// missing or out of range, a file larger than a descriptor can be) is refused.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <vector>

struct KelMovieFileInfo {
    int nWidth = 0;
    int nHeight = 0;
    DWORD nFrameCount = 0;
};

struct KelScrollFileInfo {
    CRect rcScroll;
    int nDirection = 0; // 0 up, 1 down, 2 left, 3 right
};

// A media description as a scene carries it.
struct KelMediaEntry {
    CString strName;
    bool bScroll = false;
    KelMovieFileInfo movie;   // when !bScroll
    KelScrollFileInfo scroll; // when bScroll

    bool operator==(const KelMediaEntry& o) const;
};

// Both return 1 and fill the result, or 0 and leave it untouched.
int KelMovieGetFileInfo(const CString& strFile, KelMovieFileInfo* pInfo);
int KelGetScrollFileInfo(const CString& strFile, CRect* pRect, int* pDirection);

namespace kel::host {

// Checks a description's values (sizes and lengths positive and bounded, a normalised non-empty
// scroll area, a direction 0..3, a non-empty name).
bool IsValidMediaEntry(const KelMediaEntry& entry);

// Adds or replaces a catalogue entry; refuses (false) an invalid one.
bool RegisterMedia(const KelMediaEntry& entry);
void UnregisterMedia(const CString& strName);

// The descriptor text for an entry, as files on disk hold it.
CString FormatMediaDescriptor(const KelMediaEntry& entry);
// Parses descriptor text; false for anything that is not a valid descriptor.
bool ParseMediaDescriptor(const std::string& text, const CString& strName, KelMediaEntry* pEntry);

} // namespace kel::host
