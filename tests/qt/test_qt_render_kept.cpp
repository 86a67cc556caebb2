// What the backend keeps between paints (shaped texts, converted bitmaps) and the background
// fills a paint defers must never show on the picture: each shortcut draws the pixels that the
// plain QPainter call, or the plain order of drawing, gives.
#include "qt/qt_backend.h"
#include "qt/qt_dc.h"
#include "qt/qt_pending_fill.h"
#include "qt/qt_text.h"

#include "platform/dc.h"
#include "platform/gdi.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using kel::qt::RecordPainter;

constexpr QSize kSize(240, 120);

std::shared_ptr<QImage> Blank(QColor colour = Qt::white) {
    auto image = std::make_shared<QImage>(kSize, QImage::Format_RGB32);
    image->fill(colour);
    return image;
}

std::unique_ptr<CQtDC> DcOn(const std::shared_ptr<QImage>& surface,
                            RecordPainter::Fills fills = RecordPainter::Fills::Immediate) {
    const CRect all(0, 0, kSize.width(), kSize.height());
    return std::make_unique<CQtDC>(surface, all, all, CQtDC::DrawnCallback{}, fills);
}

// Where two pictures part, for a readable failure.
std::string FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "first difference at " + std::to_string(x) + "," + std::to_string(y);
    return "same";
}

class KeptDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
    }
    void TearDown() override { kel::platform::SetBackend(std::move(previous)); }

    std::unique_ptr<kel::platform::Backend> previous;
};

LOGFONT Font(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0,
             BYTE underline = 0) {
    LOGFONT lf;
    lf.lfFaceName = face;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    return lf;
}

TEST_F(KeptDrawingTest, ShapedTextDrawsAndMeasuresAsQPainterDoes) {
    const std::vector<LOGFONT> fonts = {
        Font("Tahoma", -12),
        Font("Tahoma", -9, FW_BOLD),
        Font("Courier New", 16),
        Font("Times New Roman", -13, FW_NORMAL, 1),
        Font("MS Sans Serif", -12, FW_NORMAL, 0, 1), // underlined: drawn the plain way
    };
    const std::vector<std::string> texts = {
        "Track12",
        "Piece 7\\Fade In",
        "00:00:02:00",
        "  spaced  ",
        "",
        "Ünïcødé ÆØÅ ffi",
        "Ελληνικά",
        "日本語",
        "abc مرحبا 123",
        "مرحبا abc",
        "tab\there",
        "W.A.V.E...",
        "a label long enough to run past the clip on the right",
    };
    for (const LOGFONT& lf : fonts) {
        CFont font;
        font.CreateFontIndirect(&lf);
        const QFont qfont = kel::qt::ToQFont(lf);
        const QFontMetrics metrics(qfont);
        for (const std::string& text : texts) {
            const QString unicode = QString::fromUtf8(text);
            const int width = metrics.horizontalAdvance(unicode);
            // Clips wide open, across the middle of the line (as a label's band), and cutting
            // into the text at either end.
            for (const QRect& clip : {QRect(20, 10, 150, 100), QRect(20, 33, 150, 8),
                                      QRect(0, 0, 25 + width / 2, 120), QRect(26, 0, 200, 120)}) {
                SCOPED_TRACE(std::string(lf.lfFaceName.str()) + " " + std::to_string(lf.lfHeight) +
                             " '" + text + "' clip " + std::to_string(clip.x()) + "," +
                             std::to_string(clip.y()));
                auto expected = Blank();
                {
                    QPainter painter(expected.get());
                    painter.setClipRect(clip);
                    painter.setFont(qfont);
                    painter.setPen(QColor(10, 20, 200));
                    painter.drawText(QPoint(25, 30 + metrics.ascent()), unicode);
                }
                // The first draw shapes the text, the second finds it kept.
                for (int pass = 0; pass < 2; ++pass) {
                    auto surface = Blank();
                    auto dc = DcOn(surface);
                    dc->SelectObject(&font);
                    EXPECT_EQ(dc->GetTextExtent(text.c_str()).cx, width);
                    dc->IntersectClipRect(kel::qt::FromQRect(clip));
                    dc->SetBkMode(TRANSPARENT);
                    dc->SetTextColor(RGB(10, 20, 200));
                    dc->TextOut(25, 30, text.c_str());
                    dc.reset();
                    EXPECT_TRUE(*surface == *expected) << FirstDifference(*surface, *expected);
                }
            }
        }
    }
}

