// make_art: draws every bitmap of the program and writes them as PNG files.
//
//   make_art <assets folder>
//
// Writes <folder>/main/*.png (tree images, program icon) and <folder>/skin/*.png (window frame,
// command-button face strip, caption-button strips, default window icon). The output depends on
// nothing but this file: no clock, no randomness, no fonts, so a rerun gives the same bytes and
// the committed pictures can always be regenerated. After writing, every file is read back and
// checked against the rules the skin code relies on; any violation is reported and the exit code
// is non-zero.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// The frame paints these pixels of the rounded title pictures as they are; no other pixel of any
// picture may have this exact colour, or it would be taken for a corner.
const QRgb keyColour = qRgb(255, 0, 255);

// Height of the key-colour run at the top of each of the five outermost columns of a rounded
// title picture, outermost column first; mirrored at the right corner.
constexpr std::array<int, 5> cornerKeyRun = {5, 3, 2, 1, 1};

// What the command buttons stand on: the frame's own background.
const QColor windowBackground(236, 233, 216);

constexpr int titleWidth = 66;
constexpr int titleHeight = 29;
constexpr int borderWidth = 5;
constexpr int sideHeight = 31;
constexpr int bottomWidth = 49;
constexpr int faceCellWidth = 18;
constexpr int faceCellHeight = 21;
constexpr int faceCells = 5;
constexpr int faceBorder = 3;
constexpr int captionCell = 21;
constexpr int captionCells = 4;
// The caption buttons sit on the title bar from this row down.
constexpr int captionTop = 6;

class ArtError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Picture {
    QString path; // relative to the output folder
    QImage image;
    bool opaque;
};

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

// A colour ramp through stops at increasing positions; clamped at both ends.
struct Stop {
    double at;
    QColor colour;
};

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

// Pixel art from rows of characters, one character a pixel; '.' is transparent.
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

// ---------------------------------------------------------------------------------------------
// Window frame

struct FrameLook {
    QColor outline;         // outermost line all round the window
    QColor highlight;       // light line just under the title bar's top edge
    QColor inner;           // line between the frame and the client area
    std::vector<Stop> bar;  // title bar body by row
};

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

// Colour of the title bar's stretched middle at a given row.
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

// The soft bevel just inside the outline on the sides of the title bar and the borders.
QColor edgeColour(const FrameLook& look, int row) { return lighter(ramp(look.bar, row), 0.28); }

// The five columns of a side border, from the outer edge in. The title bar's lowest row uses the
// same colours in its caps so that the borders run on from it without a seam.
std::array<QColor, borderWidth> borderColours(const FrameLook& look)
{
    const QColor body = ramp(look.bar, titleHeight - 2);
    return {look.outline, edgeColour(look, titleHeight - 2), body, mix(body, look.inner, 0.5), look.inner};
}

QImage drawTitle(const FrameLook& look, bool roundCorners)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(titleWidth, titleHeight);
    for (int y = 0; y < titleHeight; ++y) {
        for (int x = 0; x < titleWidth; ++x) {
            const int c = std::min(x, titleWidth - 1 - x); // column counted from the nearer side
            QColor colour;
            if (y == 0 || (c == 0 && y < titleHeight - 1))
                colour = look.outline;
            else if (y == titleHeight - 1)
                colour = c < borderWidth ? border[static_cast<std::size_t>(c)] : look.inner;
            else if (y == 1)
                colour = look.highlight;
            else if (c == 1)
                colour = edgeColour(look, y);
            else
                colour = barColour(look, y);
            image.setPixelColor(x, y, colour);
        }
    }
    if (!roundCorners)
        return image;

    // The curve: key colour above it, the outline on it, the highlight just inside it.
    static const std::vector<std::pair<int, int>> curve = {{0, 5}, {1, 3}, {1, 4}, {2, 2}, {3, 1}, {4, 1}};
    static const std::vector<std::pair<int, int>> inside = {{1, 5}, {2, 3}, {2, 4}, {3, 2}, {4, 2}};
    auto both = [&image](int c, int y, QRgb rgb) {
        image.setPixel(c, y, rgb);
        image.setPixel(titleWidth - 1 - c, y, rgb);
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

QImage drawSide(const FrameLook& look, bool left)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(borderWidth, sideHeight);
    for (int x = 0; x < borderWidth; ++x) {
        const QColor colour = border[static_cast<std::size_t>(left ? x : borderWidth - 1 - x)];
        for (int y = 0; y < sideHeight; ++y)
            image.setPixelColor(x, y, colour);
    }
    return image;
}

