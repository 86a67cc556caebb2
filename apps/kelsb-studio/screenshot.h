// The studio pictured without a display: the workspace and the editor open as on a first start
// on a desktop of a fixed size, drawn with their title bars into one PNG file.
#pragma once

#include <QRect>
#include <string>

namespace kel::studio {

// The desktop the picture shows.
inline constexpr QRect kScreenshotDesktop(0, 0, 1088, 800);

// Opens the studio on `scenePath` (the sample when empty), without reading or storing any
// settings, and writes the picture to `pngPath`. False with a reason in `error`.
bool WriteScreenshot(const std::string& pngPath, const std::string& scenePath, std::string* error);

} // namespace kel::studio
