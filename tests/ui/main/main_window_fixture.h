#pragma once
// The real main window on a real encrypted database, driven through its tree and buttons.

#include "core/backups.h"
#include "store/RecipeBas.h"
#include "support/recording_shell.h"
#include "support/model_walk.h"
#include "support/scripted_dialogs.h"
#include "support/temp_db.h"
#include "ui/main/main_form.h"
#include "ui/main/main_window.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include "platform/tree_view.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using testsupport::row;
using testsupport::Row;

class MainWindowTest : public ::testing::Test {
protected:
    // A database with two categories and the empty "zzzNothing".
    void makeStarterLikeDb()
    {
        db.create();
        db.addCategory(QStringLiteral("Soups"),
                       {row(QStringLiteral("Leek "), QStringLiteral("Ann "), QStringLiteral("leeks\r\nwater "),
                            QStringLiteral("boil ")),
                        row(QStringLiteral("Pea "), QStringLiteral("Bo "), QStringLiteral("peas "),
                            QStringLiteral("simmer "))});
        db.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("Rye "), QStringLiteral(" "),
                                                      QStringLiteral("rye "), QStringLiteral("bake "))});
        db.addCategory(QStringLiteral("zzzNothing"));
    }

    void open()
    {
        // The controls are found again: a new window may be built where a freed one was.
        form.reset();
        window = std::make_unique<mainform::MainWindow>(dialogs, shell, db.folder());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        // The run's backup copies the file in the background from here on; a test that plays
        // another program starts from the window at rest, with the copy's read lock gone.
        recipes::Backups::waitForBackground(window->recipeFile());
    }

    void TearDown() override
    {
        if (window)
            window->store().CloseStore();
        window.reset();
    }

    MainForm &ui()
    {
        if (!form || formOf != window.get()) {
            form = mainForm(*window);
            formOf = window.get();
        }
        return *form;
    }
    RecipeBas &store() { return window->store(); }

    // Clicks a button as a user would; a hidden button cannot be clicked.
    void click(QWidget *button)
    {
        ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString() << " is hidden";
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QModelIndex findNode(const QString &text, const QString &parentText = {})
    {
        return testsupport::findNode(*ui().Tv, text, parentText);
    }
    // Opens the tree's menu on a node as a right click does; the visible commands, by text.
    QStringList menuOn(const QModelIndex &item)
    {
        ui().Tv->scrollTo(item);
        emit ui().Tv->customContextMenuRequested(ui().Tv->visualRect(item).center());
        auto *menu = window->findChild<QMenu *>(QStringLiteral("TreeMenu"));
        QStringList texts;
        for (QAction *action : menu->actions())
            if (action->isVisible() && !action->isSeparator())
                texts.append(action->text());
        menu->hide();
        return texts;
    }

    // Clicks a node of the tree with the mouse.
    void clickNode(const QString &text, const QString &parentText = {})
    {
        const QModelIndex item = findNode(text, parentText);
        ASSERT_TRUE(item.isValid()) << text.toStdString();
        ui().Tv->scrollTo(item);
        const QRect rect = ui().Tv->visualRect(item);
        ASSERT_TRUE(rect.isValid()) << text.toStdString();
        QTest::mouseClick(ui().Tv->viewport(), Qt::LeftButton, {}, rect.center());
    }

    QStringList boxes()
    {
        return {ui().Text1->text(), ui().Text2->text(), ui().Text3->toPlainText(), ui().Text4->toPlainText()};
    }
    bool locked()
    {
        const bool all = ui().Text1->isReadOnly() && ui().Text2->isReadOnly() && ui().Text3->isReadOnly()
            && ui().Text4->isReadOnly();
        const bool none = !ui().Text1->isReadOnly() && !ui().Text2->isReadOnly() && !ui().Text3->isReadOnly()
            && !ui().Text4->isReadOnly();
        EXPECT_TRUE(all || none) << "the four boxes lock together";
        return all;
    }
    // The visible mode buttons, by name.
    QStringList modeButtons()
    {
        QStringList out;
        for (QWidget *b : {ui().Save, ui().Cancel, ui().saveedited, ui().canceledit, ui().delcatagroy,
                               ui().cancelcata})
            if (b->isVisible())
                out << b->objectName();
        return out;
    }
    int categoryChildren(const QString &category)
    {
        const QModelIndex item = findNode(category, QStringLiteral("Saporium"));
        return item.isValid() ? ui().Tv->model()->rowCount(item) : -1;
    }

    // Deletes the row at a position of a table as another program would: the tree is not told.
    void deleteBehindTheBack(const QString &table, int position)
    {
        auto other = db.open();
        auto rs = other->OpenRecordset(table);
        rs->MoveFirst();
        for (int i = 0; i < position; ++i)
            rs->MoveNext();
        rs->Delete();
    }

    testsupport::TempDb db;
    testsupport::ScriptedDialogs dialogs;
    testsupport::RecordingShell shell;
    std::unique_ptr<mainform::MainWindow> window;
    std::optional<MainForm> form;
    const mainform::MainWindow *formOf = nullptr;
};