QImage drawBottom(const FrameLook& look)
{
    const auto border = borderColours(look);
    QImage image = opaqueImage(bottomWidth, borderWidth);
    for (int y = 0; y < borderWidth; ++y) {
        const QColor colour = border[static_cast<std::size_t>(borderWidth - 1 - y)];
        for (int x = 0; x < bottomWidth; ++x)
            image.setPixelColor(x, y, colour);
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Command button face strip

// Colours of one face cell. The frame is one pixel wide; two rings lie inside it (ring 0 next to
// the frame), and the face fills the rest. An invalid ring side colour means "the face colour of
// that row", which keeps the side edges in step with the face when both stretch vertically.
struct FaceLook {
    QColor frame;
    std::array<QColor, 2> ringTop;
    std::array<QColor, 2> ringBottom;
    std::array<QColor, 2> ringLeft;
    std::array<QColor, 2> ringRight;
    QColor faceTop;
    QColor faceBottom;
};

std::array<FaceLook, faceCells> faceLooks()
{
    const QColor blueFrame(20, 58, 128);
    const QColor white(255, 255, 255);
    const QColor faceTop(255, 255, 253);
    const QColor faceBottom(238, 237, 231);
    const QColor none;
    const std::array<QColor, 2> plainBottom = {QColor(212, 207, 194), QColor(228, 225, 216)};
    const std::array<QColor, 2> plainRight = {QColor(230, 228, 220), none};

    FaceLook rest{blueFrame, {white, white}, plainBottom, {none, none}, plainRight, faceTop, faceBottom};

    FaceLook pressed{blueFrame,
                     {QColor(188, 186, 176), QColor(204, 202, 193)},
                     {QColor(238, 237, 232), QColor(230, 229, 223)},
                     {QColor(200, 198, 189), none},
                     {none, none},
                     QColor(214, 212, 204),
                     QColor(226, 225, 218)};

    const QColor disabledFace(246, 245, 240);
    FaceLook disabled{QColor(178, 178, 168), {none, none}, {none, none}, {none, none}, {none, none},
                      disabledFace, disabledFace};

    FaceLook hover = rest;
    hover.ringTop = {QColor(255, 216, 128), QColor(255, 234, 176)};
    hover.ringBottom = {QColor(229, 146, 26), QColor(245, 184, 74)};
    hover.ringLeft = {QColor(247, 186, 72), QColor(252, 210, 124)};
    hover.ringRight = hover.ringLeft;

    FaceLook highlighted = rest;
    highlighted.ringTop = {QColor(186, 214, 255), QColor(214, 232, 255)};
    highlighted.ringBottom = {QColor(104, 146, 230), QColor(144, 178, 240)};
    highlighted.ringLeft = {QColor(146, 184, 245), QColor(180, 207, 250)};
    highlighted.ringRight = highlighted.ringLeft;

    return {rest, pressed, disabled, hover, highlighted};
}

QColor faceColour(const FaceLook& look, int y)
{
    return mix(look.faceTop, look.faceBottom,
               std::clamp(static_cast<double>(y - faceBorder) / (faceCellHeight - 2 * faceBorder - 1), 0.0, 1.0));
}

void drawFaceCell(QImage& image, int left, const FaceLook& look)
{
    const int w = faceCellWidth;
    const int h = faceCellHeight;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int cx = std::min(x, w - 1 - x);
            const int cy = std::min(y, h - 1 - y);
            const int d = std::min(cx, cy);
            QColor colour;
            if (cx + cy == 0)
                colour = windowBackground;
            else if (cx + cy == 1)
                colour = mix(windowBackground, look.frame, 0.35); // softens the rounded corner
            else if (d == 0 || (cx == 1 && cy == 1))
                colour = look.frame;
            else if (d < faceBorder) {
                const auto ring = static_cast<std::size_t>(d - 1);
                QColor side;
                if (y == d)
                    side = look.ringTop[ring];
                else if (h - 1 - y == d)
                    side = look.ringBottom[ring];
                else if (x == d)
                    side = look.ringLeft[ring];
                else
                    side = look.ringRight[ring];
                colour = side.isValid() ? side : faceColour(look, y);
            } else
                colour = faceColour(look, y);
            image.setPixelColor(left + x, y, colour);
        }
    }
}

