// The framework's raster operations, hatches and pen styles in Qt's terms, as the desktop
// draws them.
#pragma once

#include "platform/dc.h"
#include "platform/gdi.h"

#include <QColor>
#include <QPainter>
#include <optional>
#include <span>

namespace kel::qt {

// The composition mode of a binary raster operation; none when nothing is to be drawn.
// `color` changes for the operations that ignore the pen's colour. Without `rasterOps` (a
// device that has none) the logical operations become the difference with the colour.
std::optional<QPainter::CompositionMode> Rop2Mode(int rop2, bool rasterOps, QColor& color);

Qt::BrushStyle HatchStyle(LONG hatch);

// On and off lengths of the cosmetic pen styles, in pixels; empty for solid pens.
std::span<const int> DashPattern(UINT style);

} // namespace kel::qt
