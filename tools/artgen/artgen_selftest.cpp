// Checks of the artwork core that comparing the outputs with the committed files cannot
// make: the file layouts Windows reads, and the palette, dither and drawing rules.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

using namespace art;

namespace {

int failures = 0;
#define CHECK(cond)                                                                   \
    ((cond) ? void(0)                                                                 \
            : (std::fprintf(stderr, "%s:%d: CHECK(%s) failed\n", __FILE__, __LINE__, #cond), \
               void(++failures)))

uint32_t rd(const Bytes& b, size_t at, int n)  // little-endian field
{
    uint32_t v = 0;
    while (n-- > 0) v = v << 8 | b.at(at + size_t(n));
    return v;
}

template <class F>
bool throws(F f)
{
    try {
        f();
    } catch (const std::exception&) {
        return true;
    }
    return false;
}

Rgba of(Rgb8 c) { return {c.r / 255.0, c.g / 255.0, c.b / 255.0, 1}; }

void bmpLayout()
{
    for (int bpp : {4, 8}) {
        const int w = 5, h = 3;  // odd width: both depths need row padding
        Indexed im{w, h, Palette(size_t(1) << bpp), {}};
        for (size_t i = 0; i < im.pal.size(); ++i) im.pal[i] = {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)};
        for (int i = 0; i < w * h; ++i) im.idx.push_back(uint8_t(i * 7 % 16));
        const Bytes b = bmpFile(im);
        const size_t stride = bpp == 4 ? 4 : 8, off = 54 + 4 * im.pal.size();
        CHECK(b.at(0) == 'B' && b.at(1) == 'M' && rd(b, 2, 4) == b.size() && b.size() == off + stride * h);
        CHECK(rd(b, 10, 4) == off && rd(b, 14, 4) == 40 && rd(b, 18, 4) == 5 && rd(b, 22, 4) == 3);
        CHECK(rd(b, 26, 2) == 1 && rd(b, 28, 2) == uint32_t(bpp) && rd(b, 30, 4) == 0 && rd(b, 34, 4) == stride * h);
        CHECK(rd(b, 46, 4) == im.pal.size() && rd(b, 54 + 4 * 3, 4) == 0x030609);  // entry 3 stored B, G, R, 0
        for (int row = 0; row < h; ++row) {  // stored bottom row first
            const size_t at = off + stride * size_t(row);
            for (int x = 0; x < w; ++x) {
                const int got = bpp == 8 ? b.at(at + size_t(x)) : b.at(at + size_t(x) / 2) >> (x & 1 ? 0 : 4) & 15;
                CHECK(got == im.idx[size_t((h - 1 - row) * w + x)]);
            }
            for (size_t pad = bpp == 8 ? 5 : 3; pad < stride; ++pad) CHECK(b.at(at + pad) == 0);
            if (bpp == 4) CHECK((b.at(at + 2) & 15) == 0);
        }
    }
    // An index past a 16-entry palette would spill into the neighbouring pixel's nibble.
    CHECK(throws([] { bmpFile({1, 1, vgaPalette(), {16}}); }));
    CHECK(throws([] { bmpFile({1, 1, Palette(257), {0}}); }));
}

void icoLayout()
{
    Canvas small(16, 16), big(256, 256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) small.at(x, y) = x < 8 ? hex(0xffffff, 0.2) : hex(0xffff00);
    big.at(0, 0) = hex(0x102030);
    big.at(1, 0) = hex(0x405060, 0.25);  // translucent: colour kept, masked for screens without alpha
    big.at(2, 0) = hex(0xffffff, 0.001);
    const Bytes b = icoFile({{small, 4}, {big, 32}});
    CHECK(rd(b, 0, 2) == 0 && rd(b, 2, 2) == 1 && rd(b, 4, 2) == 2);
    const size_t e0 = 6, e1 = 22;
    CHECK(b.at(e0) == 16 && b.at(e0 + 1) == 16 && b.at(e0 + 2) == 16 && rd(b, e0 + 4, 2) == 1 && rd(b, e0 + 6, 2) == 4);
    CHECK(b.at(e1) == 0 && b.at(e1 + 1) == 0 && b.at(e1 + 2) == 0 && rd(b, e1 + 4, 2) == 1 && rd(b, e1 + 6, 2) == 32);
    const size_t size0 = rd(b, e0 + 8, 4), off0 = rd(b, e0 + 12, 4), size1 = rd(b, e1 + 8, 4), off1 = rd(b, e1 + 12, 4);
    CHECK(off0 == 38 && size0 == 40 + 64 + 8 * 16 + 4 * 16);  // mask rows padded from 2 bytes to 4
    CHECK(off1 == off0 + size0 && size1 == 40 + 256 * 256 * 4 + 32 * 256 && off1 + size1 == b.size());
    // The height field counts colour image and mask together.
    CHECK(rd(b, off0, 4) == 40 && rd(b, off0 + 4, 4) == 16 && rd(b, off0 + 8, 4) == 32 && rd(b, off0 + 14, 2) == 4);
    CHECK(rd(b, off0 + 20, 4) == 8 * 16 + 4 * 16 && rd(b, off1 + 8, 4) == 512 && rd(b, off1 + 14, 2) == 32);
    // 4 bpp: transparent pixels are colour 0 with the mask bit set, so the screen shows through.
    const size_t xor0 = off0 + 40 + 64, and0 = xor0 + 8 * 16;
    CHECK(rd(b, off0 + 40 + 11 * 4, 4) == 0x00ffff00 && b.at(xor0) == 0 && b.at(xor0 + 4) == 0xbb);
    CHECK(rd(b, and0, 4) == 0xff);
    // 32 bpp: top row stored last, BGRA, transparent pixels all zero.
    const size_t top = off1 + 40 + 255 * 256 * 4, topMask = off1 + 40 + 256 * 256 * 4 + 255 * 32;
    CHECK(rd(b, top, 4) == 0xff102030 && rd(b, top + 4, 4) == 0x40405060 && rd(b, top + 8, 4) == 0);
    CHECK(b.at(topMask) == 0x7f && b.at(topMask + 31) == 0xff);
    CHECK(throws([] { icoFile({{Canvas(257, 257), 32}}); }));
    CHECK(throws([] { icoFile({{Canvas(16, 16), 8}}); }));
}

void quantisation()
{
    // Colours already in the palette stay exact under every dither: no speckle in flat areas.
    const Palette vga = vgaPalette();
    Canvas stripes(32, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) stripes.at(x, y) = of(vga[size_t(x % 16)]);
    for (Dither d : {Dither::None, Dither::Ordered, Dither::Diffuse}) {
        const Indexed q = quantise(stripes, vga, d);
        bool exact = true;
        for (size_t i = 0; i < q.idx.size(); ++i) exact = exact && q.idx[i] == i % 32 % 16;
        CHECK(exact);
    }
    // Greys between black and white: the ordered pattern has the grey's share of white in
    // every 8x8 tile; error diffusion has it overall.
    const Palette bw{{0, 0, 0}, {255, 255, 255}};
    for (int share : {16, 32, 48}) {
        Canvas grey(64, 64);
        std::fill(grey.px.begin(), grey.px.end(), Rgba{share / 64.0, share / 64.0, share / 64.0, 1});
        const Indexed ordered = quantise(grey, bw, Dither::Ordered), diffused = quantise(grey, bw, Dither::Diffuse);
        for (int ty = 0; ty < 64; ty += 8)
            for (int tx = 0; tx < 64; tx += 8) {
                int white = 0;
                for (int i = 0; i < 64; ++i) white += ordered.idx[size_t((ty + i / 8) * 64 + tx + i % 8)];
                CHECK(white == share);
            }
        CHECK(std::abs(std::count(diffused.idx.begin(), diffused.idx.end(), 1) - 64 * share) <= 32);
    }
}

void medianCutRules()
{
    // Few colours: fixed ones first, then each picture colour exactly, then padding.
    const Rgb8 a{200, 10, 10}, b{10, 200, 10}, c{10, 10, 200};
    Canvas few(10, 1);
    for (int x = 0; x < 10; ++x) few.at(x, 0) = of(x < 6 ? a : x < 9 ? b : c);
    const Palette fixed{{0, 0, 0}, {255, 255, 255}}, p = medianCut(few, fixed, 8);
    CHECK(p.size() == 8 && p[0] == fixed[0] && p[1] == fixed[1]);
    for (Rgb8 want : {a, b, c}) CHECK(std::count(p.begin() + 2, p.begin() + 5, want) == 1);
    CHECK(std::count(p.begin() + 5, p.end(), Rgb8{0, 0, 0}) == 3);
    // A smooth ramp gets its entries spread along it, so no level is far from an entry.
    Canvas ramp(256, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 256; ++x) ramp.at(x, y) = of({uint8_t(x), uint8_t(x), uint8_t(x)});
    const Palette q = medianCut(ramp, {}, 16);
    const Indexed im = quantise(ramp, q, Dither::None);
    int worst = 0;
    for (int x = 0; x < 256; ++x) worst = std::max(worst, std::abs(q[im.idx[size_t(x)]].r - x));
    CHECK(q.size() == 16 && worst <= 9);
    CHECK(throws([] { medianCut(Canvas(1, 1), Palette(3), 2); }));
}

void drawing()
{
    // Anti-aliased coverage adds up to the shape's area; a hard canvas stays at 0 or 1.
    for (bool hard : {false, true}) {
        Canvas c(20, 20);
        c.hard = hard;
        fill(c, disc({10, 10}, 5), hex(0xffffff));
        double area = 0;
        bool binary = true;
        for (const Rgba& p : c.px) {
            area += p.a;
            binary = binary && (p.a < 1e-9 || p.a > 1 - 1e-9);
        }
        CHECK(std::abs(area - 3.14159265 * 25) < (hard ? 4 : 0.6));
        CHECK(binary == hard);
    }
    // Arcs come out round and closed: every inked pixel of an 'o' lies on its circle, and
    // the circle is inked all the way round.
    Canvas o(40, 40);
    fill(o, text("o", {8, 32}, 5, 1.5), hex(0xffffff));
    const double cx = 8 + 12.5, cy = 32 - 12.5;
    bool onCircle = true;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (o.at(x, y).a > 0.5)
                onCircle = onCircle && std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - 12.5) < 1.5;
    CHECK(onCircle);
    for (int deg = 0; deg < 360; deg += 15) {
        const double rad = deg * 3.14159265 / 180;
        CHECK(o.at(int(cx + 12.5 * std::cos(rad)), int(cy + 12.5 * std::sin(rad))).a > 0.3);
    }
    // A character the font lacks is refused rather than left out of the picture.
    CHECK(throws([] { text("Tracewick?", {0, 0}, 1, 1); }));
}