QImage drawFaceStrip()
{
    QImage image = opaqueImage(faceCellWidth * faceCells, faceCellHeight);
    const auto looks = faceLooks();
    for (int i = 0; i < faceCells; ++i)
        drawFaceCell(image, i * faceCellWidth, looks[static_cast<std::size_t>(i)]);
    return image;
}

// ---------------------------------------------------------------------------------------------
// Caption buttons

enum class Glyph { Close, Maximize, Minimize, Restore };

// Glyph coverage in a caption cell, 0 (none) to 1 (solid).
using Coverage = std::array<std::array<double, captionCell>, captionCell>;

void fillRect(Coverage& cover, int x0, int y0, int x1, int y1, double value)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            cover[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = value;
}

// A window outline with a thick title edge, as on the maximise and restore glyphs.
void windowOutline(Coverage& cover, int x0, int y0, int x1, int y1, int titleRows)
{
    fillRect(cover, x0, y0, x1, y0 + titleRows - 1, 1.0);
    fillRect(cover, x0, y0, x0, y1, 1.0);
    fillRect(cover, x1, y0, x1, y1, 1.0);
    fillRect(cover, x0, y1, x1, y1, 1.0);
}

Coverage glyphCoverage(Glyph glyph)
{
    Coverage cover{};
    switch (glyph) {
    case Glyph::Close:
        // Two diagonals with soft shoulders, symmetric about the cell's centre.
        for (int y = 6; y <= 14; ++y) {
            for (int x = 6; x <= 14; ++x) {
                const int a = std::abs(x - y);
                const int b = std::abs(x + y - (captionCell - 1));
                const int d = std::min(a, b);
                double& c = cover[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                c = d == 0 ? 1.0 : d == 1 ? 0.55 : 0.0;
            }
        }
        break;
    case Glyph::Maximize:
        windowOutline(cover, 5, 5, 15, 15, 3);
        break;
    case Glyph::Minimize:
        fillRect(cover, 5, 13, 11, 15, 1.0);
        break;
    case Glyph::Restore: {
        Coverage front{};
        windowOutline(front, 5, 8, 12, 15, 2);
        windowOutline(cover, 8, 4, 15, 11, 2);
        // The front window hides what lies behind it.
        fillRect(cover, 5, 8, 12, 15, 0.0);
        for (int y = 0; y < captionCell; ++y)
            for (int x = 0; x < captionCell; ++x)
                cover[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                    std::max(cover[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)],
                             front[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
        break;
    }
    }
    return cover;
}

struct CaptionLook {
    QColor border;
    QColor top;
    QColor bottom;
    QColor glyph;
};

enum class CaptionState { Normal, Hover, Pressed, Disabled };

CaptionLook captionLook(bool close, CaptionState state)
{
    const CaptionLook base = close
        ? CaptionLook{QColor(255, 238, 230), QColor(246, 136, 92), QColor(204, 62, 28), QColor(255, 255, 255)}
        : CaptionLook{QColor(230, 238, 255), QColor(112, 164, 252), QColor(30, 86, 214), QColor(255, 255, 255)};
    switch (state) {
    case CaptionState::Normal:
        return base;
    case CaptionState::Hover:
        return {base.border, lighter(base.top, 0.25), lighter(base.bottom, 0.22), base.glyph};
    case CaptionState::Pressed:
        return {mix(base.border, base.bottom, 0.25), darker(base.bottom, 0.12), darker(base.top, 0.3),
                base.glyph};
    case CaptionState::Disabled: {
        const QColor top = lighter(greyed(base.top, 0.75), 0.1);
        const QColor bottom = lighter(greyed(base.bottom, 0.75), 0.1);
        return {mix(base.border, bottom, 0.35), top, bottom, mix(bottom, base.glyph, 0.5)};
    }
    }
    return base;
}

void drawCaptionCell(QImage& image, int left, const CaptionLook& look, const Coverage& glyph)
{
    const int n = captionCell;
    for (int y = 0; y < n; ++y) {
        const QColor bar = barColour(activeLook(), captionTop + y);
        for (int x = 0; x < n; ++x) {
            const int cx = std::min(x, n - 1 - x);
            const int cy = std::min(y, n - 1 - y);
            const bool corner = cx < 3 && cy < 3;
            QColor colour;
            const bool outside = corner && cx + cy <= 2 && !(cx == 1 && cy == 1);
            if (outside)
                colour = cx + cy == 2 ? mix(bar, look.border, 0.45) : bar; // half-covered by the rounding
            else if (cx == 0 || cy == 0 || (corner && cx + cy <= 3))
                colour = look.border;
            else {
                colour = mix(look.top, look.bottom, (y - 1) / static_cast<double>(n - 3));
                if (y == 1)
                    colour = lighter(colour, 0.3);
                // A faint shadow down and right of the glyph keeps it legible on the light hover look.
                if (x > 0 && y > 0) {
                    const double shadow = glyph[static_cast<std::size_t>(y - 1)][static_cast<std::size_t>(x - 1)];
                    colour = mix(colour, darker(look.bottom, 0.35), 0.45 * shadow);
                }
                colour = mix(colour, look.glyph, glyph[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            }
            image.setPixelColor(left + x, y, colour);
        }
    }
}

QImage drawCaptionStrip(Glyph glyph)
{
    QImage image = opaqueImage(captionCell * captionCells, captionCell);
    const bool close = glyph == Glyph::Close;
    const std::array<CaptionState, captionCells> states = {CaptionState::Normal, CaptionState::Hover,
                                                          CaptionState::Pressed, CaptionState::Disabled};
    for (int i = 0; i < captionCells; ++i) {
        const CaptionState state = states[static_cast<std::size_t>(i)];
        // A disabled restore button cannot restore anything, so it shows the plain window.
        const Glyph shown = glyph == Glyph::Restore && state == CaptionState::Disabled ? Glyph::Maximize : glyph;
        drawCaptionCell(image, i * captionCell, captionLook(close, state), glyphCoverage(shown));
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Tree images, icons

QImage drawRoot()
{
    // A red cookbook with a spine, a title plate and a gold band; its pages show at the foot.
    return fromPattern("root",
                       {
                           "................",
                           "..ooooooooooooo.",
                           "..okKhhhhhhhhho.",
                           "..okKccccccccco.",
                           "..okKcgggggggco.",
                           "..okKcgpppppgco.",
                           "..okKcgplllpgco.",
                           "..okKcgpppppgco.",
                           "..okKcgggggggco.",
                           "..okKccccccccco.",
                           "..okKGGGGGGGGGo.",
                           "..okKccccccccco.",
                           "..okKoooooooooo.",
                           "..okpppppppppqo.",
                           "..ookkkkkkkkkko.",
                           "...oooooooooooo.",
                       },
                       {{'o', QColor(84, 24, 16)},
                        {'k', QColor(176, 58, 38)},
                        {'K', QColor(120, 30, 20)},
                        {'h', QColor(226, 104, 78)},
                        {'c', QColor(196, 62, 40)},
                        {'g', QColor(232, 180, 52)},
                        {'G', QColor(214, 158, 40)},
                        {'p', QColor(252, 246, 230)},
                        {'q', QColor(214, 204, 178)},
                        {'l', QColor(150, 110, 60)}});
}

const std::map<char, QColor>& folderPalette()
{
    static const std::map<char, QColor> palette = {
        {'o', QColor(150, 102, 18)},  {'h', QColor(255, 236, 160)}, {'y', QColor(248, 208, 96)},
        {'d', QColor(224, 170, 52)},  {'w', QColor(255, 255, 255)}, {'l', QColor(120, 150, 200)},
        {'#', QColor(108, 118, 140)}, {'r', QColor(206, 64, 48)},
    };
    return palette;
}

QImage drawCategory()
{
    // A closed folder with a small recipe label on its front.
    return fromPattern("category",
                       {
                           "................",
                           "................",
                           "..ooooo.........",
                           ".ohhhhho........",
                           ".ohhhhhhoooooo..",
                           ".ohhhhhhhhhhhho.",
                           ".ohyyyyyyyyyyyo.",
                           ".ohyyyyyyyyyyyo.",
                           ".ohyyy######yyo.",
                           ".ohyyy#wrrw#yyo.",
                           ".ohyyy#wwww#yyo.",
                           ".ohyyy######yyo.",
                           ".ohyyyyyyyyyyyo.",
                           ".oddddddddddddo.",
                           "..oooooooooooo..",
                           "................",
                       },
                       folderPalette());
}

QImage drawSelected()
{
    // The folder opened, with a recipe card standing up out of it.
    return fromPattern("selected",
                       {
                           "................",
                           ".....########...",
                           "..ooo#wwwwww#...",
                           ".oddd#wrrrrw#oo.",
                           ".oddd#wwwwww#do.",
                           ".oddd#wllllw#do.",
                           ".oddd#wwwwww#do.",
                           ".oddoooooooooooo",
                           ".oddohhhhhhhhhho",
                           ".odohyyyyyyyyyo.",
                           ".odohyyyyyyyyyo.",
                           ".oohyyyyyyyyyo..",
                           ".oohyyyyyyyyyo..",
                           ".ohyyyyyyyyyo...",
                           ".oooooooooooo...",
                           "................",
                       },
                       folderPalette());
}

QImage drawRecipe()
{
    // A recipe card: a page with a folded corner, a red title and lines of text.
    return fromPattern("recipe",
                       {
                           "..#########.....",
                           "..#wwwwwww##....",
                           "..#wrrrrrw#s#...",
                           "..#wwwwwww#ss#..",
                           "..#wwwwwww####..",
                           "..#wwwwwwwwww#..",
                           "..#wllllllllw#..",
                           "..#wwwwwwwwww#..",
                           "..#wllllllllw#..",
                           "..#wwwwwwwwww#..",
                           "..#wlllllllww#..",
                           "..#wwwwwwwwww#..",
                           "..#wlllllwwww#..",
                           "..#wwwwwwwwww#..",
                           "..#wwwwwwwwww#..",
                           "..############..",
                       },
                       {{'#', QColor(96, 108, 134)},
                        {'w', QColor(255, 255, 255)},
                        {'s', QColor(222, 228, 240)},
                        {'r', QColor(206, 64, 48)},
                        {'l', QColor(120, 150, 200)}});
}

QImage drawIcon16()
{
    // A red pot with a leaf on its front and steam rising above the lid.
    return fromPattern("saporium16",
                       {
                           "......s...s.....",
                           ".....s...s......",
                           ".....s...s......",
                           "......s...s.....",
                           "......okko......",
                           "...oooooooooo...",
                           "..oLLLLLLLLLLo..",
                           ".oddddddddddddo.",
                           "kkoRrrrrrrrrrokk",
                           "kkoRrrrrrgGrrokk",
                           "..oRrrrggGrrro..",
                           "..oRrrgGGrrrro..",
                           "..oRrGrrrrrrro..",
                           "..oRdddddddddo..",
                           "...oooooooooo...",
                           "................",
                       },
                       {{'s', QColor(150, 170, 210)},
                        {'o', QColor(96, 24, 14)},
                        {'k', QColor(64, 64, 74)},
                        {'L', QColor(222, 86, 60)},
                        {'d', QColor(168, 40, 24)},
                        {'R', QColor(242, 120, 92)},
                        {'r', QColor(214, 62, 40)},
                        {'g', QColor(120, 200, 80)},
                        {'G', QColor(52, 138, 48)}});
}

QImage drawIcon32()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(96, 24, 14);

    // Steam
    QPen steam(QColor(140, 162, 204), 1.8, Qt::SolidLine, Qt::RoundCap);
    p.setPen(steam);
    p.setBrush(Qt::NoBrush);
    for (const auto& [x, y] : {std::pair{10.5, 11.0}, std::pair{16.5, 7.5}, std::pair{22.5, 11.0}}) {
        QPainterPath wisp(QPointF(x, y));
        wisp.cubicTo(QPointF(x - 3.5, y - 3.0), QPointF(x + 3.5, y - 5.0), QPointF(x, y - 8.5));
        p.drawPath(wisp);
    }

    // Handles, behind the body
    p.setPen(QPen(QColor(40, 40, 48), 1.0));
    p.setBrush(QColor(72, 72, 84));
    p.drawRoundedRect(QRectF(1.5, 18.5, 5, 4), 1.5, 1.5);
    p.drawRoundedRect(QRectF(25.5, 18.5, 5, 4), 1.5, 1.5);

    // Body: rounded at the bottom, lit from the left
    QPainterPath body;
    body.moveTo(5.5, 17.5);
    body.lineTo(26.5, 17.5);
    body.lineTo(26.5, 25.0);
    body.quadTo(26.5, 29.5, 22.0, 29.5);
    body.lineTo(10.0, 29.5);
    body.quadTo(5.5, 29.5, 5.5, 25.0);
    body.closeSubpath();
    QLinearGradient bodyFill(5.5, 0, 26.5, 0);
    bodyFill.setColorAt(0.0, QColor(244, 124, 96));
    bodyFill.setColorAt(0.35, QColor(218, 66, 42));
    bodyFill.setColorAt(1.0, QColor(156, 34, 20));
    p.setPen(QPen(outline, 1.0));
    p.setBrush(bodyFill);
    p.drawPath(body);

    // Lid: a low dome, its rim and knob
    QPainterPath dome;
    dome.moveTo(6.5, 15.5);
    dome.cubicTo(8.0, 10.0, 24.0, 10.0, 25.5, 15.5);
    dome.closeSubpath();
    QLinearGradient lidFill(0, 10.5, 0, 15.5);
    lidFill.setColorAt(0.0, QColor(240, 116, 88));
    lidFill.setColorAt(1.0, QColor(196, 52, 32));
    p.setBrush(lidFill);
    p.drawPath(dome);
    p.setBrush(QColor(170, 40, 24));
    p.drawRoundedRect(QRectF(3.5, 15.0, 25, 3), 1.5, 1.5);
    p.setBrush(QColor(64, 64, 74));
    p.setPen(QPen(QColor(36, 36, 44), 1.0));
    p.drawRoundedRect(QRectF(14.0, 9.0, 5, 3), 1.2, 1.2);

    // Leaf on the pot's front, leaning to the right
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(3.5, -3.2, 8.5, 0);
    leaf.quadTo(3.5, 3.2, 0, 0);
    QTransform place;
    place.translate(11.5, 26.5);
    place.rotate(-40);
    QLinearGradient leafFill(0, -3, 0, 3);
    leafFill.setColorAt(0.0, QColor(136, 210, 92));
    leafFill.setColorAt(1.0, QColor(48, 132, 46));
    p.setTransform(place);
    p.setPen(QPen(QColor(28, 84, 28), 0.9));
    p.setBrush(leafFill);
    p.drawPath(leaf);
    p.setPen(QPen(QColor(28, 84, 28), 0.8));
    p.drawLine(QPointF(-1.8, 0), QPointF(6.5, 0));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage drawDefaultIcon()
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
                        {'s', QColor(222, 226, 236)}});
}

std::vector<Picture> drawAll()
{
    std::vector<Picture> all;
    all.push_back({QStringLiteral("main/root.png"), drawRoot(), false});
    all.push_back({QStringLiteral("main/category.png"), drawCategory(), false});
    all.push_back({QStringLiteral("main/selected.png"), drawSelected(), false});
    all.push_back({QStringLiteral("main/recipe.png"), drawRecipe(), false});
    all.push_back({QStringLiteral("main/saporium16.png"), drawIcon16(), false});
    all.push_back({QStringLiteral("main/saporium32.png"), drawIcon32(), false});
    all.push_back({QStringLiteral("skin/face.png"), drawFaceStrip(), true});
    all.push_back({QStringLiteral("skin/close.png"), drawCaptionStrip(Glyph::Close), true});
    all.push_back({QStringLiteral("skin/maximize.png"), drawCaptionStrip(Glyph::Maximize), true});
    all.push_back({QStringLiteral("skin/minimize.png"), drawCaptionStrip(Glyph::Minimize), true});
    all.push_back({QStringLiteral("skin/restore.png"), drawCaptionStrip(Glyph::Restore), true});
    const std::array<std::pair<const FrameLook*, QString>, 2> looks = {
        std::pair{&activeLook(), QStringLiteral("1")}, std::pair{&inactiveLook(), QStringLiteral("2")}};
    for (const auto& [look, suffix] : looks) {
        all.push_back({QStringLiteral("skin/top%1.png").arg(suffix), drawTitle(*look, true), true});
        all.push_back({QStringLiteral("skin/topmax%1.png").arg(suffix), drawTitle(*look, false), true});
        all.push_back({QStringLiteral("skin/left%1.png").arg(suffix), drawSide(*look, true), true});
        all.push_back({QStringLiteral("skin/right%1.png").arg(suffix), drawSide(*look, false), true});
        all.push_back({QStringLiteral("skin/bottom%1.png").arg(suffix), drawBottom(*look), true});
    }
    all.push_back({QStringLiteral("skin/defaulticon.png"), drawDefaultIcon(), false});
    return all;
}

// ---------------------------------------------------------------------------------------------
// Checks on what was written

// The sizes the program's code cuts and places the pictures by; kept apart from the drawing code
// so that a drawing mistake cannot move both.
const std::map<QString, QSize>& expectedSizes()
{
    static const std::map<QString, QSize> sizes = [] {
        std::map<QString, QSize> s;
        for (const char* name : {"root", "category", "selected", "recipe", "saporium16"})
            s[QStringLiteral("main/%1.png").arg(QLatin1String(name))] = QSize(16, 16);
        s[QStringLiteral("main/saporium32.png")] = QSize(32, 32);
        s[QStringLiteral("skin/face.png")] = QSize(90, 21);
        for (const char* name : {"close", "maximize", "minimize", "restore"})
            s[QStringLiteral("skin/%1.png").arg(QLatin1String(name))] = QSize(84, 21);
        for (const char* suffix : {"1", "2"}) {
            const QString n = QLatin1String(suffix);
            s[QStringLiteral("skin/top%1.png").arg(n)] = QSize(66, 29);
            s[QStringLiteral("skin/topmax%1.png").arg(n)] = QSize(66, 29);
            s[QStringLiteral("skin/left%1.png").arg(n)] = QSize(5, 31);
            s[QStringLiteral("skin/right%1.png").arg(n)] = QSize(5, 31);
            s[QStringLiteral("skin/bottom%1.png").arg(n)] = QSize(49, 5);
        }
        s[QStringLiteral("skin/defaulticon.png")] = QSize(16, 16);
        return s;
    }();
    return sizes;
}

class Checker {
public:
    void fail(const QString& picture, const QString& what)
    {
        std::fprintf(stderr, "make_art: %s: %s\n", qPrintable(picture), qPrintable(what));
        ++failures_;
    }
    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

QString at(int x, int y) { return QStringLiteral("(%1, %2)").arg(x).arg(y); }

bool isKey(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xffffffu) == (keyColour & 0xffffffu); }

void checkKeyColour(Checker& check, const QString& name, const QImage& image)
{
    // Written out again rather than taken from the drawing code, which it is here to check.
    constexpr std::array<int, 5> keyRun = {5, 3, 2, 1, 1};
    std::set<std::pair<int, int>> wanted;
    if (name == QLatin1String("skin/top1.png") || name == QLatin1String("skin/top2.png")) {
        for (int c = 0; c < static_cast<int>(keyRun.size()); ++c) {
            for (int y = 0; y < keyRun[static_cast<std::size_t>(c)]; ++y) {
                wanted.insert({c, y});
                wanted.insert({titleWidth - 1 - c, y});
            }
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool want = wanted.count({x, y}) > 0;
            if (isKey(image, x, y) != want)
                check.fail(name, want ? QStringLiteral("corner pixel %1 is not the key colour").arg(at(x, y))
                                      : QStringLiteral("pixel %1 has the key colour").arg(at(x, y)));
        }
    }
}

// A region that the skin stretches must not change along the stretch.
void checkUniform(Checker& check, const QString& name, const QImage& image, QRect region, bool alongX)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const int refX = alongX ? region.left() : x;
            const int refY = alongX ? y : region.top();
            if (image.pixel(x, y) != image.pixel(refX, refY)) {
                check.fail(name, QStringLiteral("pixel %1 differs from %2 in a stretched region")
                                     .arg(at(x, y), at(refX, refY)));
                return;
            }
        }
    }
}

// A region stretched vertically may carry a gentle gradient, never a visible step.
void checkSmoothDown(Checker& check, const QString& name, const QImage& image, QRect region)
{
    for (int y = region.top() + 1; y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor a = image.pixelColor(x, y - 1);
            const QColor b = image.pixelColor(x, y);
            const int step = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                       std::abs(a.blue() - b.blue())});
            if (step > 3) {
                check.fail(name, QStringLiteral("step of %1 at %2 in a vertically stretched region")
                                     .arg(step)
                                     .arg(at(x, y)));
                return;
            }
        }
    }
}

