// Cutting a strip picture into cells.

#include "platform/picture_clip.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>

namespace {

QColor cellColour(int index) { return QColor::fromHsv(index * 50, 200, 200); }

// 2 x 3 cells of 4 x 5 pixels, each in its own colour, and a spare black column and row at the
// right and bottom that belong to no cell.
QPixmap sixCellStrip()
{
    QImage image(3 * 4 + 1, 2 * 5 + 1, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    for (int index = 0; index < 6; ++index)
        painter.fillRect((index % 3) * 4, (index / 3) * 5, 4, 5, cellColour(index));
    painter.end();
    return QPixmap::fromImage(image);
}

QImage filled(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

TEST(PictureClip, CellsAreNumberedRowByRowAndCutToACopyOfExactlyOneCell)
{
    const platform::PictureClip clip(sixCellStrip(), 2, 3);
    ASSERT_EQ(clip.count(), 6);
    for (int index = 0; index < 6; ++index) {
        EXPECT_EQ(clip.cell(index).toImage().convertToFormat(QImage::Format_RGB32),
                  filled({4, 5}, cellColour(index)))
            << "cell " << index;
    }
    QPixmap first = clip.cell(0);
    first.fill(Qt::white);
    EXPECT_EQ(clip.cell(0).toImage().convertToFormat(QImage::Format_RGB32),
              filled({4, 5}, cellColour(0)))
        << "a changed copy leaves the strip as it was";
}

TEST(PictureClip, AskingForAMissingCellGivesANullPicture)
{
    const platform::PictureClip clip(sixCellStrip(), 2, 3);
    for (const int index : {-1, 6, INT_MIN, INT_MAX})
        EXPECT_TRUE(clip.cell(index).isNull()) << "index " << index;

    struct Case {
        const char *what;
        QPixmap picture;
        int rows;
        int columns;
    };
    const Case empty[] = {
        {"no rows", sixCellStrip(), 0, 3},
        {"negative columns", sixCellStrip(), 2, -3},
        {"null picture", QPixmap(), 1, 5},
        {"more columns than pixels", sixCellStrip(), 1, 14},
    };
    for (const Case &c : empty) {
        const platform::PictureClip strip(c.picture, c.rows, c.columns);
        EXPECT_EQ(strip.count(), 0) << c.what;
        EXPECT_TRUE(strip.cell(0).isNull()) << c.what;
    }
}
