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
    const auto put = [&out](const QByteArray &bytes) {
        if (out.write(bytes) != bytes.size())
            throw Stopped{};
    };
    try {
        if (format == ExportFormat::JsonLd)
            put(jsonLdArrayStart());
        for (const QString &category : categories) {
            collection.readAll(category, [&](std::int64_t, const recipes::Recipe &stored) {
                if (progress && !progress(done, total))
                    throw Stopped{};
                recipes::Recipe recipe;
                for (int i = 0; i < recipes::schema::kFieldCount; ++i)
                    recipe.field(i) = recipes::schema::decode(stored.field(i));
                if (format == ExportFormat::JsonLd)
                    put(jsonLdArrayItem(done == 0, jsonLdObjectText(recipe, category)));
                else
                    put(mealMasterText(recipe, category));
                ++done;
            });
        }
        if (format == ExportFormat::JsonLd)
            put(jsonLdArrayEnd());
    } catch (const Stopped &) {
        return false;
    }
    return !progress || progress(done, total);
}

}  // namespace exchange
