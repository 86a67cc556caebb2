#include "qt/qt_text.h"

#include <QPainter>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace kel::qt {

QFont ToQFont(const LOGFONT& font) {
    const QString face = QString::fromUtf8(font.lfFaceName.str()).toLower();
    QFont qfont;
    if (face.contains("courier") || face.contains("mono") || face.contains("fixed")) {
        qfont.setFamily("DejaVu Sans Mono");
        qfont.setStyleHint(QFont::Monospace);
    } else if (face.contains("times") || (face.contains("serif") && !face.contains("sans"))) {
        qfont.setFamily("DejaVu Serif");
        qfont.setStyleHint(QFont::Serif);
    } else {
        qfont.setFamily("DejaVu Sans");
        qfont.setStyleHint(QFont::SansSerif);
    }
    // A negative height is the character (em) height; a positive one the cell height, of
    // which the em takes about six sevenths in these families.
    int pixels = 12;
    if (font.lfHeight < 0) {
        pixels = -font.lfHeight;
    } else if (font.lfHeight > 0) {
        pixels = std::max(1, static_cast<int>(font.lfHeight) * 6 / 7);
    }
    qfont.setPixelSize(pixels);
    qfont.setBold(font.lfWeight >= 600);
    qfont.setItalic(font.lfItalic != 0);
    qfont.setUnderline(font.lfUnderline != 0);
    qfont.setKerning(false); // text is measured piece by piece and must add up
    return qfont;
}

namespace {

// Line breaks, separators, other control characters and right-to-left writing are where a
// laid-out line and QPainter::drawText part ways; texts with them draw the plain way.
bool LaysOutAsDrawn(const QString& text) {
    const QList<uint> characters = text.toUcs4();
    return std::none_of(characters.begin(), characters.end(), [](uint u) {
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029) {
            return true;
        }
        switch (QChar::direction(u)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            return false;
        }
    });
}

} // namespace

FontFace::FontFace(const QFont& font)
    : m_font(font), m_metrics(font),
      m_decorated(font.underline() || font.strikeOut() || font.overline()) {
    m_textMetrics.height = m_metrics.height();
    m_textMetrics.ascent = m_metrics.ascent();
    m_textMetrics.descent = m_metrics.descent();
    m_textMetrics.aveCharWidth = m_metrics.averageCharWidth();
}

FontFace::Shaped& FontFace::Find(const std::string& text) {
    // A text is measured and then drawn, and asked for several times on the way.
    if (m_last && m_last->first == text)
        return m_last->second;
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        if (m_texts.size() >= kKeptTexts)
            m_texts.clear();
        it = m_texts.try_emplace(text).first;
    }
    m_last = &*it; // elements stay where they are until the map is cleared
    return it->second;
}

int FontFace::Width(const std::string& text) {
    Shaped& shaped = Find(text);
    if (shaped.width < 0)
        shaped.width = m_metrics.horizontalAdvance(QString::fromUtf8(text));
    return shaped.width;
}

void FontFace::Shape(Shaped& shaped, const QString& text) const {
    shaped.drawing = Drawing::Plain;
    if (m_decorated || !LaysOutAsDrawn(text))
        return;
    QTextLayout layout(text, m_font);
    // QPainter::drawText lays text out left to right whatever it holds.
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid() || layout.lineCount() != 1 || line.textLength() != text.size())
        return;
    // The layout puts the baseline at the line's ascent; drawing puts it where asked. The
    // positions are whole 64ths, so moving them is exact.
    const qreal ascent = line.ascent();
    shaped.glyphs = line.glyphRuns();
    for (QGlyphRun& run : shaped.glyphs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position.ry() -= ascent;
        run.setPositions(positions);
    }
    shaped.drawing = Drawing::Glyphs;
    // The glyphs' outlines, and around them the pixels that antialiasing and the placing of
    // a glyph between pixels may touch.
    QRectF ink;
    for (QGlyphRun run : shaped.glyphs) {
        // The layout gave each run its line's box; without it a run measures its glyphs.
        run.setBoundingRect(QRectF());
        ink |= run.boundingRect();
    }
    shaped.reach = ink.toAlignedRect().adjusted(-kInkMargin, -kInkMargin, kInkMargin, kInkMargin);
}

QRect FontFace::Reach(const std::string& text) {
    Shaped& shaped = Find(text);
    if (shaped.drawing == Drawing::Unknown)
        Shape(shaped, QString::fromUtf8(text));
    return shaped.drawing == Drawing::Glyphs ? shaped.reach : QRect();
}

void FontFace::Draw(QPainter& painter, QPoint baseline, const std::string& text) {
    Shaped& shaped = Find(text);
    if (shaped.drawing == Drawing::Unknown)
        Shape(shaped, QString::fromUtf8(text));
    if (shaped.drawing == Drawing::Plain) {
        painter.setFont(m_font);
        painter.drawText(baseline, QString::fromUtf8(text));
        return;
    }
    for (const QGlyphRun& run : shaped.glyphs)
        painter.drawGlyphRun(baseline, run);
}

FontFace& FaceFor(const LOGFONT& font) {
    using Key = std::tuple<LONG, LONG, LONG, BYTE, BYTE, std::string>;
    // Never destroyed: Qt's fonts must not outlive the application, which ends after statics
    // of this library may.
    static auto* faces = new std::map<Key, std::unique_ptr<FontFace>>;
    // A paint draws most of its text in one font.
    static LOGFONT lastFont;
    static FontFace* last = nullptr;
    if (last && font == lastFont)
        return *last;
    const Key key{font.lfHeight, font.lfWidth,     font.lfWeight,
                  font.lfItalic, font.lfUnderline, font.lfFaceName.str()};
    auto it = faces->find(key);
    if (it == faces->end())
        it = faces->emplace(key, std::make_unique<FontFace>(ToQFont(font))).first;
    lastFont = font;
    last = it->second.get();
    return *last;
}

} // namespace kel::qt