// The page pictures as committed: the size each page's layout leaves for it, 4 bpp on the
// VGA colours, light corners that blend into the dialog, and no two alike (a page wired to
// the wrong drawing would still reproduce byte for byte).
void pagePictures(const std::string& dir)
{
    const struct { const char* name; int w, h; } pages[] = {
        {"page_ping.bmp", 57, 42},    {"page_tracert.bmp", 57, 42},     {"page_lookup.bmp", 57, 42},
        {"page_routes.bmp", 52, 40},  {"page_arp.bmp", 54, 42},         {"page_netbios.bmp", 52, 40},
        {"page_connections.bmp", 52, 40}, {"page_statistics.bmp", 57, 42},
    };
    std::vector<Bytes> seen;
    for (const auto& page : pages) {
        std::ifstream f(dir + "/" + page.name, std::ios::binary);
        const Bytes b{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        if (b.size() < 54 + 64) {
            std::fprintf(stderr, "%s: missing or truncated\n", page.name);
            ++failures;
            continue;
        }
        const int w = int(rd(b, 18, 4)), h = int(rd(b, 22, 4));
        const size_t off = rd(b, 10, 4), stride = size_t(w + 7) / 8 * 4;
        CHECK(w == page.w && h == page.h && rd(b, 28, 2) == 4 && rd(b, 46, 4) == 16 && b.size() == off + stride * size_t(h));
        if (w != page.w || h != page.h || b.size() != off + stride * size_t(h)) continue;
        const Palette vga = vgaPalette();
        for (size_t i = 0; i < 16; ++i) CHECK(rd(b, 54 + 4 * i, 4) == uint32_t(vga[i].r << 16 | vga[i].g << 8 | vga[i].b));
        auto colour = [&](int x, int y) {
            return vga[size_t(b.at(off + stride * size_t(h - 1 - y) + size_t(x) / 2) >> (x & 1 ? 0 : 4) & 15)];
        };
        for (int y : {0, h - 1})
            for (int x : {0, w - 1}) CHECK(colour(x, y) == (Rgb8{255, 255, 255}));
        const Bytes pixels(b.begin() + std::ptrdiff_t(off), b.end());
        CHECK(std::find(seen.begin(), seen.end(), pixels) == seen.end());
        seen.push_back(pixels);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bmpLayout();
    icoLayout();
    quantisation();
    medianCutRules();
    drawing();
    if (argc > 1) pagePictures(argv[1]);  // the committed res/art
    if (failures) std::fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
