#include "art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace art {
namespace {

using V3 = std::array<double, 3>;
using Segments = std::vector<std::pair<Pt, Pt>>;

double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
V3 v3(const Rgb8& c) { return {double(c.r), double(c.g), double(c.b)}; }
bool transparent(const Rgba& c) { return c.a < 0.5; }
size_t stride(int w, int bpp) { return (size_t(w) * size_t(bpp) + 31) / 32 * 4; }

// Own sine so the output does not depend on the maths library's rounding.
double sinDeg(double deg)
{
    deg -= 360.0 * double(long(deg / 360.0));
    deg = deg > 180 ? deg - 360 : deg < -180 ? deg + 360 : deg;
    deg = deg > 90 ? 180 - deg : deg < -90 ? -180 - deg : deg;
    const double x = deg * (3.14159265358979323846 / 180);
    double term = x, sum = x;
    for (int k = 1; k < 10; ++k) sum += term *= -x * x / double(2 * k * (2 * k + 1));
    return sum;
}

double segmentDistance(Pt p, Pt a, Pt b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2) : 0;
    const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

// Segments go in runs of eight with a bounding box each; a run whose box is no nearer than
// the best distance so far is skipped, which keeps long texts cheap to paint.
Sdf strokes(Segments segs, double width)
{
    struct Run { double x0, y0, x1, y1; size_t begin, end; };
    std::vector<Run> runs;
    for (size_t i = 0; i < segs.size(); i += 8) {
        Run r{1e300, 1e300, -1e300, -1e300, i, std::min(i + 8, segs.size())};
        for (size_t j = i; j < r.end; ++j)
            for (const Pt& q : {segs[j].first, segs[j].second})
                r = {std::min(r.x0, q.x), std::min(r.y0, q.y), std::max(r.x1, q.x), std::max(r.y1, q.y), i, r.end};
        runs.push_back(r);
    }
    return [segs = std::move(segs), runs = std::move(runs), half = width / 2](Pt p) {
        double d = 1e9;
        for (const Run& r : runs) {
            const double bx = std::max(std::max(r.x0 - p.x, p.x - r.x1), 0.0);
            const double by = std::max(std::max(r.y0 - p.y, p.y - r.y1), 0.0);
            if (bx * bx + by * by >= d * d) continue;
            for (size_t j = r.begin; j < r.end; ++j) d = std::min(d, segmentDistance(p, segs[j].first, segs[j].second));
        }
        return d - half;
    };
}

template <class Cover>
void paintWith(Canvas& c, const Sdf& shape, const Paint& paint, Cover cover)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const Pt p{x + 0.5, y + 0.5};
            const double k = cover(shape(p));
            if (k <= 0) continue;
            const Rgba s = paint(p);
            Rgba& d = c.at(x, y);
            const double a = s.a * k, outA = a + d.a * (1 - a);  // "over", straight alpha
            if (a <= 0) continue;
            auto blend = [&](double sc, double dc) { return (sc * a + dc * d.a * (1 - a)) / outA; };
            d = {blend(s.r, d.r), blend(s.g, d.g), blend(s.b, d.b), outA};
        }
}

// Stroke font in units: baseline 0, x-height 5, capitals 7, y upwards. Paths: M x y moves,
// L x y draws a line, A cx cy rx ry from to draws an elliptical arc (degrees, either way).
struct Glyph { char ch; double advance; const char* path; };
const Glyph kGlyphs[] = {
    {' ', 1.2, ""}, {'N', 5, "M0 0L0 7L5 0L5 7"}, {'T', 4.4, "M0 7L5.4 7M2.7 7L2.7 0"},
    {'a', 5, "A2.5 2.5 2.5 2.5 0 360M5 5L5 0"}, {'c', 4.6, "A2.5 2.5 2.5 2.5 42 318"},
    {'d', 5, "A2.5 2.5 2.5 2.5 0 360M5 7.5L5 0"}, {'e', 5, "M0 2.5L5 2.5A2.5 2.5 2.5 2.5 0 318"},
    {'g', 5, "A2.5 2.5 2.5 2.5 0 360M5 5L5 -0.5A2.5 -0.5 2.5 2 0 -155"}, {'i', 0, "M0 0L0 5M0 6.9L0 6.9"},
    {'k', 4, "M0 0L0 7.5M3.8 5L0 1.5M1.5 2.9L4 0"}, {'n', 4.6, "M0 0L0 5M0 2.7A2.3 2.7 2.3 2.3 180 0L4.6 0"},
    {'o', 5, "A2.5 2.5 2.5 2.5 0 360"}, {'r', 3.2, "M0 0L0 5M0 2.7A2.6 2.7 2.6 2.3 180 65"},
    {'s', 4.2, "A2.1 3.75 2.1 1.25 30 270A2.1 1.25 2.1 1.25 90 -150"},
    {'t', 2.8, "M1 6.5L1 1A2 1 1 1 180 270L2.8 0M0 5L2.8 5"}, {'w', 6.4, "M0 5L1.6 0L3.2 4L4.8 0L6.4 5"},
};
const double kTracking = 1.7;

