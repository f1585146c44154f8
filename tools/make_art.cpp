// make_art: draws every bitmap of the program and writes them as PNG files.
//
//   make_art <assets folder>
//
// Writes <folder>/main/*.png (tree images, program icon), <folder>/skin/*.png (window frame,
// command-button face strip, caption-button strips, default window icon) and <folder>/icons/*.png
// (the program icon at the sizes the desktop's icon theme installs). The output depends on
// nothing but this program's source (here and in art/): no clock, no randomness, no fonts, so a
// rerun gives the same bytes and the committed pictures can always be regenerated. After writing,
// every file is read back and checked against the rules the skin code relies on; any violation is
// reported and the exit code is non-zero.

#include "art/art.h"

#include <QDir>
#include <QLatin1String>
#include <QString>

#include <array>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

namespace art {

namespace {

std::vector<Picture> drawAll()
{
    std::vector<Picture> all;
    all.push_back({QStringLiteral("main/root.png"), drawRoot(), false});
    all.push_back({QStringLiteral("main/category.png"), drawCategory(), false});
    all.push_back({QStringLiteral("main/selected.png"), drawSelected(), false});
    all.push_back({QStringLiteral("main/recipe.png"), drawRecipe(), false});
    all.push_back({QStringLiteral("main/saporium16.png"), drawIcon16(), false});
    all.push_back({QStringLiteral("main/saporium32.png"), drawIcon(32), false});
    all.push_back({QStringLiteral("skin/face.png"), drawFaceStrip(), true});
    all.push_back({QStringLiteral("skin/close.png"), drawCaptionStrip(Glyph::Close), true});
    all.push_back({QStringLiteral("skin/maximize.png"), drawCaptionStrip(Glyph::Maximize), true});
    all.push_back({QStringLiteral("skin/minimize.png"), drawCaptionStrip(Glyph::Minimize), true});
    all.push_back({QStringLiteral("skin/restore.png"), drawCaptionStrip(Glyph::Restore), true});
    const std::array<std::pair<const FrameLook*, QString>, 2> looks = {
        std::pair{&activeLook(), QStringLiteral("1")}, std::pair{&inactiveLook(), QStringLiteral("2")}};
    for (const auto& [look, suffix] : looks) {
        all.push_back({QStringLiteral("skin/top%1.png").arg(suffix), drawTitle(*look, true), true});
        all.push_back({QStringLiteral("skin/topmax%1.png").arg(suffix), drawTitle(*look, false), true});
        all.push_back({QStringLiteral("skin/left%1.png").arg(suffix), drawSide(*look, true), true});
        all.push_back({QStringLiteral("skin/right%1.png").arg(suffix), drawSide(*look, false), true});
        all.push_back({QStringLiteral("skin/bottom%1.png").arg(suffix), drawBottom(*look), true});
    }
    all.push_back({QStringLiteral("skin/defaulticon.png"), drawDefaultIcon(), false});
    // The icon theme's sizes, for the desktop's menus and launchers.
    all.push_back({QStringLiteral("icons/saporium16.png"), drawIcon16(), false});
    for (const int size : {32, 48, 128, 256})
        all.push_back({QStringLiteral("icons/saporium%1.png").arg(size), drawIcon(size), false});
    return all;
}

} // namespace

} // namespace art

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art <assets folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    art::Checker check;
    try {
        const std::vector<art::Picture> pictures = art::drawAll();
        // Same input, same pixels: a second drawing catches anything read uninitialised.
        if (!art::sameImages(pictures, art::drawAll()))
            check.fail(QStringLiteral("all"), QStringLiteral("two drawings differ"));

        for (const char* folder : {"main", "skin", "icons"}) {
            if (!out.mkpath(QLatin1String(folder))) {
                std::fprintf(stderr, "make_art: cannot create %s\n", qPrintable(out.filePath(QLatin1String(folder))));
                return 1;
            }
        }
        std::set<QString> written;
        for (const art::Picture& picture : pictures) {
            const QString path = out.filePath(picture.path);
            if (!picture.image.save(path, "PNG")) {
                std::fprintf(stderr, "make_art: cannot write %s\n", qPrintable(path));
                return 1;
            }
            written.insert(picture.path);
        }

        art::checkWritten(check, out, pictures, written);
    } catch (const art::ArtError& error) {
        std::fprintf(stderr, "make_art: %s\n", error.what());
        return 1;
    }
    if (check.failures() > 0) {
        std::fprintf(stderr, "make_art: %d check(s) failed\n", check.failures());
        return 1;
    }
    return 0;
}