TEST_F(KeptDrawingTest, AChangedFontMeasuresAndDrawsInItsNewSize) {
    auto surface = Blank();
    auto dc = DcOn(surface);
    CFont font;
    LOGFONT lf = Font("Tahoma", -10);
    font.CreateFontIndirect(&lf);
    dc->SelectObject(&font);
    const int small = dc->GetTextExtent("Stay").cx;
    dc->TextOut(5, 5, "Stay");
    // The same CFont made again in another size: nothing kept for the old one may show.
    dc->SelectStockObject(SYSTEM_FONT);
    font.DeleteObject();
    lf.lfHeight = -20;
    font.CreateFontIndirect(&lf);
    dc->SelectObject(&font);
    EXPECT_EQ(dc->GetTextExtent("Stay").cx,
              QFontMetrics(kel::qt::ToQFont(lf)).horizontalAdvance("Stay"));
    EXPECT_GT(dc->GetTextExtent("Stay").cx, small);
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(RGB(255, 255, 0));
    dc->TextOut(5, 40, "Stay");
    dc.reset();
    const QFontMetrics big(kel::qt::ToQFont(lf));
    EXPECT_EQ(surface->pixel(5 + big.horizontalAdvance("Stay") - 1, 40), qRgb(255, 255, 0));
    EXPECT_EQ(surface->pixel(5, 40 + big.height() - 1), qRgb(255, 255, 0));
}

ImageData Picture(int width, int height, std::uint32_t seed, bool opaque,
                  bool uniformRows = false) {
    std::mt19937 random(seed);
    ImageData image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t alpha = opaque ? 0xFF : (i % 3 == 0 ? 0 : (i % 3 == 1 ? 0x80 : 0xFF));
        const std::uint32_t colour = uniformRows && i % width != 0
                                         ? image.pixels.back()
                                         : alpha << 24 | (random() & 0xFFFFFF);
        image.pixels.push_back(colour);
    }
    return image;
}

TEST_F(KeptDrawingTest, TextChangesNoPixelOutsideItsReach) {
    // Kept texts copy their reach and nothing else: a glyph's edge outside it would be lost.
    const std::vector<LOGFONT> fonts = {
        Font("Tahoma", -12),          Font("Tahoma", -7),
        Font("Tahoma", -13, FW_BOLD), Font("Times New Roman", -15, FW_NORMAL, 1),
        Font("Courier New", 16),      Font("Tahoma", -90), // drawn as outlines, not cached glyphs
    };
    const std::vector<std::string> texts = {"Track12",  "Wj|fq_", "Ünïcødé ÆØÅ ffi",
                                            "Ελληνικά", "日本語", "Piece 7\\Fade In"};
    for (const LOGFONT& lf : fonts) {
        kel::qt::FontFace& face = kel::qt::FaceFor(lf);
        for (const std::string& text : texts) {
            const QRect reach = face.Reach(text);
            ASSERT_FALSE(reach.isNull()) << text;
            for (const int x : {0, 1, 7}) {
                SCOPED_TRACE(std::to_string(lf.lfHeight) + " '" + text + "' at " +
                             std::to_string(x));
                QImage image(QSize(600, 200), QImage::Format_RGB32);
                image.fill(Qt::white);
                const QPoint baseline(40 + x, 120);
                {
                    QPainter painter(&image);
                    painter.setPen(Qt::black);
                    face.Draw(painter, baseline, text);
                }
                int changed = 0;
                for (int py = 0; py < image.height(); ++py) {
                    for (int px = 0; px < image.width(); ++px) {
                        if (image.pixel(px, py) == qRgb(255, 255, 255))
                            continue;
                        ++changed;
                        ASSERT_TRUE(reach.translated(baseline).contains(px, py)) << px << "," << py;
                    }
                }
                EXPECT_GT(changed, 0);
            }
        }
    }
}

