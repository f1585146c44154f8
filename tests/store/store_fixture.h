#pragma once
// The store wired to real controls and a real encrypted database in a temporary folder.

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include "platform/text_box.h"
#include "platform/tree.h"
#include "store/RecipeBas.h"
#include "support/model_walk.h"
#include "support/scripted_dialogs.h"
#include "support/temp_db.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include "platform/tree_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class StoreTest : public ::testing::Test {
protected:
    StoreTest()
        : tv(&tree), t1(&line1), t2(&line2), t3(&multi3), t4(&multi4),
          store(RecipeControls{tv, images, t1, t2, t3, t4}, dialogs)
    {
        for (int i = 0; i < 4; ++i) {
            QPixmap p(16, 16);
            p.fill(QColor::fromHsv(i * 80, 200, 200));
            images.push_back(p);
        }
        store.session().switchTo(db.basePath());
    }

    // What the tree shows: each top-level node's text, then its children indented.
    QStringList treeLines() const
    {
        QStringList out;
        testsupport::walkModel(*tree.model(), [&](const QModelIndex &node, int depth) {
            out << QString(depth * 2, QLatin1Char(' ')) + node.data().toString();
        });
        return out;
    }

    QStringList boxes() const { return {t1.Text(), t2.Text(), t3.Text(), t4.Text()}; }
    void setBoxes(const QString &a, const QString &b, const QString &c, const QString &d)
    {
        t1.SetText(a);
        t2.SetText(b);
        t3.SetText(c);
        t4.SetText(d);
    }

    // Runs raw SQL on the file as another program would.
    void rawSql(const char *sql)
    {
        sqlite3 *handle = nullptr;
        ASSERT_EQ(sqlite3_open(db.filePath().toUtf8().constData(), &handle), SQLITE_OK);
        const QByteArray key = testsupport::kPassword.toUtf8();
        sqlite3_key(handle, key.constData(), key.size());
        char *error = nullptr;
        const int rc = sqlite3_exec(handle, sql, nullptr, nullptr, &error);
        EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(handle);
    }

    testsupport::TempDb db;
    testsupport::ScriptedDialogs dialogs;
    platform::TreeView tree;
    QLineEdit line1, line2;
    QPlainTextEdit multi3, multi4;
    platform::ImageList images;
    platform::Tree tv;
    platform::TextBox t1, t2, t3, t4;
    RecipeBas store;
};
