#pragma once
// What every drawing file of make_art shares: the picture sizes the program cuts its skin by, the
// key colour, the title bar's colours, colour arithmetic and the small image builders.

#include <QColor>
#include <QImage>
#include <QRgb>
#include <QString>

#include <map>
#include <stdexcept>
#include <vector>

namespace art {

// The frame paints these pixels of the rounded title pictures as they are; no other pixel of any
// picture may have this exact colour, or it would be taken for a corner.
const QRgb keyColour = qRgb(255, 0, 255);

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

// The device pixel ratios the pictures are drawn for; a picture at scale N is named name@Nx.png.
constexpr int scales[] = {1, 2, 3};

struct Picture {
    QString path; // relative to the output folder
    QImage image;
    bool opaque;
};

QColor mix(const QColor& a, const QColor& b, double t);
QColor lighter(const QColor& c, double t);
QColor darker(const QColor& c, double t);
QColor greyed(const QColor& c, double amount);

// A colour ramp through stops at increasing positions; clamped at both ends.
struct Stop {
    double at;
    QColor colour;
};

QColor ramp(const std::vector<Stop>& stops, double at);

QImage opaqueImage(int width, int height);
QImage clearImage(int width, int height);

// Pixel art from rows of characters, one character a pixel; '.' is transparent. At scale 2 and 3
// the pattern is redrawn by the Scale2x and Scale3x rules, which round its one-pixel steps
// instead of doubling them.
QImage fromPattern(const char* name, const std::vector<const char*>& rows, const std::map<char, QColor>& palette,
                   int scale = 1);

// Where the centre of device pixel `device` lies at `scale`, in 1x pixels: at scale 1 the pixel
// itself, so that gradients drawn at any scale run through the very colours of the 1x picture.
double at1x(int device, int scale);

// Shared here because the caption buttons are drawn on the active title bar's colours.
struct FrameLook {
    QColor outline;         // outermost line all round the window
    QColor highlight;       // light line just under the title bar's top edge
    QColor inner;           // line between the frame and the client area
    std::vector<Stop> bar;  // title bar body by row
};

const FrameLook& activeLook();
const FrameLook& inactiveLook();

// Colour of the title bar's stretched middle at a given device row of a picture drawn at `scale`.
QColor barColour(const FrameLook& look, int row, int scale = 1);

} // namespace art