TEST_F(KeptDrawingTest, KeptTextsShowWhatTheEngineDrawsWhereverTheyLand) {
    // Labels over gradients, pictures and each other, cut by clips through their glyphs, at
    // the image's edges, and drawn again: the kept ones are copied only over the very pixels
    // they were drawn over, and the picture is the plain one every time.
    LOGFONT lf = Font("Tahoma", -12);
    CFont font;
    font.CreateFontIndirect(&lf);
    const QFont qfont = kel::qt::ToQFont(lf);
    const QFontMetrics metrics(qfont);
    const ImageData pictureData = Picture(40, 30, 5, true);
    CBitmap picture;
    picture.CreateFromImage(pictureData);
    const QImage pictureImage = kel::qt::ToQImage(pictureData);
    struct Label {
        QPoint at;
        QRect clip;
        const char* text;
        QRgb color;
    };
    std::vector<Label> labels;
    std::mt19937 random(11);
    const char* texts[] = {"Group 2\\Keep(Stay)", "Track12", "Wave"};
    for (int i = 0; i < 60; ++i) {
        const QPoint at(int(random() % 260) - 20, int(random() % 130) - 10);
        // Mostly open, sometimes through the middle of the glyphs.
        const QRect clip = i % 3 == 0 ? QRect(at + QPoint(int(random() % 20), 2), QSize(30, 6))
                                      : QRect(0, 0, kSize.width(), kSize.height());
        labels.push_back({at, clip, texts[i % 3], i % 4 == 0 ? qRgb(200, 0, 0) : qRgb(0, 0, 0)});
    }
    auto paintBackground = [&](auto&& fillRow, auto&& drawPicture) {
        for (int y = 0; y < kSize.height(); ++y)
            fillRow(y, qRgb(200 - y, 220 - y / 2, 255));
        drawPicture(QRect(100, 40, 40, 30));
    };

    auto expected = Blank();
    {
        QPainter painter(expected.get());
        paintBackground(
            [&](int y, QRgb c) { painter.fillRect(QRect(0, y, kSize.width(), 1), QColor(c)); },
            [&](const QRect& r) { painter.drawImage(r, pictureImage); });
        painter.setFont(qfont);
        for (const Label& label : labels) {
            painter.setClipRect(label.clip);
            painter.setPen(QColor(label.color));
            painter.drawText(label.at + QPoint(0, metrics.ascent()), QString::fromUtf8(label.text));
        }
    }
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE("pass " + std::to_string(pass));
        auto surface = Blank();
        auto dc = DcOn(surface);
        paintBackground(
            [&](int y, QRgb c) {
                dc->FillSolidRect(CRect(0, y, kSize.width(), y + 1),
                                  RGB(qRed(c), qGreen(c), qBlue(c)));
            },
            [&](const QRect& r) {
                CDC memory;
                memory.CreateCompatibleDC(dc.get());
                CBitmap* old = memory.SelectObject(&picture);
                dc->BitBlt(r.x(), r.y(), r.width(), r.height(), &memory, 0, 0, SRCCOPY);
                memory.SelectObject(old);
            });
        dc->SelectObject(&font);
        dc->SetBkMode(TRANSPARENT);
        for (const Label& label : labels) {
            const int saved = dc->SaveDC();
            dc->IntersectClipRect(kel::qt::FromQRect(label.clip));
            dc->SetTextColor(RGB(qRed(label.color), qGreen(label.color), qBlue(label.color)));
            dc->TextOut(label.at.x(), label.at.y(), label.text);
            dc->RestoreDC(saved);
        }
        dc.reset();
        EXPECT_TRUE(*surface == *expected) << FirstDifference(*surface, *expected);
    }
}

