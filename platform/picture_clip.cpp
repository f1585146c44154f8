#include "platform/picture_clip.h"

#include <QRect>

namespace platform {

PictureClip::PictureClip(const QPixmap &picture, int rows, int columns)
    : picture_(picture), rows_(rows > 0 ? rows : 0), columns_(columns > 0 ? columns : 0)
{
}

QSize PictureClip::cellSize() const
{
    if (rows_ == 0 || columns_ == 0 || picture_.isNull())
        return {};
    return {picture_.width() / columns_, picture_.height() / rows_};
}

int PictureClip::count() const
{
    return cellSize().isEmpty() ? 0 : rows_ * columns_;
}

QPixmap PictureClip::cell(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const QSize size = cellSize();
    const int row = index / columns_;
    const int column = index % columns_;
    return picture_.copy(QRect(QPoint(column * size.width(), row * size.height()), size));
}

}  // namespace platform
