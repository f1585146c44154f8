// libFuzzer target over a web page's reading, as a saved page or a fetched one is read: its bytes
// made UTF-8 from the character set it declares, then its JSON-LD blocks, else its microdata,
// every character reference decoded. For any bytes: no crash, no undefined behaviour, every
// recipe told has a name, and the page counts at least the recipes and problems it told.
//
// Input: the page's bytes, as they are.

#include "exchange/page_charset.h"
#include "exchange/page_reader.h"

#include <QByteArray>
#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    int recipes = 0;
    const int found = exchange::readPage(
        exchange::pageAsUtf8(bytes, {}), QStringLiteral("page.html"),
        [&](const exchange::ImportedRecipe &r) {
            ++recipes;
            if (r.recipe.name.isEmpty()) {
                std::fprintf(stderr, "page fuzz: a recipe without a name was told\n");
                std::abort();
            }
        },
        [](const exchange::ImportProblem &) {}, QUrl(QStringLiteral("https://recipes.example/page")));
    if (found < recipes) {
        std::fprintf(stderr, "page fuzz: %d recipes told, %d counted\n", recipes, found);
        std::abort();
    }
    return 0;
}