void checkStretching(Checker& check, const QString& name, const QImage& image)
{
    const QString file = name.section(QLatin1Char('/'), 1);
    if (file.startsWith(QLatin1String("top"))) {
        checkUniform(check, name, image, QRect(5, 0, titleWidth - 10, titleHeight), true);
    } else if (file.startsWith(QLatin1String("left")) || file.startsWith(QLatin1String("right"))) {
        checkUniform(check, name, image, image.rect(), false);
    } else if (file.startsWith(QLatin1String("bottom"))) {
        checkUniform(check, name, image, image.rect(), true);
    } else if (file == QLatin1String("face.png")) {
        const int b = faceBorder;
        for (int i = 0; i < faceCells; ++i) {
            const int x0 = i * faceCellWidth;
            // top edge, centre and bottom edge stretch across; the side edges and centre stretch down
            checkUniform(check, name, image, QRect(x0 + b, 0, faceCellWidth - 2 * b, faceCellHeight), true);
            checkSmoothDown(check, name, image, QRect(x0, b, faceCellWidth, faceCellHeight - 2 * b));
        }
    }
}

// Outside its rounded square a caption button shows the active title bar it sits on.
void checkCaptionCorners(Checker& check, const QString& name, const QImage& image, const QImage& activeTitle)
{
    constexpr int buttonTop = 6; // where the windows place the caption buttons on the bar
    const int n = captionCell;
    for (int i = 0; i < captionCells; ++i) {
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{n - 1, 0}, std::pair{0, n - 1}, std::pair{n - 1, n - 1}}) {
            const QRgb bar = activeTitle.pixel(titleWidth / 2, buttonTop + y);
            if (image.pixel(i * n + x, y) != bar)
                check.fail(name, QStringLiteral("cell %1 corner %2 does not match the title bar").arg(i).arg(at(x, y)));
        }
    }
}

