#include "bench/raw_baseline.h"

#include "bench/raw_sqlcipher.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace bench {

namespace {

const QStringList kEngineTables = {
    QStringLiteral("MSysACEs"),    QStringLiteral("MSysModules"),       QStringLiteral("MSysModules2"),
    QStringLiteral("MSysObjects"), QStringLiteral("MSysQueries"),       QStringLiteral("MSysRelationships"),
    QStringLiteral("MSysAccessObjects"),
};

// Blanks off both ends, on the UTF-8 bytes, before any conversion.
QString trimmedText(const unsigned char *text, int bytes)
{
    const char *begin = reinterpret_cast<const char *>(text);
    const char *end = begin + bytes;
    while (begin < end && *begin == ' ')
        ++begin;
    while (end > begin && end[-1] == ' ')
        --end;
    return QString::fromUtf8(begin, end - begin);
}

QString columnText(sqlite3_stmt *stmt, int column)
{
    const unsigned char *text = sqlite3_column_text(stmt, column);
    return text ? trimmedText(text, sqlite3_column_bytes(stmt, column)) : QString();
}

bool catalogueLess(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

std::vector<std::pair<std::int64_t, QString>> namesByRowid(RawConnection &raw, const QString &table)
{
    const std::string name = table.toStdString();
    sqlite3_stmt *scan = raw.prepare("SELECT rowid, Name FROM " + quoted(name) + " INDEXED BY "
                                     + quoted(name + ".Name"));
    std::vector<std::pair<std::int64_t, QString>> rows;
    while (sqlite3_step(scan) == SQLITE_ROW)
        rows.emplace_back(sqlite3_column_int64(scan, 0), columnText(scan, 1));
    sqlite3_finalize(scan);
    std::sort(rows.begin(), rows.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    return rows;
}

}  // namespace

QStringList readCategoryNames(RawConnection &raw)
{
    sqlite3_stmt *list = raw.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
    QStringList names;
    while (sqlite3_step(list) == SQLITE_ROW) {
        const QString name = columnText(list, 0);
        if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
            && !kEngineTables.contains(name))
            names.append(name);
    }
    sqlite3_finalize(list);
    std::sort(names.begin(), names.end(), catalogueLess);
    return names;
}

QStringList readNames(RawConnection &raw, const QString &table)
{
    const auto rows = namesByRowid(raw, table);
    QStringList names;
    names.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto &row : rows)
        names.append(row.second);
    return names;
}

std::vector<RawCategory> readCatalogue(RawConnection &raw)
{
    std::vector<RawCategory> catalogue;
    for (const QString &table : readCategoryNames(raw))
        catalogue.push_back({table, readNames(raw, table)});
    return catalogue;
}

std::array<QString, 4> readRecipe(RawConnection &raw, const QString &table, const QString &name)
{
    std::array<QString, 4> fields;
    const auto rows = namesByRowid(raw, table);
    const auto match = std::find_if(rows.begin(), rows.end(), [&](const auto &row) { return row.second == name; });
    if (match == rows.end())
        return fields;
    sqlite3_stmt *read = raw.prepare("SELECT Name, Author, Ingredients, Instructions FROM "
                                     + quoted(table.toStdString()) + " WHERE rowid = ?1");
    sqlite3_bind_int64(read, 1, match->first);
    if (sqlite3_step(read) == SQLITE_ROW)
        for (int i = 0; i < 4; ++i)
            fields[static_cast<std::size_t>(i)] = columnText(read, i);
    sqlite3_finalize(read);
    return fields;
}

TreeIcons treeIcons(const std::vector<QPixmap> &images)
{
    const auto icon = [&](std::size_t normal, std::size_t selected) {
        QIcon result;
        result.addPixmap(images.at(normal - 1), QIcon::Normal);
        result.addPixmap(images.at(selected - 1), QIcon::Selected);
        return result;
    };
    return {icon(1, 1), icon(2, 3), icon(4, 3)};
}

QList<QTreeWidgetItem *> recipeNodes(const QStringList &names, const QIcon &icon)
{
    QList<QTreeWidgetItem *> children;
    children.reserve(names.size());
    for (const QString &recipe : names) {
        auto *child = new QTreeWidgetItem(QStringList{recipe});
        child->setIcon(0, icon);
        children.append(child);
    }
    return children;
}

void fillTree(QTreeWidget &tree, const TreeIcons &icons, const std::vector<RawCategory> &catalogue,
              bool recipesToo)
{
    tree.clear();
    // Built whole before the widget sees it: no item of it is announced to the view one by one.
    auto *root = new QTreeWidgetItem(QStringList{QStringLiteral("Saporium")});
    root->setIcon(0, icons.root);
    QTreeWidgetItem *last = root;
    for (const RawCategory &category : catalogue) {
        auto *node = new QTreeWidgetItem(QStringList{category.name});
        node->setIcon(0, icons.category);
        last = node;
        if (recipesToo && !category.recipes.isEmpty()) {
            const QList<QTreeWidgetItem *> children = recipeNodes(category.recipes, icons.recipe);
            node->addChildren(children);
            last = children.last();
        }
        root->addChild(node);
    }
    tree.addTopLevelItem(root);
    for (QTreeWidgetItem *up = last->parent(); up; up = up->parent())
        up->setExpanded(true);
    tree.scrollToItem(last);
}

void showInBoxes(const std::array<QString, 4> &fields, QLineEdit &name, QLineEdit &author,
                 QPlainTextEdit &ingredients, QPlainTextEdit &instructions)
{
    name.setText(fields[0]);
    author.setText(fields[1]);
    for (auto [box, text] : {std::pair{&ingredients, fields[2]}, std::pair{&instructions, fields[3]}}) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        box->setPlainText(text);
    }
}

}  // namespace bench
