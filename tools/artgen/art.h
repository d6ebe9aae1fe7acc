// Shared core of the artwork generator: a floating-point RGBA canvas, anti-aliased shapes
// described by signed distance, a small stroke font, palette reduction and the BMP/ICO
// writers. Floating point uses only + - * / and sqrt, so every IEEE machine writes the
// same bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Rgba { double r = 0, g = 0, b = 0, a = 1; };
Rgba hex(uint32_t rgb, double alpha = 1);  // 0xRRGGBB
struct Pt { double x, y; };

struct Canvas {
    int w, h;
    std::vector<Rgba> px;      // row-major, top row first, straight (not premultiplied) alpha
    bool hard = false;         // fill without anti-aliasing, for hand-pixelled 16-colour art
    Canvas(int width, int height) : w(width), h(height), px(size_t(width) * size_t(height), Rgba{0, 0, 0, 0}) {}
    Rgba& at(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
    const Rgba& at(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
};

// Shapes give the signed distance in pixels from a point to their outline, negative inside.
using Sdf = std::function<double(Pt)>;
using Paint = std::function<Rgba(Pt)>;
Sdf everywhere();
Sdf disc(Pt centre, double radius);
Sdf ring(Pt centre, double radius, double width);
Sdf line(Pt a, Pt b, double width);
Sdf polyline(const std::vector<Pt>& points, double width);
Sdf roundRect(Pt topLeft, Pt bottomRight, double radius);
Paint linear(Pt p0, Rgba c0, Pt p1, Rgba c1);  // c0 at p0 to c1 at p1, clamped beyond

void fill(Canvas& c, const Sdf& shape, const Paint& paint);  // over the canvas, soft 1-px edge
void fill(Canvas& c, const Sdf& shape, Rgba colour);
void glow(Canvas& c, const Sdf& shape, Rgba colour, double radius);  // halo; colour.a = strength

// Stroke font, `unit` pixels per font unit: x-height 5 units, capitals 7. Characters the
// font lacks throw rather than vanish from the picture.
Sdf text(const std::string& s, Pt leftBaseline, double unit, double strokeWidth);

struct Rgb8 {
    uint8_t r, g, b;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
};
using Palette = std::vector<Rgb8>;
struct Indexed {
    int w, h;
    Palette pal;
    std::vector<uint8_t> idx;  // row-major, top row first
};
enum class Dither { None, Ordered, Diffuse };
Rgb8 to8(const Rgba& c);  // colour channels only
Palette vgaPalette();
Palette systemPalette();  // the 20 colours a 256-colour screen keeps for itself
Palette medianCut(const Canvas& c, const Palette& fixed, size_t n);  // fixed first; n entries
Indexed quantise(const Canvas& c, const Palette& pal, Dither dither);

using Bytes = std::vector<uint8_t>;
Bytes bmpFile(const Indexed& im);  // 4 bpp up to 16 palette entries, else 8 bpp
struct IconImage {
    Canvas art;
    int bpp;  // 4: VGA colours with the mask from alpha; 32: BGRA with alpha
};
Bytes icoFile(const std::vector<IconImage>& images);
void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace art
