// Colour arithmetic, image builders and the title bar's colours shared by the drawing files.

#include "art_common.h"

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

QImage fromPattern(const char* name, const std::vector<const char*>& rows, const std::map<char, QColor>& palette)
{
    const int width = static_cast<int>(std::char_traits<char>::length(rows.front()));
    QImage image = clearImage(width, static_cast<int>(rows.size()));
    for (int y = 0; y < image.height(); ++y) {
        const std::string row = rows[static_cast<std::size_t>(y)];
        if (static_cast<int>(row.size()) != width)
            throw ArtError(std::string(name) + ": pattern row " + std::to_string(y) + " has "
                           + std::to_string(row.size()) + " pixels, expected " + std::to_string(width));
        for (int x = 0; x < width; ++x) {
            const char key = row[static_cast<std::size_t>(x)];
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

QColor barColour(const FrameLook& look, int row)
{
    if (row == 0)
        return look.outline;
    if (row == 1)
        return look.highlight;
    if (row == titleHeight - 1)
        return look.inner;
    return ramp(look.bar, row);
}

} // namespace art
