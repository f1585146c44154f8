// make_art: draws every bitmap of the program and writes them as PNG files.
//
//   make_art <assets folder>
//
// Writes <folder>/main/*.png (tree images, program icon), <folder>/skin/*.png (window frame,
// command-button face strip, caption-button strips, default window icon) and <folder>/icons/*.png
// (the program icon at the sizes the desktop's icon theme installs). Every main/ and skin/ picture
// also comes at 2x and 3x (name@2x.png, name@3x.png), drawn for screens of those pixel ratios. The output depends on
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

// "skin/top1.png" at scale 2 is "skin/top1@2x.png", the name Qt looks for on a screen of that ratio.
QString scaledName(const char* folder, const QString& name, int scale)
{
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    return QStringLiteral("%1/%2%3.png").arg(QLatin1String(folder), name, suffix);
}

std::vector<Picture> drawAll()
{
    std::vector<Picture> all;
    for (const int s : scales) {
        all.push_back({scaledName("main", QStringLiteral("root"), s), drawRoot(s), false});
        all.push_back({scaledName("main", QStringLiteral("category"), s), drawCategory(s), false});
        all.push_back({scaledName("main", QStringLiteral("selected"), s), drawSelected(s), false});
        all.push_back({scaledName("main", QStringLiteral("recipe"), s), drawRecipe(s), false});
        all.push_back({scaledName("main", QStringLiteral("saporium16"), s), drawIcon16(s), false});
        all.push_back({scaledName("main", QStringLiteral("saporium32"), s), drawIcon(32 * s), false});
        all.push_back({scaledName("skin", QStringLiteral("face"), s), drawFaceStrip(s), true});
        all.push_back({scaledName("skin", QStringLiteral("close"), s), drawCaptionStrip(Glyph::Close, s), true});
        all.push_back({scaledName("skin", QStringLiteral("maximize"), s), drawCaptionStrip(Glyph::Maximize, s), true});
        all.push_back({scaledName("skin", QStringLiteral("minimize"), s), drawCaptionStrip(Glyph::Minimize, s), true});
        all.push_back({scaledName("skin", QStringLiteral("restore"), s), drawCaptionStrip(Glyph::Restore, s), true});
        const std::array<std::pair<const FrameLook*, QString>, 2> looks = {
            std::pair{&activeLook(), QStringLiteral("1")}, std::pair{&inactiveLook(), QStringLiteral("2")}};
        for (const auto& [look, n] : looks) {
            all.push_back({scaledName("skin", QStringLiteral("top") + n, s), drawTitle(*look, true, s), true});
            all.push_back({scaledName("skin", QStringLiteral("topmax") + n, s), drawTitle(*look, false, s), true});
            all.push_back({scaledName("skin", QStringLiteral("left") + n, s), drawSide(*look, true, s), true});
            all.push_back({scaledName("skin", QStringLiteral("right") + n, s), drawSide(*look, false, s), true});
            all.push_back({scaledName("skin", QStringLiteral("bottom") + n, s), drawBottom(*look, s), true});
        }
        all.push_back({scaledName("skin", QStringLiteral("defaulticon"), s), drawDefaultIcon(s), false});
    }
    // The icon theme's sizes, for the desktop's menus and launchers.
    all.push_back({QStringLiteral("icons/saporium16.png"), drawIcon16(1), false});
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
