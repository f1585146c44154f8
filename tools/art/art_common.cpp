// Colour arithmetic, image builders and the title bar's colours shared by the drawing files.

#include "art_common.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace art {

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto channel = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()),
                  channel(a.alpha(), b.alpha()));
}

QColor lighter(const QColor& c, double t) { return mix(c, Qt::white, t); }
QColor darker(const QColor& c, double t) { return mix(c, Qt::black, t); }

QColor greyed(const QColor& c, double amount)
{
    const int luma = static_cast<int>(std::lround(0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue()));
    return mix(c, QColor(luma, luma, luma), amount);
}

QColor ramp(const std::vector<Stop>& stops, double at)
{
    if (at <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (at <= stops[i].at) {
            const Stop& a = stops[i - 1];
            const Stop& b = stops[i];
            return mix(a.colour, b.colour, (at - a.at) / (b.at - a.at));
        }
    }
    return stops.back().colour;
}

QImage opaqueImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage clearImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

double at1x(int device, int scale) { return (device + 0.5) / scale - 0.5; }

namespace {

using Grid = std::vector<std::string>;

// The pattern's character at (x, y), its edge repeated beyond it as the Scale2x rules want.
char cellAt(const Grid& grid, int x, int y)
{
    y = std::clamp(y, 0, static_cast<int>(grid.size()) - 1);
    const std::string& row = grid[static_cast<std::size_t>(y)];
    x = std::clamp(x, 0, static_cast<int>(row.size()) - 1);
    return row[static_cast<std::size_t>(x)];
}

// Each character becomes scale x scale characters (row by row) by the Scale2x / Scale3x rules:
// where two neighbours of the same colour meet at a corner, the corner takes their colour.
Grid scaledGrid(const Grid& grid, int scale)
{
    if (scale == 1)
        return grid;
    const int height = static_cast<int>(grid.size());
    const int width = static_cast<int>(grid.front().size());
    Grid out(static_cast<std::size_t>(height * scale), std::string(static_cast<std::size_t>(width * scale), '.'));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const char a = cellAt(grid, x - 1, y - 1), b = cellAt(grid, x, y - 1), c = cellAt(grid, x + 1, y - 1);
            const char d = cellAt(grid, x - 1, y), e = cellAt(grid, x, y), f = cellAt(grid, x + 1, y);
            const char g = cellAt(grid, x - 1, y + 1), h = cellAt(grid, x, y + 1), i = cellAt(grid, x + 1, y + 1);
            std::vector<char> block;
            if (scale == 2) {
                const bool on = b != h && d != f;
                block = {on && d == b ? d : e, on && b == f ? f : e, on && d == h ? d : e, on && h == f ? f : e};
            } else {
                const bool on = b != h && d != f;
                const bool db = on && d == b, bf = on && b == f, dh = on && d == h, hf = on && h == f;
                block = {db ? d : e,
                         (db && e != c) || (bf && e != a) ? b : e,
                         bf ? f : e,
                         (db && e != g) || (dh && e != a) ? d : e,
                         e,
                         (bf && e != i) || (hf && e != c) ? f : e,
                         dh ? d : e,
                         (dh && e != i) || (hf && e != g) ? h : e,
                         hf ? f : e};
            }
            for (int k = 0; k < scale * scale; ++k)
                out[static_cast<std::size_t>(y * scale + k / scale)][static_cast<std::size_t>(x * scale + k % scale)] =
                    block[static_cast<std::size_t>(k)];
        }
    }
    return out;
}

} // namespace

QImage fromPattern(const char* name, const std::vector<const char*>& rows, const std::map<char, QColor>& palette,
                   int scale)
{
    const int width = static_cast<int>(std::char_traits<char>::length(rows.front()));
    Grid grid;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        grid.emplace_back(rows[y]);
        if (static_cast<int>(grid.back().size()) != width)
            throw ArtError(std::string(name) + ": pattern row " + std::to_string(y) + " has "
                           + std::to_string(grid.back().size()) + " pixels, expected " + std::to_string(width));
    }
    grid = scaledGrid(grid, scale);
    QImage image = clearImage(width * scale, static_cast<int>(grid.size()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const char key = grid[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (key == '.')
                continue;
            const auto found = palette.find(key);
            if (found == palette.end())
                throw ArtError(std::string(name) + ": pattern uses '" + key + "', which has no colour");
            image.setPixelColor(x, y, found->second);
        }
    }
    return image;
}

const FrameLook& activeLook()
{
    static const FrameLook look{
        QColor(8, 36, 110),
        QColor(150, 192, 252),
        QColor(12, 50, 146),
        {{2, QColor(92, 150, 242)},
         {4, QColor(52, 118, 230)},
         {9, QColor(30, 94, 216)},
         {19, QColor(16, 72, 198)},
         {24, QColor(20, 80, 206)},
         {27, QColor(34, 100, 220)}},
    };
    return look;
}

const FrameLook& inactiveLook()
{
    static const FrameLook look{
        QColor(98, 112, 146),
        QColor(228, 234, 246),
        QColor(108, 124, 160),
        {{2, QColor(190, 202, 228)},
         {4, QColor(164, 179, 213)},
         {9, QColor(146, 162, 201)},
         {19, QColor(128, 146, 188)},
         {24, QColor(133, 150, 192)},
         {27, QColor(143, 159, 199)}},
    };
    return look;
}

QColor barColour(const FrameLook& look, int row, int scale)
{
    // The lines are whole 1x pixels at every scale; only the gradient between them gets finer.
    const int row1x = row / scale;
    if (row1x == 0)
        return look.outline;
    if (row1x == 1)
        return look.highlight;
    if (row1x == titleHeight - 1)
        return look.inner;
    return ramp(look.bar, at1x(row, scale));
}

} // namespace art
