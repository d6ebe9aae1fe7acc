// artgen OUTDIR: renders every Tracewick bitmap and the icon into OUTDIR.
// A new picture is one function drawing a Canvas plus one row in kOutputs.
#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <utility>

using namespace art;

namespace {

// The motif: hosts joined by links, one route between two hosts picked out.
struct Net {
    std::vector<Pt> nodes;
    std::vector<std::pair<int, int>> links;
    std::vector<int> route;
};

struct Style {
    double link, node, rim, core, route, halo, endRing;  // widths and radii in pixels; 0 for none
    Rgba linkColour, nodeFill, nodeRim, routeColour, haloColour;
};

void drawNet(Canvas& c, const Net& net, Pt origin, double scale, const Style& s)
{
    auto at = [&](int i) {
        return Pt{origin.x + net.nodes[size_t(i)].x * scale, origin.y + net.nodes[size_t(i)].y * scale};
    };
    for (const auto& l : net.links) fill(c, line(at(l.first), at(l.second), s.link), s.linkColour);
    std::vector<Pt> path;
    for (int i : net.route) path.push_back(at(i));
    if (s.halo > 0) glow(c, polyline(path, s.route), s.haloColour, s.halo);
    fill(c, polyline(path, s.route), s.routeColour);
    for (int i = 0; i < int(net.nodes.size()); ++i) {
        fill(c, disc(at(i), s.node), s.nodeFill);
        if (s.rim > 0) fill(c, ring(at(i), s.node - s.rim / 2, s.rim), s.nodeRim);
    }
    for (int i : net.route)
        if (s.core > 0) fill(c, disc(at(i), s.core), s.routeColour);
    for (int end : {net.route.front(), net.route.back()})
        if (s.endRing > 0) fill(c, ring(at(end), s.endRing, s.rim), s.routeColour);
}

const Rgba kDeep = hex(0x0b1930), kSea = hex(0x17557a), kAmber = hex(0xffb648), kSky = hex(0xa6cde8);

// Nodes in a unit square for the icons and the program picture: on pixel centres at 32 px
// and on pixel corners at 16 px, so the hard-edged 16-colour versions come out symmetric.
const Net kIconNet{{{7.5 / 32, 23.5 / 32}, {14.5 / 32, 13.5 / 32}, {24.5 / 32, 8.5 / 32}, {24.5 / 32, 23.5 / 32},
                    {7.5 / 32, 8.5 / 32}},
                   {{0, 3}, {1, 3}, {2, 3}, {4, 1}, {4, 0}, {0, 1}, {1, 2}}, {0, 1, 2}};
const Net kTinyNet{{{4.0 / 16, 11.0 / 16}, {8.0 / 16, 5.0 / 16}, {12.0 / 16, 10.0 / 16}}, {{0, 1}, {1, 2}}, {0, 1, 2}};

// Colours of one rendering; the 16-colour one keeps to VGA colours and to gradients along
// a single pair of them, so its dither patterns stay calm.
struct Look {
    Rgba from, to, light, title, subtitle;
    Style net;
};
const Look kTrue{kDeep, kSea, hex(0x3a88b0, 0.30), hex(0xffffff), kSky,
                 {1.3, 4.2, 1.6, 2.3, 2.6, 10, 8, hex(0xa6cde8, 0.45), kDeep, kSky, kAmber, hex(0xffa030, 0.35)}};
const Look kVga{hex(0x000018), hex(0x000080), hex(0x0000ff, 0.35), hex(0xffffff), hex(0xc0c0c0),
                {1.3, 4.2, 1.6, 2.3, 2.6, 0, 8, hex(0x008080), hex(0x000000), hex(0x00ffff), hex(0xffff00), {}}};

Canvas splash(const Look& look)
{
    Canvas c(381, 182);
    fill(c, everywhere(), linear({0, 0}, look.from, {381, 182}, look.to));
    glow(c, disc({305, 95}, 20), look.light, 130);
    const Net net{{{248, 34}, {302, 22}, {356, 46}, {276, 86}, {334, 94}, {368, 124},
                   {246, 142}, {300, 154}, {352, 164}},
                  {{0, 1}, {1, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {2, 5}, {3, 4},
                   {3, 6}, {3, 7}, {4, 7}, {4, 5}, {5, 8}, {6, 7}, {7, 8}, {4, 8}},
                  {6, 3, 4, 2}};
    drawNet(c, net, {0, 0}, 1, look.net);
    glow(c, text("Tracewick", {20, 97}, 3.8, 4.0), hex(0x000814, 0.35), 6);
    fill(c, text("Tracewick", {20, 97}, 3.8, 4.0), look.title);
    fill(c, text("Network diagnostics", {22, 126}, 1.7, 1.5), look.subtitle);
    return c;
}

// The icon tile; the 16-colour version is hard-edged in flat VGA colours so it stays crisp.
Canvas iconArt(int px, bool vga)
{
    Canvas c(px, px);
    c.hard = vga;
    const double m = px * 0.03, s = px;
    fill(c, roundRect({m, m}, {s - m, s - m}, s * 0.2),
         vga ? Paint([](Pt) { return hex(0x000080); }) : linear({0, 0}, hex(0x2b76a6), {0, s}, hex(0x0b2242)));
    Style st = vga ? Style{s / 32, s * 0.1, s / 20, s * 0.05, s / 12, 0, 0, hex(0x008080), hex(0x000080),
                           hex(0xffffff), hex(0xffff00), {}}
                   : Style{s * 0.035, s * 0.09, s * 0.035, s * 0.05, s * 0.07, s * 0.14, px > 48 ? s * 0.15 : 0,
                           hex(0xa6cde8, 0.6), hex(0x0d2a4a), kSky, kAmber, hex(0xffa030, 0.4)};
    if (px <= 16)  // too small for rims: solid hosts on a bolder route
        st = {0, 2, 0, 0, 1.8, 0, 0, {}, vga ? hex(0xffffff) : kSky, {}, st.routeColour, {}};
    drawNet(c, px <= 16 ? kTinyNet : kIconNet, {0, 0}, s, st);
    return c;
}

Canvas programPicture()
{
    Canvas c(57, 53);
    fill(c, everywhere(), linear({0, 0}, kVga.from, {57, 53}, kVga.to));
    c.hard = true;  // the gradient dithers; the motif stays in solid VGA colours
    drawNet(c, kIconNet, {-4, -6}, 64,
            {1.2, 3.6, 1.4, 1.8, 2.2, 0, 0, hex(0x008080), hex(0x000000), hex(0x00ffff), hex(0xffff00), {}});
    return c;
}

// Page pictures: the motif in flat VGA colours, hard-edged so it stays crisp at this size,
// on a flat navy tile. The corners outside the tile are white, the VGA colour nearest the
// dialog's light grey, so the tile reads as rounded on the page.
const Rgba kNavy = hex(0x000080), kTeal = hex(0x008080), kCyan = hex(0x00ffff), kYellow = hex(0xffff00),
           kWhite = hex(0xffffff), kSilver = hex(0xc0c0c0), kBlack = hex(0x000000), kBlue = hex(0x0000ff);

Canvas tile(int w, int h)
{
    Canvas c(w, h);
    c.hard = true;
    fill(c, everywhere(), kWhite);
    fill(c, roundRect({0, 0}, {double(w), double(h)}, 5), kNavy);
    return c;
}

// A host: black with a cyan rim; a yellow core marks the ones the page is about.
void host(Canvas& c, Pt p, double r, bool hot = false)
{
    fill(c, disc(p, r), kBlack);
    fill(c, ring(p, r - 0.7, 1.4), kCyan);
    if (hot) fill(c, disc(p, r * 0.5), kYellow);
}

Sdf triangle(Pt a, Pt b, Pt c)  // inside where all three edges agree; exact enough for hard fills
{
    const double turn = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) > 0 ? 1 : -1;  // either winding
    return [=](Pt p) {
        double d = -1e9;
        for (auto [u, v] : {std::pair{a, b}, {b, c}, {c, a}}) {
            const double ex = v.x - u.x, ey = v.y - u.y;
            d = std::max(d, turn * ((p.x - u.x) * ey - (p.y - u.y) * ex) / std::sqrt(ex * ex + ey * ey));
        }
        return d;
    };
}

// Horizontal arrow from x0 to its tip at x1.
void arrow(Canvas& c, double x0, double x1, double y, double width, Rgba colour)
{
    const double head = x1 > x0 ? x1 - 5 : x1 + 5;
    fill(c, line({x0, y}, {head, y}, width), colour);
    fill(c, triangle({head, y - 4}, {x1, y}, {head, y + 4}), colour);
}

Canvas pagePing()
{
    Canvas c = tile(57, 42);
    fill(c, line({10.5, 21.5}, {46.5, 21.5}, 1), kTeal);
    arrow(c, 18, 39, 14, 2, kYellow);
    arrow(c, 39, 18, 29, 2, kCyan);
    host(c, {9.5, 21.5}, 5.5, true);
    host(c, {47.5, 21.5}, 5.5, true);
    return c;
}

Canvas pageTracert()
{
    Canvas c = tile(57, 42);
    const Net net{{{8.5, 32.5}, {18.5, 13.5}, {29.5, 28.5}, {39.5, 10.5}, {48.5, 28.5}, {7.5, 10.5}, {27.5, 5.5},
                   {20.5, 36.5}, {49.5, 8.5}},
                  {{0, 5}, {5, 1}, {1, 6}, {6, 3}, {0, 7}, {7, 2}, {3, 8}, {8, 4}, {7, 4}},
                  {0, 1, 2, 3, 4}};
    drawNet(c, net, {0, 0}, 1, {1, 3.5, 1.4, 1.6, 2, 0, 0, kTeal, kBlack, kCyan, kYellow, {}});
    fill(c, ring({48.5, 28.5}, 5.5, 1.2), kYellow);
    return c;
}

Canvas pageLookup()
{
    Canvas c = tile(57, 42);
    const Net net{{{8.5, 9.5}, {10.5, 31.5}, {49.5, 24.5}, {47.5, 7.5}, {30.5, 18.5}},
                  {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {0, 1}, {2, 3}}, {4}};
    drawNet(c, net, {0, 0}, 1, {1, 3.5, 1.4, 0, 0, 0, 0, kTeal, kBlack, kCyan, kYellow, {}});
    const Pt lens{30.5, 18.5};
    fill(c, disc(lens, 10), kBlue);
    host(c, lens, 5.5, true);
    fill(c, ring(lens, 10, 2.4), kWhite);
    fill(c, line({38, 26}, {46, 34}, 4), kSilver);
    return c;
}

Canvas pageRoutes()
{
    Canvas c = tile(52, 40);
    const Pt from{8.5, 20.5}, fork{21.5, 20.5};
    const Pt to[] = {{44.5, 8.5}, {44.5, 20.5}, {44.5, 32.5}};
    for (const Pt& t : to) fill(c, polyline({fork, {29.5, t.y}, t}, 1), kTeal);
    fill(c, polyline({from, fork, {29.5, 8.5}, to[0]}, 2), kYellow);
    host(c, from, 4.5, true);
    fill(c, disc(fork, 2.5), kCyan);
    for (const Pt& t : to) host(c, t, 3.5, t.y == to[0].y);
    return c;
}

Canvas pageArp()
{
    Canvas c = tile(54, 42);
    const double bus = 27.5;
    fill(c, line({5, bus}, {49, bus}, 2), kTeal);
    for (double x : {5.5, 48.5}) fill(c, line({x, bus - 3}, {x, bus + 3}, 1), kCyan);
    fill(c, line({14.5, bus}, {38.5, bus}, 2), kYellow);
    const Pt hosts[] = {{14.5, 12.5}, {26.5, 12.5}, {38.5, 12.5}, {20.5, 36.5}, {32.5, 36.5}};
    for (const Pt& h : hosts) {
        const bool hot = h.x == 14.5 || h.x == 38.5;
        fill(c, line({h.x, h.y}, {h.x, bus}, hot ? 2 : 1), hot ? kYellow : kTeal);
        host(c, h, 4, hot);
    }
    return c;
}

Canvas pageNetbios()
{
    Canvas c = tile(52, 40);
    const Sdf group = roundRect({4.5, 4.5}, {47.5, 35.5}, 4);
    fill(c, [group](Pt p) { return std::abs(group(p)) - 0.5; }, kTeal);
    // Each computer: a screen on a stand with its name plate below.
    auto computer = [&c](double x, double y, bool local) {
        fill(c, roundRect({x, y}, {x + 12, y + 9}, 1), kCyan);
        fill(c, roundRect({x + 1.5, y + 1.5}, {x + 10.5, y + 7.5}, 0.5), local ? kYellow : kBlack);
        fill(c, line({x + 6, y + 9}, {x + 6, y + 11}, 2), kSilver);
        fill(c, line({x + 2, y + 12.5}, {x + 10, y + 12.5}, 1), kWhite);
    };
    computer(8, 7, true);
    computer(32, 7, false);
    computer(20, 20, false);
    return c;
}

Canvas pageConnections()
{
    Canvas c = tile(52, 40);
    for (double x : {5.0, 38.0}) {
        fill(c, roundRect({x, 5}, {x + 9, 35}, 2), kCyan);
        fill(c, roundRect({x + 1.5, 6.5}, {x + 7.5, 33.5}, 1), kBlack);
    }
    for (double y : {11.5, 17.5, 23.5, 29.5}) {
        const bool hot = y == 17.5;
        fill(c, line({14, y}, {38, y}, hot ? 2 : 1), hot ? kYellow : kTeal);
        for (double x : {10.5, 41.5}) fill(c, roundRect({x - 1.5, y - 1.5}, {x + 1.5, y + 1.5}, 0), hot ? kYellow : kCyan);
    }
    return c;
}

Canvas pageStatistics()
{
    Canvas c = tile(57, 42);
    fill(c, polyline({{8.5, 6}, {8.5, 35.5}, {51, 35.5}}, 1), kSilver);
    const double tops[] = {28, 22, 25, 16, 12};
    for (int i = 0; i < 5; ++i) {
        const double x = 12 + 8 * i;
        fill(c, roundRect({x, tops[i]}, {x + 6, 35}, 0), kTeal);
        fill(c, line({x, tops[i] + 0.5}, {x + 6, tops[i] + 0.5}, 1), kCyan);
    }
    std::vector<Pt> trend;
    for (int i = 0; i < 5; ++i) trend.push_back({15.0 + 8 * i, tops[i] - 5});
    fill(c, polyline(trend, 1.6), kYellow);
    host(c, trend.back(), 4, true);
    return c;
}

Bytes vga16(const Canvas& c) { return bmpFile(quantise(c, vgaPalette(), Dither::Ordered)); }
Bytes adaptive256(const Canvas& c) { return bmpFile(quantise(c, medianCut(c, systemPalette(), 256), Dither::Diffuse)); }

const std::pair<const char*, std::function<Bytes()>> kOutputs[] = {
    {"splash16.bmp", [] { return vga16(splash(kVga)); }},
    {"splash256.bmp", [] { return adaptive256(splash(kTrue)); }},
    {"program.bmp", [] { return vga16(programPicture()); }},
    {"tracewick.ico", [] {
         return icoFile({{iconArt(32, true), 4}, {iconArt(16, true), 4}, {iconArt(16, false), 32},
                         {iconArt(32, false), 32}, {iconArt(48, false), 32}, {iconArt(256, false), 32}});
     }},
    {"page_ping.bmp", [] { return vga16(pagePing()); }},
    {"page_tracert.bmp", [] { return vga16(pageTracert()); }},
    {"page_lookup.bmp", [] { return vga16(pageLookup()); }},
    {"page_routes.bmp", [] { return vga16(pageRoutes()); }},
    {"page_arp.bmp", [] { return vga16(pageArp()); }},
    {"page_netbios.bmp", [] { return vga16(pageNetbios()); }},
    {"page_connections.bmp", [] { return vga16(pageConnections()); }},
    {"page_statistics.bmp", [] { return vga16(pageStatistics()); }},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTDIR\n");
        return 2;
    }
    try {
        const std::filesystem::path dir(argv[1]);
        std::filesystem::create_directories(dir);
        for (const auto& out : kOutputs) writeFile((dir / out.first).string(), out.second());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
