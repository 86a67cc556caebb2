// The status line: the edit dialog's caption shows the scene, the time line, the selected
// material's entry point, outlet point and length, and the storyboard's total length.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace kel::sbedit {

// The texts of the string table that the caption is built from, used exactly as loaded.
struct StatusTexts {
    CString strPrefixMark; // characters that end the host's prefix (the prefix keeps one more)
    CString strTimeLine;
    CString strTotalLength;
    CString strEntryPoint;
    CString strOutletPoint;
    CString strLength;
};

// Everything the caption shows besides the texts.
struct StatusValues {
    CString strSceneName;
    bool bFrameDisplay = false; // frame counts, else timecode
    DWORD dwTimeLine = 0;
    DWORD dwDuration = 0;
    bool bSelection = false;
    DWORD dwEntry = 0;
    DWORD dwOutlet = 0;
    DWORD dwLength = 0;
};

StatusTexts LoadStatusTexts();

// The new caption, from the caption shown now. Timecode comes from the host's video standard.
CString BuildStatusCaption(const CString& strCurrentCaption, const StatusTexts& texts,
                           const StatusValues& values);

} // namespace kel::sbedit
