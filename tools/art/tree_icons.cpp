// The tree's images (book, closed and open folder, recipe card) and the program icon: pixel art at
// 16 px (redrawn from the same pattern at 2x and 3x), a vector drawing at 32 px and above.

#include "art.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <map>
#include <utility>

namespace art {

namespace {

const std::map<char, QColor>& folderPalette()
{
    static const std::map<char, QColor> palette = {
        {'o', QColor(150, 102, 18)},  {'h', QColor(255, 236, 160)}, {'y', QColor(248, 208, 96)},
        {'d', QColor(224, 170, 52)},  {'w', QColor(255, 255, 255)}, {'l', QColor(120, 150, 200)},
        {'#', QColor(108, 118, 140)}, {'r', QColor(206, 64, 48)},
    };
    return palette;
}

} // namespace

QImage drawRoot(int scale)
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
                        {'l', QColor(150, 110, 60)}},
                       scale);
}

QImage drawCategory(int scale)
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
                       folderPalette(), scale);
}

QImage drawSelected(int scale)
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
                       folderPalette(), scale);
}

QImage drawRecipe(int scale)
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
                        {'l', QColor(120, 150, 200)}},
                       scale);
}

QImage drawIcon16(int scale)
{
    // Pixel art stops at 16 px: with more pixels the icon is the vector drawing, as at 32 px.
    if (scale > 1)
        return drawIcon(16 * scale);
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

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-unit grid; larger sizes scale the same strokes, so every size is one design.
    p.scale(size / 32.0, size / 32.0);
    const QTransform grid = p.transform();
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
    p.setTransform(place * grid);
    p.setPen(QPen(QColor(28, 84, 28), 0.9));
    p.setBrush(leafFill);
    p.drawPath(leaf);
    p.setPen(QPen(QColor(28, 84, 28), 0.8));
    p.drawLine(QPointF(-1.8, 0), QPointF(6.5, 0));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace art
