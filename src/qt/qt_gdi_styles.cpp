#include "qt/qt_gdi_styles.h"

namespace kel::qt {

std::optional<QPainter::CompositionMode> Rop2Mode(int rop2, bool rasterOps, QColor& color) {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop2) {
    case R2_NOP:
        return std::nullopt;
    case R2_BLACK:
        color = Qt::black;
        break;
    case R2_WHITE:
        color = Qt::white;
        break;
    case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_NOTXORPEN:
        mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_MASKPEN:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case R2_MERGEPEN:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case R2_NOTCOPYPEN:
        mode = QPainter::RasterOp_NotSource;
        break;
    case R2_NOTMASKPEN:
        mode = QPainter::RasterOp_NotSourceOrNotDestination;
        break;
    case R2_NOTMERGEPEN:
        mode = QPainter::RasterOp_NotSourceAndNotDestination;
        break;
    case R2_MASKNOTPEN:
        mode = QPainter::RasterOp_NotSourceAndDestination;
        break;
    case R2_MASKPENNOT:
        mode = QPainter::RasterOp_SourceAndNotDestination;
        break;
    case R2_MERGENOTPEN:
        mode = QPainter::RasterOp_NotSourceOrDestination;
        break;
    case R2_MERGEPENNOT:
        mode = QPainter::RasterOp_SourceOrNotDestination;
        break;
    default:
        break;
    }
    if (mode >= QPainter::RasterOp_SourceOrDestination && !rasterOps) {
        // A device without raster operations still has to show feedback that a second
        // drawing takes away again: the difference with white inverts, and inverting twice
        // restores, which is what XOR feedback is used for.
        mode = QPainter::CompositionMode_Difference;
        if (rop2 == R2_NOT || rop2 == R2_XORPEN || rop2 == R2_NOTXORPEN) {
            color = Qt::white;
        }
    }
    return mode;
}

Qt::BrushStyle HatchStyle(LONG hatch) {
    switch (hatch) {
    case HS_HORIZONTAL:
        return Qt::HorPattern;
    case HS_VERTICAL:
        return Qt::VerPattern;
    case HS_FDIAGONAL: // top left to bottom right
        return Qt::FDiagPattern;
    case HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case HS_CROSS:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

std::span<const int> DashPattern(UINT style) {
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return kDash;
    case PS_DOT:
        return kDot;
    case PS_DASHDOT:
        return kDashDot;
    case PS_DASHDOTDOT:
        return kDashDotDot;
    default:
        return {};
    }
}

} // namespace kel::qt
