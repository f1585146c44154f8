// The window frame's pieces (rounded and square title bars, side and bottom borders, each in an
// active and an inactive look) and the icon shown for a window that has none of its own.

#include "art.h"

#include <QColor>
#include <QImage>
#include <QRgb>

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace art {

namespace {

// Height of the key-colour run at the top of each of the five outermost columns of a rounded
// title picture, outermost column first; mirrored at the right corner.
constexpr std::array<int, 5> cornerKeyRun = {5, 3, 2, 1, 1};

// The soft bevel just inside the outline on the sides of the title bar and the borders, at a
// row counted in 1x pixels.
QColor edgeColour(const FrameLook& look, double row) { return lighter(ramp(look.bar, row), 0.28); }

// The five columns of a side border, from the outer edge in. The title bar's lowest row uses the
// same colours in its caps so that the borders run on from it without a seam.
std::array<QColor, borderWidth> borderColours(const FrameLook& look)
{
    const QColor body = ramp(look.bar, titleHeight - 2);
    return {look.outline, edgeColour(look, titleHeight - 2), body, mix(body, look.inner, 0.5), look.inner};
}

// Sets the scale x scale device pixels of 1x pixel (x, y).
void fillPixel(QImage& image, int x, int y, int scale, QRgb rgb)
{
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
            image.setPixel(x * scale + dx, y * scale + dy, rgb);
}

} // namespace

// At a higher scale the lines and corners keep their 1x widths in 1x pixels (the frame's pieces
// are laid out by them, and its window mask is cut in whole 1x pixels); the bar's gradient runs
// through every device row.
QImage drawTitle(const FrameLook& look, bool roundCorners, int scale)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(titleWidth * scale, titleHeight * scale);
    for (int row = 0; row < image.height(); ++row) {
        const int y = row / scale;
        for (int column = 0; column < image.width(); ++column) {
            const int x = column / scale;
            const int c = std::min(x, titleWidth - 1 - x); // column counted from the nearer side
            QColor colour;
            if (y == 0 || (c == 0 && y < titleHeight - 1))
                colour = look.outline;
            else if (y == titleHeight - 1)
                colour = c < borderWidth ? border[static_cast<std::size_t>(c)] : look.inner;
            else if (y == 1)
                colour = look.highlight;
            else if (c == 1)
                colour = edgeColour(look, at1x(row, scale));
            else
                colour = barColour(look, row, scale);
            image.setPixelColor(column, row, colour);
        }
    }
    if (!roundCorners)
        return image;

    // The curve: key colour above it, the outline on it, the highlight just inside it.
    static const std::vector<std::pair<int, int>> curve = {{0, 5}, {1, 3}, {1, 4}, {2, 2}, {3, 1}, {4, 1}};
    static const std::vector<std::pair<int, int>> inside = {{1, 5}, {2, 3}, {2, 4}, {3, 2}, {4, 2}};
    auto both = [&image, scale](int c, int y, QRgb rgb) {
        fillPixel(image, c, y, scale, rgb);
        fillPixel(image, titleWidth - 1 - c, y, scale, rgb);
    };
    for (int c = 0; c < static_cast<int>(cornerKeyRun.size()); ++c)
        for (int y = 0; y < cornerKeyRun[static_cast<std::size_t>(c)]; ++y)
            both(c, y, keyColour);
    for (const auto& [c, y] : curve)
        both(c, y, look.outline.rgb());
    for (const auto& [c, y] : inside)
        both(c, y, look.highlight.rgb());
    return image;
}

QImage drawSide(const FrameLook& look, bool left, int scale)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(borderWidth * scale, sideHeight * scale);
    for (int column = 0; column < image.width(); ++column) {
        const int x = column / scale;
        const QColor colour = border[static_cast<std::size_t>(left ? x : borderWidth - 1 - x)];
        for (int y = 0; y < image.height(); ++y)
            image.setPixelColor(column, y, colour);
    }
    return image;
}

QImage drawBottom(const FrameLook& look, int scale)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(bottomWidth * scale, borderWidth * scale);
    for (int row = 0; row < image.height(); ++row) {
        const QColor colour = border[static_cast<std::size_t>(borderWidth - 1 - row / scale)];
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, row, colour);
    }
    return image;
}

QImage drawDefaultIcon(int scale)
{
    // A plain window: blue title bar with a close box, white client area with two lines.
    return fromPattern("defaulticon",
                       {
                           "................",
                           ".oooooooooooooo.",
                           ".oTTTTTTTTTTTTo.",
                           ".otwwwwtttttxto.",
                           ".obbbbbbbbbbbbo.",
                           ".oooooooooooooo.",
                           ".owwwwwwwwwwwwo.",
                           ".owggggggggwwwo.",
                           ".owwwwwwwwwwwwo.",
                           ".owggggggwwwwwo.",
                           ".owwwwwwwwwwwwo.",
                           ".owggggggggggwo.",
                           ".owwwwwwwwwwwwo.",
                           ".osssssssssssso.",
                           ".oooooooooooooo.",
                           "................",
                       },
                       {{'o', QColor(20, 52, 126)},
                        {'T', QColor(120, 172, 248)},
                        {'t', QColor(40, 104, 222)},
                        {'b', QColor(22, 78, 200)},
                        {'x', QColor(236, 110, 70)},
                        {'w', QColor(255, 255, 255)},
                        {'g', QColor(196, 204, 222)},
                        {'s', QColor(222, 226, 236)}},
                       scale);
}

} // namespace art
