#include "exchange/exporter.h"

#include "core/category_schema.h"
#include "exchange/jsonld_writer.h"
#include "exchange/mealmaster_writer.h"

#include <QIODevice>

namespace exchange {

namespace {

// Stops the walk through the collection once the export is cancelled or cannot write.
struct Stopped {};

}  // namespace

int recipeCount(const recipes::Collection &collection, const QStringList &categories)
{
    int total = 0;
    for (const QString &category : categories)
        total += static_cast<int>(collection.recipeNames(category).size());
    return total;
}

namespace {

enum class Kind { JsonLd, MealMaster };

bool writeRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories, Kind format,
                  const ExportProgress &progress)
{
    const int total = progress ? recipeCount(collection, categories) : 0;
    int done = 0;
    // Written in pieces of about this size: one device write per recipe costs more than the
    // writing of the recipe itself.
    constexpr qsizetype kPiece = 1 << 16;
    QByteArray pending;
    const auto flush = [&] {
        if (!pending.isEmpty() && out.write(pending) != pending.size())
            throw Stopped{};
        pending.clear();
    };
    const auto put = [&](const QByteArray &bytes) {
        pending += bytes;
        if (pending.size() >= kPiece)
            flush();
    };
    try {
        if (format == Kind::JsonLd) {
            pending.reserve(2 * kPiece);
            put(jsonLdArrayStart());
        }
        for (const QString &category : categories) {
            collection.readAll(category, [&](std::int64_t, const recipes::Recipe &stored) {
                if (progress && !progress(done, total)) {
                    flush();
                    throw Stopped{};
                }
                // A stored text as decode gives it: trimmed, a null read as empty.
                const auto text = [&](int i) { return recipes::schema::trimmedView(stored.field(i)); };
                if (format == Kind::JsonLd) {
                    appendJsonLdArrayItem(pending, done == 0,
                                          {text(0), text(1), text(2), text(3), category});
                    if (pending.size() >= kPiece)
                        flush();
                } else {
                    recipes::Recipe recipe;
                    for (int i = 0; i < recipes::schema::kFieldCount; ++i)
                        recipe.field(i) = recipes::schema::decode(stored.field(i));
                    put(mealMasterText(recipe, category));
                }
                ++done;
            });
        }
        if (format == Kind::JsonLd)
            put(jsonLdArrayEnd());
        flush();
    } catch (const Stopped &) {
        return false;
    }
    return !progress || progress(done, total);
}

}  // namespace

bool writeJsonLdRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                        const ExportProgress &progress)
{
    return writeRecipes(out, collection, categories, Kind::JsonLd, progress);
}

bool writeMealMasterRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                            const ExportProgress &progress)
{
    return writeRecipes(out, collection, categories, Kind::MealMaster, progress);
}

}  // namespace exchange
