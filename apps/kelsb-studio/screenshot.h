// The editor rendered without a display: the studio opens it as usual and writes what its
// dialog shows to a PNG file.
#pragma once

#include <string>

namespace kel::studio {

// The dialog's client area, at this size, in the screenshot.
inline constexpr int kScreenshotWidth = 1000;
inline constexpr int kScreenshotHeight = 300;

// Opens the editor on `scenePath` (the sample when empty) and writes the dialog's client area
// to `pngPath`. False with a reason in `error`.
bool WriteScreenshot(const std::string& pngPath, const std::string& scenePath, std::string* error);

} // namespace kel::studio
