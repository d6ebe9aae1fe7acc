// artgen OUTDIR: renders every Tracewick bitmap and the icon into OUTDIR.
// A new picture is one function drawing a Canvas plus one row in kOutputs.
#include "art.h"

#include <cstdio>
#include <exception>
#include <filesystem>

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
