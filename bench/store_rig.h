#pragma once
// The real store wired to real controls, as the main window wires it, with message boxes that
// answer at once: what the benchmark times is the store and the controls, never a person.

#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/text_box.h"
#include "platform/tree.h"
#include "store/RecipeBas.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include "platform/tree_view.h"

namespace bench {

// Answers every question with Yes and every input box with an empty text.
class AnsweringDialogs : public platform::Dialogs {
public:
    int MsgBox(const QString &prompt, int flags, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    int shown = 0;
};

class QuietShell : public platform::Shell {
public:
    bool ShellExecute(const QUrl &) override { return true; }
};

// Four pictures of the tree's icon size, as the main window's image list holds.
platform::ImageList treeImages();

struct StoreRig {
    // Opens the database once, so that the operations are timed as the running program meets
    // them: after its start, with the keyed connection already made.
    explicit StoreRig(const QString &dbPath);

    AnsweringDialogs dialogs;
    platform::TreeView tree;
    QLineEdit line1, line2;
    QPlainTextEdit multi3, multi4;
    platform::ImageList images = treeImages();
    platform::Tree tv{&tree};
    platform::TextBox t1{&line1}, t2{&line2}, t3{&multi3}, t4{&multi4};
    RecipeBas store{RecipeControls{tv, images, t1, t2, t3, t4}, dialogs};

    // Fills the tree and waits, as a user does for a moment, until a big category shown at once
    // has been counted on its thread: a write made while it counts waits for it.
    void FillSettled();
};

}  // namespace bench
