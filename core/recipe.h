#pragma once
// One recipe as plain values: its four fields in their stored order.

#include <QString>

namespace recipes {

struct Recipe {
    QString name;
    QString author;
    QString ingredients;
    QString instructions;

    // The field at ordinal i (0 = name ... 3 = instructions), the order the file keeps them in.
    const QString &field(int i) const;
    QString &field(int i);

    friend bool operator==(const Recipe &, const Recipe &) = default;
};

}  // namespace recipes
