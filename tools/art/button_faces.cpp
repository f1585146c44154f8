// The command-button face strip (five looks side by side) and the four caption-button strips
// (normal, hover, pressed and disabled cells of one glyph each).

#include "art.h"

#include <QColor>
#include <QImage>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace art {

namespace {

// What the command buttons stand on: the frame's own background.
const QColor windowBackground(236, 233, 216);

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

// The face's gradient at a row counted in 1x pixels.
QColor faceColour(const FaceLook& look, double y)
{
    return mix(look.faceTop, look.faceBottom,
               std::clamp((y - faceBorder) / (faceCellHeight - 2 * faceBorder - 1), 0.0, 1.0));
}

// The frame, the rings and the rounded corners are whole 1x pixels at every scale (the button
// slices the cell by them); the face's gradient runs through every device row.
void drawFaceCell(QImage& image, int left, const FaceLook& look, int scale)
{
    const int w = faceCellWidth;
    const int h = faceCellHeight;
    for (int row = 0; row < h * scale; ++row) {
        const int y = row / scale;
        for (int column = 0; column < w * scale; ++column) {
            const int x = column / scale;
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
                colour = side.isValid() ? side : faceColour(look, at1x(row, scale));
            } else
                colour = faceColour(look, at1x(row, scale));
            image.setPixelColor(left + column, row, colour);
        }
    }
}

} // namespace

QImage drawFaceStrip(int scale)
{
    QImage image = opaqueImage(faceCellWidth * faceCells * scale, faceCellHeight * scale);
    const auto looks = faceLooks();
    for (int i = 0; i < faceCells; ++i)
        drawFaceCell(image, i * faceCellWidth * scale, looks[static_cast<std::size_t>(i)], scale);
    return image;
}

namespace {

// Glyph coverage of the device pixels of a caption cell, row by row, 0 (none) to 1 (solid).
class Coverage {
public:
    explicit Coverage(int scale)
        : scale_(scale), size_(captionCell * scale), cover_(static_cast<std::size_t>(size_ * size_), 0.0)
    {
    }

    int scale() const { return scale_; }
    int size() const { return size_; }
    double& at(int x, int y) { return cover_[static_cast<std::size_t>(y * size_ + x)]; }
    double at(int x, int y) const { return cover_[static_cast<std::size_t>(y * size_ + x)]; }

    // Fills 1x pixels x0..x1 by y0..y1, every device pixel of them.
    void fillRect(int x0, int y0, int x1, int y1, double value)
    {
        for (int y = y0 * scale_; y < (y1 + 1) * scale_; ++y)
            for (int x = x0 * scale_; x < (x1 + 1) * scale_; ++x)
                at(x, y) = value;
    }

private:
    int scale_;
    int size_;
    std::vector<double> cover_;
};

// A window outline with a thick title edge, as on the maximise and restore glyphs.
void windowOutline(Coverage& cover, int x0, int y0, int x1, int y1, int titleRows)
{
    cover.fillRect(x0, y0, x1, y0 + titleRows - 1, 1.0);
    cover.fillRect(x0, y0, x0, y1, 1.0);
    cover.fillRect(x1, y0, x1, y1, 1.0);
    cover.fillRect(x0, y1, x1, y1, 1.0);
}

// Two diagonals with soft shoulders, symmetric about the cell's centre, within 1x pixels 6..14.
// The stroke's edge is one device pixel soft at every scale: at 1x the diagonal's own pixels are
// solid and their neighbours about half covered.
void drawCross(Coverage& cover)
{
    const int s = cover.scale();
    for (int row = 6 * s; row < 15 * s; ++row) {
        for (int column = 6 * s; column < 15 * s; ++column) {
            const double x = at1x(column, s);
            const double y = at1x(row, s);
            // Horizontal distance to the nearer diagonal, in 1x pixels.
            const double d = std::min(std::abs(x - y), std::abs(x + y - (captionCell - 1)));
            cover.at(column, row) = s == 1 ? (d == 0 ? 1.0 : d == 1 ? 0.55 : 0.0)
                                           : std::clamp((1.05 - d) * s + 0.5, 0.0, 1.0);
        }
    }
}

Coverage glyphCoverage(Glyph glyph, int scale)
{
    Coverage cover(scale);
    switch (glyph) {
    case Glyph::Close:
        drawCross(cover);
        break;
    case Glyph::Maximize:
        windowOutline(cover, 5, 5, 15, 15, 3);
        break;
    case Glyph::Minimize:
        cover.fillRect(5, 13, 11, 15, 1.0);
        break;
    case Glyph::Restore: {
        Coverage front(scale);
        windowOutline(front, 5, 8, 12, 15, 2);
        windowOutline(cover, 8, 4, 15, 11, 2);
        // The front window hides what lies behind it.
        cover.fillRect(5, 8, 12, 15, 0.0);
        for (int y = 0; y < cover.size(); ++y)
            for (int x = 0; x < cover.size(); ++x)
                cover.at(x, y) = std::max(cover.at(x, y), front.at(x, y));
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
    const int s = glyph.scale();
    for (int row = 0; row < n * s; ++row) {
        const int y = row / s;
        const QColor bar = barColour(activeLook(), captionTop * s + row, s);
        for (int column = 0; column < n * s; ++column) {
            const int x = column / s;
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
                colour = mix(look.top, look.bottom, (at1x(row, s) - 1) / static_cast<double>(n - 3));
                if (y == 1)
                    colour = lighter(colour, 0.3);
                // A faint shadow one 1x pixel down and right of the glyph keeps it legible on the
                // light hover look.
                if (x > 0 && y > 0) {
                    const double shadow = glyph.at(column - s, row - s);
                    colour = mix(colour, darker(look.bottom, 0.35), 0.45 * shadow);
                }
                colour = mix(colour, look.glyph, glyph.at(column, row));
            }
            image.setPixelColor(left + column, row, colour);
        }
    }
}

} // namespace

QImage drawCaptionStrip(Glyph glyph, int scale)
{
    QImage image = opaqueImage(captionCell * captionCells * scale, captionCell * scale);
    const bool close = glyph == Glyph::Close;
    const std::array<CaptionState, captionCells> states = {CaptionState::Normal, CaptionState::Hover,
                                                          CaptionState::Pressed, CaptionState::Disabled};
    for (int i = 0; i < captionCells; ++i) {
        const CaptionState state = states[static_cast<std::size_t>(i)];
        // A disabled restore button cannot restore anything, so it shows the plain window.
        const Glyph shown = glyph == Glyph::Restore && state == CaptionState::Disabled ? Glyph::Maximize : glyph;
        drawCaptionCell(image, i * captionCell * scale, captionLook(close, state), glyphCoverage(shown, scale));
    }
    return image;
}

} // namespace art