const Glyph& glyph(char ch)
{
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return g;
    throw std::runtime_error(std::string("no glyph for '") + ch + "'");
}

void glyphSegments(const Glyph& g, double left, Segments& out)
{
    const char* p = g.path;
    auto num = [&p] {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p) throw std::runtime_error("bad glyph path");
        p = end;
        return v;
    };
    Pt cur{left, 0};
    while (*p) {
        const char cmd = *p++;
        if (cmd == 'M' || cmd == 'L') {
            const Pt next{left + num(), num()};
            if (cmd == 'L') out.push_back({cur, next});
            cur = next;
        } else if (cmd == 'A') {
            const double cx = left + num(), cy = num(), rx = num(), ry = num(), a0 = num(), a1 = num();
            const int steps = int(std::abs(a1 - a0) / 10) + 1;
            for (int i = 0; i <= steps; ++i) {
                const double a = a0 + (a1 - a0) * i / steps;
                const Pt q{cx + rx * sinDeg(a + 90), cy + ry * sinDeg(a)};
                if (i > 0) out.push_back({cur, q});
                cur = q;
            }
        } else {
            throw std::runtime_error("bad glyph path");
        }
    }
}

double distance(const V3& va, const V3& vb)
{
    const double *a = va.data(), *b = vb.data();
    return 3 * (a[0] - b[0]) * (a[0] - b[0]) + 4 * (a[1] - b[1]) * (a[1] - b[1]) + 2 * (a[2] - b[2]) * (a[2] - b[2]);
}

size_t nearest(const std::vector<V3>& pal, const V3& t)
{
    size_t best = 0;
    double bestD = distance(t, pal[0]);
    for (size_t i = 1; i < pal.size(); ++i)
        if (const double d = distance(t, pal[i]); d < bestD) std::tie(bestD, best) = std::make_pair(d, i);
    return best;
}

int bayer8(int x, int y)
{
    int v = 0;
    for (int bit = 0; bit < 3; ++bit) v = (v << 2) | (((x ^ y) >> bit & 1) << 1) | (y >> bit & 1);
    return v;
}

// Ordered dither for an arbitrary palette: each pixel is a two-colour mix, the pair and
// ratio chosen to match the target while keeping the pair close (so the pattern stays
// calm); the threshold map then picks one of the two. A colour already in the palette
// mixes only with itself, so flat areas and text in palette colours stay solid.
struct Mix { size_t first, second; int n; };  // n: 64ths of the second colour
Mix bestMix(const std::vector<V3>& pal, const V3& t)
{
    Mix best{0, 0, 0};
    double bestScore = 1e300;
    for (size_t i = 0; i < pal.size(); ++i)
        for (size_t j = i; j < pal.size(); ++j) {
            const V3 &a = pal[i], &b = pal[j], d{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double along = (t[0] - a[0]) * d[0] + (t[1] - a[1]) * d[1] + (t[2] - a[2]) * d[2];
            const double len2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            const int n = len2 > 0 ? int(clamp01(along / len2) * 64 + 0.5) : 0;
            const V3 m{a[0] + d[0] * n / 64, a[1] + d[1] * n / 64, a[2] + d[2] * n / 64};
            const double score = distance(t, m) + distance(a, b) * (std::abs(n - 32) + 32) / 6400;
            if (score < bestScore) std::tie(bestScore, best) = std::make_pair(score, Mix{i, j, n});
        }
    return best;
}

void le(Bytes& b, std::initializer_list<std::pair<size_t, int>> fields)
{
    for (const auto& f : fields)
        for (int i = 0; i < f.second; ++i) b.push_back(uint8_t(f.first >> (8 * i)));
}

// BITMAPINFOHEADER, BI_RGB, then the palette padded to `colours` entries.
void infoHeader(Bytes& b, int w, int heightField, int bpp, size_t imageBytes, const Palette& pal, size_t colours)
{
    le(b, {{40, 4}, {size_t(w), 4}, {size_t(heightField), 4}, {1, 2}, {size_t(bpp), 2}, {0, 4},
           {imageBytes, 4}, {0, 4}, {0, 4}, {colours, 4}, {0, 4}});
    for (size_t i = 0; i < colours; ++i) {
        const Rgb8 c = i < pal.size() ? pal[i] : Rgb8{0, 0, 0};
        b.insert(b.end(), {c.b, c.g, c.r, 0});
    }
}

// Rows bottom-up, each padded to 4 bytes; the leftmost pixel is in the high bits.
void packedRows(Bytes& b, int w, int h, const std::vector<uint8_t>& idx, int bpp)
{
    for (int y = h - 1; y >= 0; --y) {
        const size_t row = b.size();
        b.resize(row + stride(w, bpp), 0);
        for (size_t x = 0, bit = 0; x < size_t(w); ++x, bit += size_t(bpp))
            b[row + bit / 8] |= uint8_t(idx[size_t(y) * size_t(w) + x] << (8 - size_t(bpp) - bit % 8));
    }
}

}  // namespace

