#pragma once
// A picture cut into rows x columns of equal cells, numbered row by row from 0: the strips the
// painted buttons take their looks from. Cells are cut on request; nothing is kept between
// requests but the picture itself. Sizes are the picture's device pixels; each cell keeps the
// picture's device pixel ratio.

#include <QPixmap>
#include <QSize>

namespace platform {

class PictureClip {
public:
    PictureClip() = default;
    // Cells are picture width / columns by picture height / rows pixels; pixels left over at
    // the right or bottom belong to no cell. Fewer than one row or column gives no cells.
    PictureClip(const QPixmap &picture, int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // Number of cells; 0 for a null picture or one smaller than a single cell.
    int count() const;
    QSize cellSize() const;

    // A copy of cell `index`, exactly one cell in size; a null pixmap for an index outside
    // 0 .. count() - 1.
    QPixmap cell(int index) const;

private:
    QPixmap picture_;
    int rows_ = 0;
    int columns_ = 0;
};

}  // namespace platform
