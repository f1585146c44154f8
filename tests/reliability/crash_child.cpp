// The writer that the crash-safety test kills: adds and updates recipes through the store in an
// endless loop and reports on standard output, unbuffered, before each store call ("B A|U id
// stamp") and after it has returned ("D"). A line it reports is a change the store confirmed.
//
// Usage: reliability_crash_child <DbPath> <next id> <next stamp> <seed>
// Recipes 1 .. next id - 1 exist when it starts.

#include "reliability/crash_writes.h"

#include "platform/dialogs.h"
#include "platform/text_box.h"
#include "platform/tree.h"
#include "store/RecipeBas.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include "platform/tree_view.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFullCategory = 40;

// Answers every box at once: the only one the loop causes is "Recipe UpDated".
class SilentDialogs : public platform::Dialogs {
public:
    int MsgBox(const QString &, int, const QString &) override { return platform::vbOK; }
    QString InputBox(const QString &, const QString &, const QString &) override { return {}; }
};

void report(const std::string &line)
{
    const std::string out = line + '\n';
    std::size_t written = 0;
    while (written < out.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, out.data() + written, out.size() - written);
        if (n <= 0)
            std::_Exit(4);  // the test has gone; nothing to report to
        written += static_cast<std::size_t>(n);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <DbPath> <next id> <next stamp> <seed>\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    int nextId = std::atoi(argv[2]);
    int stamp = std::atoi(argv[3]);
    std::mt19937 random(static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));

    platform::TreeView tree;
    QLineEdit line1, line2;
    QPlainTextEdit multi3, multi4;
    platform::ImageList images(4, QPixmap(16, 16));
    platform::Tree tv(&tree);
    platform::TextBox t1(&line1), t2(&line2), t3(&multi3), t4(&multi4);
    SilentDialogs dialogs;
    RecipeBas store(RecipeControls{tv, images, t1, t2, t3, t4}, dialogs);
    store.session().switchTo(QString::fromLocal8Bit(argv[1]));
    // Opened once before the writes, as the program does at start-up: the slow key derivation
    // is then behind it, and the kills land among the writes.
    try {
        store.FillCatalogue();
    } catch (const std::exception &e) {
        report(std::string("F ") + e.what());
        return 3;
    }
    report("R");

    for (;;) {
        // Adds until the category is a fair size, then mostly updates: a category that kept
        // growing would make every start-up and check slower, and the kills fewer.
        const bool add = nextId == 1 || random() % (nextId <= kFullCategory ? 2 : 32) == 0;
        const int id = add ? nextId : 1 + static_cast<int>(random() % static_cast<unsigned>(nextId - 1));
        const auto fields = reliability::crashFields(id, stamp);
        t1.SetText(fields[0]);
        t2.SetText(fields[1]);
        t3.SetText(fields[2]);
        t4.SetText(fields[3]);
        report(std::string("B ") + (add ? "A " : "U ") + std::to_string(id) + ' ' + std::to_string(stamp));
        try {
            if (add) {
                store.AddRecipe(reliability::kCrashCategory);
                ++nextId;
            } else if (store.UpdateRecipe(reliability::kCrashCategory, fields[0])
                       != RecipeBas::Outcome::Done) {
                report("F recipe " + std::to_string(id) + " was not found");
                return 3;
            }
        } catch (const std::exception &e) {
            report(std::string("F ") + e.what());
            return 3;
        }
        report("D");
        ++stamp;
    }
}