TEST_F(KeptDrawingTest, KeptBitmapsStretchAndBlendAsTheirPlainImages) {
    // Opaque, with transparent parts, and opaque with one colour per row (a gradient).
    for (const int kind : {0, 1, 2}) {
        const bool opaque = kind != 1;
        const ImageData image = Picture(4, 16, 1 + kind, opaque, kind == 2);
        const QImage plain = kel::qt::ToQImage(image);
        CBitmap bitmap;
        bitmap.CreateFromImage(image);
        // Heights that put the nearest source row exactly on a boundary, and clips that
        // start inside the target.
        for (int height = 1; height <= 40; ++height) {
            for (const CRect& clip : {CRect(0, 0, 240, 120), CRect(13, 9, 140, 30)}) {
                SCOPED_TRACE("kind " + std::to_string(kind) + " height " + std::to_string(height));
                const CRect target(7, 5, 7 + 9 * height % 200 + 1, 5 + height);
                auto expected = Blank(QColor(40, 150, 60));
                {
                    QPainter painter(expected.get());
                    painter.setClipRect(kel::qt::ToQRect(clip));
                    painter.drawImage(kel::qt::ToQRect(target), plain, QRect(0, 0, 4, 16));
                    painter.setOpacity(0.45);
                    painter.drawImage(QRect(200, 60, 4, 16), plain, QRect(0, 0, 4, 16));
                    painter.setOpacity(1);
                    painter.drawImage(QRect(150, 90, 3 + height, 25), plain, QRect(1, 2, 2, 9));
                    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
                    painter.drawImage(QRect(100, 60, 40, 30), plain, QRect(1, 2, 2, 9));
                }
                auto surface = Blank(QColor(40, 150, 60));
                auto dc = DcOn(surface);
                dc->IntersectClipRect(clip);
                CDC memory;
                memory.CreateCompatibleDC(dc.get());
                memory.SelectObject(&bitmap);
                dc->StretchBlt(target.left, target.top, target.Width(), target.Height(), &memory, 0,
                               0, 4, 16, SRCCOPY);
                dc->DrawState(CPoint(200, 60), CSize(), &bitmap, DST_BITMAP | DSS_DISABLED);
                dc->StretchBlt(150, 90, 3 + height, 25, &memory, 1, 2, 2, 9, SRCCOPY);
                dc->StretchBlt(100, 60, 40, 30, &memory, 1, 2, 2, 9, SRCINVERT);
                dc.reset();
                EXPECT_TRUE(*surface == *expected) << FirstDifference(*surface, *expected);
            }
        }
    }
}

