#include "exchange/exporter.h"

#include "core/category_schema.h"
#include "exchange/jsonld_writer.h"
#include "exchange/mealmaster_writer.h"

#include <QIODevice>

namespace exchange {

namespace {

struct Named {
    ExportFormat format;
    const char *name;
    const char *suffix;
};
constexpr Named kFormats[] = {
    {ExportFormat::JsonLd, "jsonld", "json"},
    {ExportFormat::MealMaster, "mealmaster", "mmf"},
    {ExportFormat::Html, "html", "html"},
    {ExportFormat::Pdf, "pdf", "pdf"},
};

const Named &named(ExportFormat format)
{
    for (const Named &n : kFormats)
        if (n.format == format)
            return n;
    return kFormats[0];
}

// Stops the walk through the collection once the export is cancelled or cannot write.
struct Stopped {};

}  // namespace

std::optional<ExportFormat> exportFormatNamed(const QString &name)
{
    for (const Named &n : kFormats)
        if (name == QLatin1String(n.name))
            return n.format;
    return std::nullopt;
}

QString exportFormatName(ExportFormat format) { return QLatin1String(named(format).name); }

QString exportSuffix(ExportFormat format) { return QLatin1String(named(format).suffix); }

int recipeCount(const recipes::Collection &collection, const QStringList &categories)
{
    int total = 0;
    for (const QString &category : categories)
        total += static_cast<int>(collection.recipeNames(category).size());
    return total;
}

bool writeRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                  ExportFormat format, const ExportProgress &progress)
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
        if (format == ExportFormat::JsonLd) {
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
                if (format == ExportFormat::JsonLd) {
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
        if (format == ExportFormat::JsonLd)
            put(jsonLdArrayEnd());
        flush();
    } catch (const Stopped &) {
        return false;
    }
    return !progress || progress(done, total);
}

}  // namespace exchange