void checkAlpha(Checker& check, const QString& name, const QImage& image, bool opaque)
{
    if (opaque) {
        if (image.hasAlphaChannel())
            check.fail(name, QStringLiteral("has an alpha channel but must be opaque"));
        return;
    }
    if (!image.hasAlphaChannel() || qAlpha(image.pixel(0, image.height() - 1)) != 0)
        check.fail(name, QStringLiteral("has no transparent background"));
}

bool sameImages(const std::vector<Picture>& a, const std::vector<Picture>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].path != b[i].path || a[i].image != b[i].image)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art <assets folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    Checker check;
    try {
        const std::vector<Picture> pictures = drawAll();
        // Same input, same pixels: a second drawing catches anything read uninitialised.
        if (!sameImages(pictures, drawAll()))
            check.fail(QStringLiteral("all"), QStringLiteral("two drawings differ"));

        for (const char* folder : {"main", "skin"}) {
            if (!out.mkpath(QLatin1String(folder))) {
                std::fprintf(stderr, "make_art: cannot create %s\n", qPrintable(out.filePath(QLatin1String(folder))));
                return 1;
            }
        }
        std::set<QString> written;
        for (const Picture& picture : pictures) {
            const QString path = out.filePath(picture.path);
            if (!picture.image.save(path, "PNG")) {
                std::fprintf(stderr, "make_art: cannot write %s\n", qPrintable(path));
                return 1;
            }
            written.insert(picture.path);
        }

        const QImage activeTitle =
            QImage(out.filePath(QStringLiteral("skin/top1.png"))).convertToFormat(QImage::Format_ARGB32);
        for (const auto& [name, size] : expectedSizes())
            if (written.count(name) == 0)
                check.fail(name, QStringLiteral("was not drawn"));
        for (const Picture& picture : pictures) {
            const QString& name = picture.path;
            const QImage loaded(out.filePath(name));
            const auto expected = expectedSizes().find(name);
            if (expected == expectedSizes().end()) {
                check.fail(name, QStringLiteral("is not a picture the program uses"));
                continue;
            }
            if (loaded.isNull()) {
                check.fail(name, QStringLiteral("cannot be read back"));
                continue;
            }
            if (loaded.size() != expected->second) {
                check.fail(name, QStringLiteral("is %1 x %2, expected %3 x %4")
                                     .arg(loaded.width())
                                     .arg(loaded.height())
                                     .arg(expected->second.width())
                                     .arg(expected->second.height()));
                continue;
            }
            const QImage image = loaded.convertToFormat(QImage::Format_ARGB32);
            if (image != picture.image.convertToFormat(QImage::Format_ARGB32))
                check.fail(name, QStringLiteral("reads back different from what was drawn"));
            checkAlpha(check, name, loaded, picture.opaque);
            checkKeyColour(check, name, image);
            checkStretching(check, name, image);
            if (name.endsWith(QLatin1String("close.png")) || name.endsWith(QLatin1String("maximize.png"))
                || name.endsWith(QLatin1String("minimize.png")) || name.endsWith(QLatin1String("restore.png")))
                checkCaptionCorners(check, name, image, activeTitle);
        }
    } catch (const ArtError& error) {
        std::fprintf(stderr, "make_art: %s\n", error.what());
        return 1;
    }
    if (check.failures() > 0) {
        std::fprintf(stderr, "make_art: %d check(s) failed\n", check.failures());
        return 1;
    }
    return 0;
}
