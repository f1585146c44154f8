#pragma once
// HTML's named character references ("&amp;", "&NotEqualTilde;"), every one HTML knows. The table
// in html_entities.cpp is written by tools/make_entities.py; run it again rather than edit it.

#include <QStringView>

namespace exchange {

struct HtmlEntity {
    const char *name;  // without '&' and ';'
    char32_t first;
    char32_t second;   // 0 for the names that stand for one character
    bool legacy;       // also taken without its ';', as old pages write "&copy"
};

// The reference of that name (given without '&' and ';', letter case counting); null when HTML
// has none.
const HtmlEntity *findHtmlEntity(QStringView name);

}  // namespace exchange