Rgba hex(uint32_t v, double alpha)
{
    return {(v >> 16 & 255) / 255.0, (v >> 8 & 255) / 255.0, (v & 255) / 255.0, alpha};
}

Sdf everywhere() { return [](Pt) { return -1e9; }; }
Sdf disc(Pt c, double r) { return strokes({{c, c}}, 2 * r); }
Sdf line(Pt a, Pt b, double width) { return strokes({{a, b}}, width); }

Sdf ring(Pt c, double r, double width)
{
    return [=](Pt p) { return std::abs(segmentDistance(p, c, c) - r) - width / 2; };
}

Sdf polyline(const std::vector<Pt>& pts, double width)
{
    Segments segs;
    for (size_t i = 1; i < pts.size(); ++i) segs.push_back({pts[i - 1], pts[i]});
    return strokes(std::move(segs), width);
}

Sdf roundRect(Pt tl, Pt br, double r)
{
    const Pt c{(tl.x + br.x) / 2, (tl.y + br.y) / 2}, half{(br.x - tl.x) / 2 - r, (br.y - tl.y) / 2 - r};
    return [=](Pt p) {
        const double qx = std::abs(p.x - c.x) - half.x, qy = std::abs(p.y - c.y) - half.y;
        const double outside = segmentDistance({std::max(qx, 0.0), std::max(qy, 0.0)}, {0, 0}, {0, 0});
        return outside + std::min(std::max(qx, qy), 0.0) - r;
    };
}

Paint linear(Pt p0, Rgba c0, Pt p1, Rgba c1)
{
    const double dx = p1.x - p0.x, dy = p1.y - p0.y, len2 = dx * dx + dy * dy;
    return [=](Pt p) {
        const double t = clamp01(((p.x - p0.x) * dx + (p.y - p0.y) * dy) / len2);
        return Rgba{c0.r + (c1.r - c0.r) * t, c0.g + (c1.g - c0.g) * t, c0.b + (c1.b - c0.b) * t,
                    c0.a + (c1.a - c0.a) * t};
    };
}

void fill(Canvas& c, const Sdf& shape, const Paint& paint)
{
    const bool hard = c.hard;
    paintWith(c, shape, paint, [hard](double d) { return hard ? (d < 0 ? 1.0 : 0.0) : clamp01(0.5 - d); });
}

void fill(Canvas& c, const Sdf& shape, Rgba colour) { fill(c, shape, [colour](Pt) { return colour; }); }

void glow(Canvas& c, const Sdf& shape, Rgba colour, double radius)
{
    paintWith(c, shape, [colour](Pt) { return colour; },
              [radius](double d) { return clamp01(1 - d / radius) * clamp01(1 - d / radius); });
}

Sdf text(const std::string& s, Pt origin, double unit, double strokeWidth)
{
    Segments segs;
    double left = 0;
    for (char ch : s) {
        glyphSegments(glyph(ch), left, segs);
        left += glyph(ch).advance + kTracking;
    }
    for (auto& seg : segs)
        for (Pt* u : {&seg.first, &seg.second}) *u = {origin.x + u->x * unit, origin.y - u->y * unit};
    return strokes(std::move(segs), strokeWidth);
}