TEST_F(KeptDrawingTest, ABitmapShowsItsPictureAsItIsNow) {
    auto surface = Blank();
    auto dc = DcOn(surface);
    CBitmap bitmap;
    bitmap.CreateFromImage(Picture(2, 2, 3, true));
    CDC memory;
    memory.CreateCompatibleDC(dc.get());
    memory.SelectObject(&bitmap);
    dc->BitBlt(0, 0, 2, 2, &memory, 0, 0, SRCCOPY);
    bitmap.SetPixel(1, 1, 0xFF123456);
    dc->StretchBlt(0, 10, 4, 4, &memory, 0, 0, 2, 2, SRCCOPY);
    dc->BitBlt(10, 0, 2, 2, &memory, 0, 0, SRCCOPY);
    EXPECT_EQ(surface->pixel(11, 1), qRgb(0x12, 0x34, 0x56));
    // Scaled to a size it was scaled to before its change.
    dc->StretchBlt(10, 10, 4, 4, &memory, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(surface->pixel(13, 13), qRgb(0x12, 0x34, 0x56));
    // With one colour per row, it is stretched as runs of that colour; changed, it is not.
    bitmap.SetPixel(0, 1, 0xFF123456);
    bitmap.SetPixel(0, 0, 0xFFABCDEF);
    bitmap.SetPixel(1, 0, 0xFFABCDEF);
    dc->StretchBlt(30, 10, 8, 4, &memory, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(surface->pixel(37, 0 + 10), qRgb(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(surface->pixel(37, 13), qRgb(0x12, 0x34, 0x56));
    bitmap.SetPixel(1, 1, 0xFF000000);
    dc->StretchBlt(30, 10, 8, 4, &memory, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(surface->pixel(30, 13), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(surface->pixel(37, 13), qRgb(0, 0, 0));
    // Made again in the same object, with parts that let the background through.
    bitmap.DeleteObject();
    ImageData clear;
    clear.width = 2;
    clear.height = 2;
    clear.pixels = {0x00FF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000};
    bitmap.CreateFromImage(clear);
    memory.SelectObject(&bitmap);
    dc->BitBlt(20, 0, 2, 2, &memory, 0, 0, SRCCOPY);
    dc.reset();
    EXPECT_EQ(surface->pixel(20, 0), qRgb(255, 255, 255));
    EXPECT_EQ(surface->pixel(21, 0), qRgb(0, 255, 0));
    EXPECT_EQ(surface->pixel(20, 1), qRgb(0, 0, 255));
}

// The background of a view and what is painted over it: rows with bevel lines, opaque
// pictures with frames and labels on them, a label and a dotted frame on the bare background,
// a translucent picture and XOR feedback, and a second background.
void PaintScene(CDC& dc, CBitmap& opaque, CBitmap& clear) {
    CFont font;
    LOGFONT lf = Font("Tahoma", -12);
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.FillSolidRect(CRect(0, 0, 240, 100), RGB(161, 166, 170));
    CPen light(PS_SOLID, 1, RGB(223, 223, 223));
    CPen* old = dc.SelectObject(&light);
    for (int row = 0; row < 3; ++row) {
        dc.MoveTo(0, row * 30);
        dc.LineTo(240, row * 30);
        dc.MoveTo(0, row * 30 + 29);
        dc.LineTo(240, row * 30 + 29);
    }
    dc.SelectObject(old);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    memory.SelectObject(&opaque);
    for (int i = 0; i < 5; ++i) {
        const CRect material(10 + i * 45, 1 + (i % 3) * 30, 50 + i * 45, 29 + (i % 3) * 30);
        const int saved = dc.SaveDC();
        dc.IntersectClipRect(material);
        dc.StretchBlt(material.left, material.top, material.Width(), material.Height(), &memory, 0,
                      0, 4, 16, SRCCOPY);
        dc.Draw3dRect(material, RGB(230, 230, 230), RGB(50, 50, 50));
        dc.DrawText("Piece",
                    CRect(material.left + 3, material.top + 8, material.right, material.top + 20),
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        dc.RestoreDC(saved);
    }
    dc.DrawText("on the rows", CRect(150, 70, 240, 90), DT_LEFT | DT_SINGLELINE);
    CPen dots(PS_DOT, 1, RGB(255, 0, 0));
    dc.SelectObject(&dots);
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(CRect(5, 35, 120, 80));
    dc.SelectObject(old);
    dc.FillSolidRect(CRect(0, 100, 240, 120), RGB(180, 180, 180));
    memory.SelectObject(&clear);
    dc.BitBlt(30, 102, 4, 16, &memory, 0, 0, SRCCOPY);
    dc.SetROP2(R2_XORPEN);
    dc.MoveTo(120, 0);
    dc.LineTo(120, 120);
    dc.SetROP2(R2_COPYPEN);
    dc.SelectStockObject(SYSTEM_FONT);
}

TEST_F(KeptDrawingTest, DeferredBackgroundsLeaveThePictureOfPlainDrawing) {
    CBitmap opaque;
    opaque.CreateFromImage(Picture(4, 16, 4, true));
    CBitmap clear;
    clear.CreateFromImage(Picture(4, 16, 5, false));
    auto plain = Blank();
    PaintScene(*DcOn(plain), opaque, clear);
    auto deferred = Blank();
    PaintScene(*DcOn(deferred, RecordPainter::Fills::Deferred), opaque, clear);
    EXPECT_TRUE(*deferred == *plain) << FirstDifference(*deferred, *plain);
}

TEST(PendingFillTest, TheUncoveredPartsTileTheAreaOutsideTheCovers) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        const QRect area(random() % 20, random() % 20, 1 + random() % 80, 1 + random() % 60);
        kel::qt::PendingFill fill(area, qRgb(1, 2, 3));
        std::vector<QRect> covers;
        for (int i = random() % 30; i > 0; --i) {
            // Some reach past the area, some overlap, some lie inside others.
            covers.emplace_back(random() % 110 - 5, random() % 90 - 5, 1 + random() % 40,
                                1 + random() % 25);
            fill.Cover(covers.back());
        }
        std::vector<int> count(120 * 100, 0);
        fill.ForEachUncovered([&](const QRect& gap) {
            EXPECT_TRUE(area.contains(gap));
            for (int y = gap.top(); y <= gap.bottom(); ++y)
                for (int x = gap.left(); x <= gap.right(); ++x)
                    ++count[static_cast<std::size_t>(y * 120 + x)];
        });
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const bool covered = std::any_of(covers.begin(), covers.end(),
                                                 [&](const QRect& c) { return c.contains(x, y); });
                ASSERT_EQ(count[static_cast<std::size_t>(y * 120 + x)], covered ? 0 : 1)
                    << "trial " << trial << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
