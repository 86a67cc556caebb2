// Text on a device context: measuring through the backend, and laying out DrawText (prefixes,
// alignment, word breaks and ellipsis) before the resolved text is recorded or rendered.
#include "platform/backend.h"
#include "platform/dc.h"

#include <algorithm>
#include <string>
#include <vector>

using kel::platform::DrawRecord;

namespace {

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// "&x" shows x (underlined), "&&" shows one ampersand.
std::string ResolvePrefixes(std::string text) {
    if (text.find('&') == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        out += text[i];
    }
    return out;
}

} // namespace

CSize CDC::GetTextExtent(const CString& text) const {
    if (text.IsEmpty())
        return {0, kel::platform::GetBackend().GetTextMetrics(CurrentFontDesc()).height};
    return kel::platform::GetBackend().GetTextExtent(CurrentFontDesc(), text);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
    if (!metrics)
        return FALSE;
    LOGFONT font = CurrentFontDesc();
    kel::platform::TextMetrics tm = kel::platform::GetBackend().GetTextMetrics(font);
    *metrics = TEXTMETRIC{};
    metrics->tmHeight = tm.height;
    metrics->tmAscent = tm.ascent;
    metrics->tmDescent = tm.descent;
    metrics->tmAveCharWidth = tm.aveCharWidth;
    metrics->tmMaxCharWidth = tm.aveCharWidth;
    metrics->tmWeight = font.lfWeight;
    return TRUE;
}

// Text is shown as valid UTF-8 on every backend: a name with broken bytes shows them as U+FFFD.
BOOL CDC::TextOut(int x, int y, const CString& rawText) {
    const CString text(kel::platform::ToValidUtf8(rawText.str()));
    CSize extent = GetTextExtent(text);
    CRect textRect(CPoint(x, y), extent);
    DrawRecord rec = Begin("TextOut", textRect);
    rec.from = CPoint(x, y);
    rec.text = text;
    rec.textRect = textRect;
    Emit(std::move(rec));
    return GetSafeHdc() ? TRUE : FALSE;
}

namespace {

// Cuts `line` so that it and a trailing "..." fit `width`. Every character takes at least a
// pixel, so no more than `width` of them can show: the search for the cut runs over that many
// at most, and a long text costs one measure of its whole.
std::string WithEllipsis(const CDC& dc, const std::string& line, int width) {
    if (dc.GetTextExtent(CString(line)).cx <= width)
        return line;
    std::vector<std::size_t> cuts{0}; // byte offsets where a character starts
    const std::size_t maxChars = static_cast<std::size_t>(std::max(width, 0));
    for (std::size_t i = 1; i < line.size() && cuts.size() <= maxChars; ++i)
        if (!IsUtf8Continuation(line[i]))
            cuts.push_back(i);
    const auto fits = [&](std::size_t k) {
        return dc.GetTextExtent(CString(line.substr(0, cuts[k]) + "...")).cx <= width;
    };
    // The widest cut that fits, by halving: a longer head is never narrower.
    std::size_t low = 0;
    std::size_t high = cuts.size() - 1;
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return line.substr(0, cuts[low]) + "...";
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// Breaks a line between words so that each piece fits `width`; a single word wider than the
// width stays whole, as the desktop draws it.
std::vector<std::string> WrapLine(const CDC& dc, const std::string& line, int width) {
    std::vector<std::string> out;
    std::string current;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t end = line.find(' ', i);
        std::string word = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
        std::string candidate = current.empty() ? word : current + " " + word;
        if (!current.empty() && dc.GetTextExtent(CString(candidate)).cx > width) {
            out.push_back(current);
            current = word;
        } else {
            current = candidate;
        }
        if (end == std::string::npos)
            break;
        i = end + 1;
    }
    out.push_back(current);
    return out;
}

} // namespace

int CDC::DrawText(const CString& text, const CRect& rect, UINT format) {
    CRect r = rect;
    return DrawText(text, &r, format & ~DT_CALCRECT);
}

int CDC::DrawText(const CString& text, CRect* rect, UINT format) {
    if (!rect)
        return 0;
    // A paint draws a label per material: the text is copied once and then moved along.
    std::string shown = kel::platform::ToValidUtf8(text.str());
    if (!(format & DT_NOPREFIX))
        shown = ResolvePrefixes(std::move(shown));
    std::vector<CString> lines;
    if (format & DT_SINGLELINE) {
        lines.emplace_back(std::move(shown));
    } else {
        for (std::string& line : SplitLines(shown)) {
            if (format & DT_WORDBREAK) {
                for (std::string& piece : WrapLine(*this, line, rect->Width()))
                    lines.emplace_back(std::move(piece));
            } else {
                lines.emplace_back(std::move(line));
            }
        }
    }
    if (format & DT_END_ELLIPSIS)
        for (CString& line : lines)
            line = CString(WithEllipsis(*this, line.str(), rect->Width()));

    TEXTMETRIC tm;
    GetTextMetrics(&tm);
    const int lineHeight = tm.tmHeight;
    const int totalHeight = lineHeight * static_cast<int>(lines.size());
    std::vector<int> widths;
    int maxWidth = 0;
    for (const CString& line : lines) {
        widths.push_back(line.IsEmpty() ? 0 : GetTextExtent(line).cx);
        maxWidth = std::max(maxWidth, widths.back());
    }

    if (format & DT_CALCRECT) {
        rect->right = rect->left + maxWidth;
        rect->bottom = rect->top + totalHeight;
        return totalHeight;
    }

    int top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            top = rect->top + (rect->Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            top = rect->bottom - lineHeight;
    }
    CRect textRect;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int left = rect->left;
        if (format & DT_CENTER)
            left = rect->left + (rect->Width() - widths[i]) / 2;
        else if (format & DT_RIGHT)
            left = rect->right - widths[i];
        CRect lineRect(left, top + static_cast<int>(i) * lineHeight, left + widths[i],
                       top + static_cast<int>(i + 1) * lineHeight);
        textRect = textRect.IsRectEmpty() ? lineRect : (textRect | lineRect);
    }

    DrawRecord rec = Begin("DrawText", *rect);
    if (lines.size() == 1) {
        rec.text = std::move(lines.front());
    } else {
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i)
            joined += (i ? "\n" : "") + lines[i].str();
        rec.text = CString(std::move(joined));
    }
    rec.format = format;
    rec.textRect = textRect;
    CRect inked = (format & DT_NOCLIP) ? textRect : (textRect & *rect);
    rec.visible = !inked.IsRectEmpty() && RectVisible(inked);
    Emit(std::move(rec));
    return totalHeight;
}
