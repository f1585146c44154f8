#include "core/ingredient_line.h"

namespace recipes {

namespace {

// The end of "(...)" at i, brackets nested; -1 when there is none or it is not closed.
qsizetype bracketEnd(QStringView line, qsizetype i)
{
    if (i >= line.size() || line[i] != u'(')
        return -1;
    int depth = 0;
    for (; i < line.size(); ++i) {
        if (line[i] == u'(')
            ++depth;
        else if (line[i] == u')' && --depth == 0)
            return i + 1;
    }
    return -1;
}

struct Parts {
    Quantity quantity;
    std::optional<CookingUnit> unit;
    qsizetype sizeStart = 0;  // the size in brackets: [sizeStart, sizeEnd)
    qsizetype sizeEnd = 0;
    qsizetype itemStart = 0;
};

std::optional<Parts> parts(QStringView line)
{
    const qsizetype start = blanksEnd(line, 0);
    if (start >= line.size() || !startsQuantity(line[start]))
        return std::nullopt;
    const auto quantity = readQuantity(line, start);
    if (!quantity)
        return std::nullopt;
    Parts read;
    read.quantity = *quantity;
    qsizetype i = quantity->end;
    if (i < line.size() && line[i].isLetter()) {
        const auto glued = readUnit(line, i);
        if (!glued)
            return std::nullopt;
        read.unit = glued->unit;
        read.itemStart = blanksEnd(line, glued->end);
        return read;
    }
    i = blanksEnd(line, i);
    if (const qsizetype end = bracketEnd(line, i); end > 0) {
        read.sizeStart = i;
        read.sizeEnd = end;
        i = blanksEnd(line, end);
    }
    if (const auto unit = readUnit(line, i)) {
        read.unit = unit->unit;
        i = blanksEnd(line, unit->end);
    }
    read.itemStart = i;
    return read;
}

}  // namespace

std::optional<IngredientLine> IngredientLine::read(QStringView line)
{
    const auto p = parts(line);
    if (!p)
        return std::nullopt;
    return IngredientLine{p->quantity, line.sliced(p->sizeStart, p->sizeEnd - p->sizeStart).toString(), p->unit,
                          line.sliced(p->itemStart).toString()};
}

std::optional<IngredientAmount> IngredientAmount::read(QStringView line)
{
    const auto p = parts(line);
    if (!p)
        return std::nullopt;
    return IngredientAmount{p->quantity, p->unit};
}

}  // namespace recipes
