// The timeline's own pictures (track header icons, material backgrounds, marker handles, the
// time line head) and the assembly of every bitmap of the module.
#include "res/builders.h"
#include "res/pixel_art.h"
#include "res/resource.h"

namespace kel::res::detail {
namespace {

struct SizedArt {
    UINT id;
    int width;
    int height;
    const char* rows;
};

// Backgrounds are stretched over a whole material, so only their vertical shading matters:
// a highlight on top, a light and a dark half, a shadow line at the bottom.
// clang-format off
constexpr SizedArt kPictures[] = {
    {IDB_TRACK_PLAY_ALLOWED, 16, 16, R"(
        ................
        ...GG...........
        ..GggGG.........
        ..GggggGG.......
        ..GggggggGG.....
        ..GggggggggGG...
        ..GggggggggggGG.
        ..GggggggggggggG
        ..GggggggggggggG
        ..GggggggggggGG.
        ..GggggggggGG...
        ..GggggggGG.....
        ..GggggGG.......
        ..GggGG.........
        ...GG...........
        ................
    )"},
    {IDB_TRACK_PLAY_FORBIDDEN, 16, 16, R"(
        ................
        ...22...........
        ..23322......rr.
        ..2333322...rr..
        ..233333322rr...
        ..23333333rr2...
        ..2333333rr3322.
        ..233333rr333332
        ..23333rr3333332
        ..2333rr3333322.
        ..233rr333322...
        ..23rr33322.....
        ..2rr3322.......
        ..rr322.........
        ...22...........
        ................
    )"},
    {IDB_TRACK_LOCKED, 16, 16, R"(
        ................
        .....222222.....
        ....22....22....
        ....22....22....
        ....22....22....
        ....22....22....
        ...Y22YYYY22Y...
        ..YyyyyyyyyyyY..
        ..YyyyyyyyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyyyyyyyyY..
        ..YyyyyyyyyyyY..
        ...YYYYYYYYYY...
    )"},
    {IDB_TRACK_UNLOCKED, 16, 16, R"(
        .....222222.....
        ....22....22....
        ....22....22....
        ....22..........
        ....22..........
        ....22..........
        ...Y22YYYYYYY...
        ..YyyyyyyyyyyY..
        ..YyyyyyyyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyykkyyyyY..
        ..YyyyyyyyyyyY..
        ..YyyyyyyyyyyY..
        ...YYYYYYYYYY...
    )"},
    {IDB_MATERIAL_IN, 4, 16, R"(
        wwww
        iiii
        iiii
        iiii
        iiii
        iiii
        iiii
        iiii
        IIII
        IIII
        IIII
        IIII
        IIII
        IIII
        IIII
        1111
    )"},
    {IDB_MATERIAL_STAY, 4, 16, R"(
        wwww
        ssss
        ssss
        ssss
        ssss
        ssss
        ssss
        ssss
        SSSS
        SSSS
        SSSS
        SSSS
        SSSS
        SSSS
        SSSS
        1111
    )"},
    {IDB_MATERIAL_OUT, 4, 16, R"(
        wwww
        uuuu
        uuuu
        uuuu
        uuuu
        uuuu
        uuuu
        uuuu
        UUUU
        UUUU
        UUUU
        UUUU
        UUUU
        UUUU
        UUUU
        1111
    )"},
    {IDB_RANGE_START, 6, 10, R"(
        kkkkk.
        kyyyyk
        kyyyyk
        kyyyyk
        kyyyyk
        kyyyyk
        kyyyk.
        kyyk..
        kyk...
        kk....
    )"},
    {IDB_RANGE_END, 6, 10, R"(
        .kkkkk
        kyyyyk
        kyyyyk
        kyyyyk
        kyyyyk
        kyyyyk
        .kyyyk
        ..kyyk
        ...kyk
        ....kk
    )"},
    {IDB_TIMELINE_HEAD, 11, 8, R"(
        kkkkkkkkkkk
        krrrrrrrrrk
        .krrrrrrrk.
        ..krrrrrk..
        ...krrrk...
        ....krk....
        .....k.....
        .....k.....
    )"},
};
// clang-format on

ImageData ParseOrFail(UINT id, const char* rows) {
    ArtResult parsed = ParseArt(rows, ArtPalette());
    if (!parsed.ok()) {
        Fail("bitmap " + std::to_string(id) + ": " + parsed.error);
    }
    return std::move(parsed.image);
}

void Insert(ModuleResources& res, UINT id, ImageData image) {
    if (!res.bitmaps.emplace(id, std::move(image)).second) {
        Fail("bitmap " + std::to_string(id) + " is defined twice");
    }
}

} // namespace

void AddBitmaps(ModuleResources& res) {
    for (const SizedArt& art : kPictures) {
        ImageData image = ParseOrFail(art.id, art.rows);
        if (image.width != art.width || image.height != art.height) {
            Fail("bitmap " + std::to_string(art.id) + " is " + std::to_string(image.width) + "x" +
                 std::to_string(image.height) + ", expected " + std::to_string(art.width) + "x" +
                 std::to_string(art.height));
        }
        Insert(res, art.id, std::move(image));
    }
    for (const ArtSource& glyph : ButtonGlyphs()) {
        ArtResult strip = MakeButtonStrip(ParseOrFail(glyph.id, glyph.rows));
        if (!strip.ok()) {
            Fail("bitmap " + std::to_string(glyph.id) + ": " + strip.error);
        }
        Insert(res, glyph.id, std::move(strip.image));
    }
}

} // namespace kel::res::detail