Rgb8 to8(const Rgba& c)
{
    auto q = [](double v) { return uint8_t(clamp01(v) * 255 + 0.5); };
    return {q(c.r), q(c.g), q(c.b)};
}

Palette vgaPalette()
{
    return {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
            {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
            {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
}

Palette systemPalette()
{
    Palette p = vgaPalette();
    p.insert(p.end(), {{192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164}});
    return p;
}

Palette medianCut(const Canvas& c, const Palette& fixed, size_t n)
{
    if (fixed.size() > n) throw std::runtime_error("more fixed colours than palette entries");
    std::map<std::array<int, 3>, uint64_t> histogram;
    for (const Rgba& p : c.px) ++histogram[{to8(p).r, to8(p).g, to8(p).b}];
    std::vector<std::pair<std::array<int, 3>, uint64_t>> e(histogram.begin(), histogram.end());
    std::vector<std::pair<size_t, size_t>> boxes;  // [first, last) ranges of e
    if (!e.empty()) boxes.push_back({0, e.size()});
    // Split the box with the most pixels times colour spread, at its weighted median.
    while (fixed.size() + boxes.size() < n) {
        size_t best = 0, ch = 0;
        uint64_t bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i)
            for (size_t k = 0; k < 3; ++k) {
                int lo = 255, hi = 0;
                uint64_t count = 0;
                for (size_t j = boxes[i].first; j < boxes[i].second; ++j) {
                    lo = std::min(lo, e[j].first[k]);
                    hi = std::max(hi, e[j].first[k]);
                    count += e[j].second;
                }
                if (uint64_t(std::max(hi - lo, 0)) * count > bestScore)
                    std::tie(bestScore, best, ch) = std::make_tuple(uint64_t(hi - lo) * count, i, k);
            }
        if (bestScore == 0) break;  // every box holds a single colour
        const size_t lo = boxes[best].first, hi = boxes[best].second;
        std::sort(e.begin() + std::ptrdiff_t(lo), e.begin() + std::ptrdiff_t(hi), [ch](const auto& x, const auto& y) {
            return std::make_pair(x.first[ch], x.first) < std::make_pair(y.first[ch], y.first);
        });
        uint64_t total = 0, acc = 0;
        for (size_t j = lo; j < hi; ++j) total += e[j].second;
        size_t split = lo + 1;
        while (split < hi - 1 && (acc += e[split - 1].second) * 2 < total) ++split;
        boxes[best].second = split;
        boxes.push_back({split, hi});
    }
    Palette pal = fixed;
    for (const auto& box : boxes) {
        uint64_t sum[3] = {0, 0, 0}, total = 0;
        for (size_t j = box.first; j < box.second; ++j) {
            for (size_t k = 0; k < 3; ++k) sum[k] += uint64_t(e[j].first[k]) * e[j].second;
            total += e[j].second;
        }
        auto avg = [&](size_t k) { return uint8_t((sum[k] + total / 2) / total); };
        pal.push_back({avg(0), avg(1), avg(2)});
    }
    pal.resize(n, Rgb8{0, 0, 0});
    return pal;
}

Indexed quantise(const Canvas& c, const Palette& pal, Dither dither)
{
    if (pal.empty() || pal.size() > 256) throw std::runtime_error("palette size");
    Indexed out{c.w, c.h, pal, std::vector<uint8_t>(c.px.size())};
    std::vector<V3> work, colours;
    for (const Rgba& p : c.px) work.push_back({p.r * 255, p.g * 255, p.b * 255});
    for (const Rgb8& p : pal) colours.push_back(v3(p));
    std::map<std::array<int, 3>, Mix> mixes;  // the mix depends on the target colour alone
    auto spread = [&](int x, int y, const V3& err, double share) {
        if (x < 0 || x >= c.w || y >= c.h) return;
        for (size_t k = 0; k < 3; ++k) work[size_t(y) * size_t(c.w) + size_t(x)][k] += err[k] * share;
    };
    for (int y = 0; y < c.h; ++y) {
        const bool back = dither == Dither::Diffuse && (y & 1);  // serpentine
        for (int i = 0; i < c.w; ++i) {
            const int x = back ? c.w - 1 - i : i, dir = back ? -1 : 1;
            const size_t at = size_t(y) * size_t(c.w) + size_t(x);
            const V3& t = work[at];
            size_t k = 0;
            if (dither == Dither::Ordered) {
                const Rgb8 q = to8(c.px[at]);
                auto m = mixes.find({q.r, q.g, q.b});
                if (m == mixes.end())
                    m = mixes.emplace(std::array<int, 3>{q.r, q.g, q.b}, bestMix(colours, v3(q))).first;
                k = bayer8(x, y) < m->second.n ? m->second.second : m->second.first;
            } else {
                k = nearest(colours, t);
            }
            out.idx[at] = uint8_t(k);
            if (dither != Dither::Diffuse) continue;
            const V3& q = colours[k], err{t[0] - q[0], t[1] - q[1], t[2] - q[2]};
            for (const auto& [dx, dy, share] : {std::tuple{dir, 0, 7.0}, {-dir, 1, 3.0}, {0, 1, 5.0}, {dir, 1, 1.0}})
                spread(x + dx, y + dy, err, share / 16);
        }
    }
    return out;
}

Bytes bmpFile(const Indexed& im)
{
    if (im.pal.empty() || im.pal.size() > 256) throw std::runtime_error("palette size");
    for (uint8_t v : im.idx)
        if (v >= im.pal.size()) throw std::runtime_error("index outside the palette");
    const int bpp = im.pal.size() <= 16 ? 4 : 8;
    const size_t colours = size_t(1) << bpp, offset = 14 + 40 + colours * 4;
    const size_t image = stride(im.w, bpp) * size_t(im.h);
    Bytes b{'B', 'M'};
    le(b, {{offset + image, 4}, {0, 4}, {offset, 4}});
    infoHeader(b, im.w, im.h, bpp, image, im.pal, colours);
    packedRows(b, im.w, im.h, im.idx, bpp);
    return b;
}

Bytes icoFile(const std::vector<IconImage>& images)
{
    Bytes dir, bodies;
    le(dir, {{0, 2}, {1, 2}, {images.size(), 2}});  // type 1: icon
    for (const IconImage& img : images) {
        const Canvas& a = img.art;
        if (a.w < 1 || a.w > 256 || a.h < 1 || a.h > 256) throw std::runtime_error("icon size");
        if (img.bpp != 4 && img.bpp != 32) throw std::runtime_error("icon images are 4 or 32 bits per pixel");
        const size_t start = bodies.size(), image = stride(a.w, img.bpp) * size_t(a.h);
        std::vector<uint8_t> mask;
        for (const Rgba& p : a.px) mask.push_back(transparent(p));
        // The height field counts the colour image and the AND mask together.
        const Palette pal = img.bpp == 4 ? vgaPalette() : Palette{};
        infoHeader(bodies, a.w, a.h * 2, img.bpp, image + stride(a.w, 1) * size_t(a.h), pal, pal.size());
        if (img.bpp == 4) {
            // Transparent pixels get colour 0 (black): screen AND 1, XOR 0 leaves the screen as is.
            Indexed q = quantise(a, pal, Dither::None);
            for (size_t i = 0; i < q.idx.size(); ++i) q.idx[i] = mask[i] ? 0 : q.idx[i];
            packedRows(bodies, a.w, a.h, q.idx, 4);
        } else {
            for (int y = a.h - 1; y >= 0; --y)
                for (int x = 0; x < a.w; ++x) {
                    const Rgb8 q = to8(a.at(x, y)), alpha = to8({a.at(x, y).a, 0, 0, 1});
                    if (alpha.r == 0) bodies.insert(bodies.end(), {0, 0, 0, 0});
                    else bodies.insert(bodies.end(), {q.b, q.g, q.r, alpha.r});
                }
        }
        // The AND mask follows every image, 32-bit ones included: the loader sizes the
        // entry as colour plus mask, and screens without alpha fall back to it.
        packedRows(bodies, a.w, a.h, mask, 1);
        // Width and height 256 are stored as 0.
        le(dir, {{size_t(a.w) & 255, 1}, {size_t(a.h) & 255, 1}, {img.bpp == 4 ? 16 : 0, 1}, {0, 1}, {1, 2},
                 {size_t(img.bpp), 2}, {bodies.size() - start, 4}, {6 + 16 * images.size() + start, 4}});
    }
    dir.insert(dir.end(), bodies.begin(), bodies.end());
    return dir;
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    f.close();
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace art
