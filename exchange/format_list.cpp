#include "exchange/format_list.h"

#include "exchange/folder_format.h"
#include "exchange/html_format.h"
#include "exchange/jsonld_format.h"
#include "exchange/mealmaster_format.h"

#include <algorithm>

namespace exchange::formats {

namespace {

std::vector<std::unique_ptr<RecipeFormat>> &list()
{
    static std::vector<std::unique_ptr<RecipeFormat>> formats = [] {
        std::vector<std::unique_ptr<RecipeFormat>> built;
        built.push_back(std::make_unique<JsonLdFormat>());
        built.push_back(std::make_unique<MealMasterFormat>());
        built.push_back(std::make_unique<HtmlFormat>());
        built.push_back(std::make_unique<FolderFormat>());
        return built;
    }();
    return formats;
}

std::vector<const RecipeFormat *> writers()
{
    std::vector<const RecipeFormat *> out;
    for (const RecipeFormat *format : all())
        if (format->writes())
            out.push_back(format);
    return out;
}

QStringList writerNameList()
{
    QStringList names;
    for (const RecipeFormat *format : writers())
        names.append(format->name());
    return names;
}

}  // namespace

void add(std::unique_ptr<RecipeFormat> format)
{
    auto &formats = list();
    const auto same = std::find_if(formats.begin(), formats.end(), [&](const auto &f) { return f->name() == format->name(); });
    if (same != formats.end()) {
        *same = std::move(format);
        return;
    }
    const auto firstFolder = std::find_if(formats.begin(), formats.end(), [](const auto &f) { return f->writesFolder(); });
    formats.insert(format->writesFolder() ? formats.end() : firstFolder, std::move(format));
}

std::vector<const RecipeFormat *> all()
{
    std::vector<const RecipeFormat *> out;
    for (const auto &format : list())
        out.push_back(format.get());
    return out;
}

const RecipeFormat *writerNamed(const QString &name)
{
    for (const RecipeFormat *format : writers())
        if (format->name() == name)
            return format;
    return nullptr;
}

std::vector<const RecipeFormat *> offered()
{
    std::vector<const RecipeFormat *> out = writers();
    std::stable_partition(out.begin(), out.end(), [](const RecipeFormat *f) { return f->isCookbook(); });
    return out;
}

QString writerNames()
{
    QStringList names = writerNameList();
    const QString last = names.isEmpty() ? QString() : names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString writerChoice() { return writerNameList().join(u'|'); }

QStringList readSuffixes()
{
    QStringList out;
    for (const RecipeFormat *format : all())
        if (format->reads())
            out += format->suffixes();
    return out;
}

QString importFilter()
{
    QStringList patterns;
    for (const QString &suffix : readSuffixes())
        patterns.append(QStringLiteral("*.") + suffix);
    return QStringLiteral("Recipe files (%1);;All files (*)").arg(patterns.join(u' '));
}

const RecipeFormat &readerFor(QByteArrayView head, const QString &suffix)
{
    const RecipeFormat *anyText = nullptr;
    for (const RecipeFormat *format : all())
        if (format->reads() && format->claims(head))
            return *format;
    for (const RecipeFormat *format : all()) {
        if (!format->reads())
            continue;
        if (format->suffixes().contains(suffix))
            return *format;
        if (format->readsAnyText() && !anyText)
            anyText = format;
    }
    // The list always holds the MealMaster reader, which reads any text.
    return *anyText;
}

}  // namespace exchange::formats
