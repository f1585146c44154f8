// The checks make_art runs on the files it wrote: each is read back and held to the sizes, key
// colour, stretchable regions, caption corners and transparency the skin code relies on.

#include "art.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLatin1Char>
#include <QLatin1String>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace art {

namespace {

// The sizes the program's code cuts and places the pictures by; kept apart from the drawing code
// so that a drawing mistake cannot move both.
const std::map<QString, QSize>& expectedSizes()
{
    static const std::map<QString, QSize> sizes = [] {
        std::map<QString, QSize> s;
        for (const char* name : {"root", "category", "selected", "recipe", "saporium16"})
            s[QStringLiteral("main/%1.png").arg(QLatin1String(name))] = QSize(16, 16);
        s[QStringLiteral("main/saporium32.png")] = QSize(32, 32);
        s[QStringLiteral("skin/face.png")] = QSize(90, 21);
        for (const char* name : {"close", "maximize", "minimize", "restore"})
            s[QStringLiteral("skin/%1.png").arg(QLatin1String(name))] = QSize(84, 21);
        for (const char* suffix : {"1", "2"}) {
            const QString n = QLatin1String(suffix);
            s[QStringLiteral("skin/top%1.png").arg(n)] = QSize(66, 29);
            s[QStringLiteral("skin/topmax%1.png").arg(n)] = QSize(66, 29);
            s[QStringLiteral("skin/left%1.png").arg(n)] = QSize(5, 31);
            s[QStringLiteral("skin/right%1.png").arg(n)] = QSize(5, 31);
            s[QStringLiteral("skin/bottom%1.png").arg(n)] = QSize(49, 5);
        }
        s[QStringLiteral("skin/defaulticon.png")] = QSize(16, 16);
        for (const int n : {16, 32, 48, 128, 256})
            s[QStringLiteral("icons/saporium%1.png").arg(n)] = QSize(n, n);
        return s;
    }();
    return sizes;
}

// The scale a picture is drawn at, from its name: 2 for "skin/top1@2x.png", 1 without a suffix.
int scaleOf(const QString& name)
{
    const qsizetype mark = name.lastIndexOf(QLatin1Char('@'));
    return mark < 0 ? 1 : name.mid(mark + 1, 1).toInt();
}

// The 1x picture's name: "skin/top1.png" for "skin/top1@2x.png".
QString plainName(const QString& name)
{
    const qsizetype mark = name.lastIndexOf(QLatin1Char('@'));
    return mark < 0 ? name : name.left(mark) + QStringLiteral(".png");
}

// Every picture the program uses by name: the 1x ones, and for main/ and skin/ their 2x and 3x.
std::map<QString, QSize> allExpectedSizes()
{
    std::map<QString, QSize> all;
    for (const auto& [name, size] : expectedSizes()) {
        all[name] = size;
        if (name.startsWith(QLatin1String("icons/")))
            continue;
        for (const int scale : scales)
            if (scale > 1)
                all[name.chopped(4) + QStringLiteral("@%1x.png").arg(scale)] = size * scale;
    }
    return all;
}

QString at(int x, int y) { return QStringLiteral("(%1, %2)").arg(x).arg(y); }

bool isKey(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xffffffu) == (keyColour & 0xffffffu); }

void checkKeyColour(Checker& check, const QString& name, const QImage& image)
{
    // Written out again rather than taken from the drawing code, which it is here to check.
    constexpr std::array<int, 5> keyRun = {5, 3, 2, 1, 1};
    // At a higher scale the key colour covers exactly the device pixels of the 1x key pixels,
    // since the window mask is cut in whole 1x pixels.
    const int s = scaleOf(name);
    const QString plain = plainName(name);
    std::set<std::pair<int, int>> wanted;
    if (plain == QLatin1String("skin/top1.png") || plain == QLatin1String("skin/top2.png")) {
        for (int c = 0; c < static_cast<int>(keyRun.size()); ++c) {
            for (int y = 0; y < keyRun[static_cast<std::size_t>(c)] * s; ++y) {
                for (int d = 0; d < s; ++d) {
                    wanted.insert({c * s + d, y});
                    wanted.insert({(titleWidth - c) * s - 1 - d, y});
                }
            }
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool want = wanted.count({x, y}) > 0;
            if (isKey(image, x, y) != want)
                check.fail(name, want ? QStringLiteral("corner pixel %1 is not the key colour").arg(at(x, y))
                                      : QStringLiteral("pixel %1 has the key colour").arg(at(x, y)));
        }
    }
}

// A region that the skin stretches must not change along the stretch.
void checkUniform(Checker& check, const QString& name, const QImage& image, QRect region, bool alongX)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const int refX = alongX ? region.left() : x;
            const int refY = alongX ? y : region.top();
            if (image.pixel(x, y) != image.pixel(refX, refY)) {
                check.fail(name, QStringLiteral("pixel %1 differs from %2 in a stretched region")
                                     .arg(at(x, y), at(refX, refY)));
                return;
            }
        }
    }
}

// A region stretched vertically may carry a gentle gradient, never a visible step.
void checkSmoothDown(Checker& check, const QString& name, const QImage& image, QRect region)
{
    for (int y = region.top() + 1; y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor a = image.pixelColor(x, y - 1);
            const QColor b = image.pixelColor(x, y);
            const int step = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                       std::abs(a.blue() - b.blue())});
            if (step > 3) {
                check.fail(name, QStringLiteral("step of %1 at %2 in a vertically stretched region")
                                     .arg(step)
                                     .arg(at(x, y)));
                return;
            }
        }
    }
}

void checkStretching(Checker& check, const QString& name, const QImage& image)
{
    const int s = scaleOf(name);
    const QString file = plainName(name).section(QLatin1Char('/'), 1);
    if (file.startsWith(QLatin1String("top"))) {
        checkUniform(check, name, image, QRect(5 * s, 0, (titleWidth - 10) * s, titleHeight * s), true);
    } else if (file.startsWith(QLatin1String("left")) || file.startsWith(QLatin1String("right"))) {
        checkUniform(check, name, image, image.rect(), false);
    } else if (file.startsWith(QLatin1String("bottom"))) {
        checkUniform(check, name, image, image.rect(), true);
    } else if (file == QLatin1String("face.png")) {
        const int b = faceBorder * s;
        const int w = faceCellWidth * s;
        const int h = faceCellHeight * s;
        for (int i = 0; i < faceCells; ++i) {
            const int x0 = i * w;
            // top edge, centre and bottom edge stretch across; the side edges and centre stretch down
            checkUniform(check, name, image, QRect(x0 + b, 0, w - 2 * b, h), true);
            checkSmoothDown(check, name, image, QRect(x0, b, w, h - 2 * b));
        }
    }
}

// Outside its rounded square a caption button shows the active title bar it sits on.
void checkCaptionCorners(Checker& check, const QString& name, const QImage& image, const QImage& activeTitle)
{
    constexpr int buttonTop = 6; // where the windows place the caption buttons on the bar
    const int s = scaleOf(name);
    const int n = captionCell * s;
    for (int i = 0; i < captionCells; ++i) {
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{n - 1, 0}, std::pair{0, n - 1}, std::pair{n - 1, n - 1}}) {
            const QRgb bar = activeTitle.pixel(titleWidth / 2 * s, buttonTop * s + y);
            if (image.pixel(i * n + x, y) != bar)
                check.fail(name, QStringLiteral("cell %1 corner %2 does not match the title bar").arg(i).arg(at(x, y)));
        }
    }
}

void checkAlpha(Checker& check, const QString& name, const QImage& image, bool opaque)
{
    if (opaque) {
        if (image.hasAlphaChannel())
            check.fail(name, QStringLiteral("has an alpha channel but must be opaque"));
        return;
    }
    if (!image.hasAlphaChannel() || qAlpha(image.pixel(0, image.height() - 1)) != 0)
        check.fail(name, QStringLiteral("has no transparent background"));
}

} // namespace

void Checker::fail(const QString& picture, const QString& what)
{
    std::fprintf(stderr, "make_art: %s: %s\n", qPrintable(picture), qPrintable(what));
    ++failures_;
}

bool sameImages(const std::vector<Picture>& a, const std::vector<Picture>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].path != b[i].path || a[i].image != b[i].image)
            return false;
    return true;
}

void checkWritten(Checker& check, const QDir& out, const std::vector<Picture>& pictures,
                  const std::set<QString>& written)
{
    // The active title bar the caption buttons of each scale sit on.
    std::map<int, QImage> activeTitle;
    for (const int s : scales) {
        const QString top = s == 1 ? QStringLiteral("skin/top1.png") : QStringLiteral("skin/top1@%1x.png").arg(s);
        activeTitle[s] = QImage(out.filePath(top)).convertToFormat(QImage::Format_ARGB32);
    }
    const std::map<QString, QSize> sizes = allExpectedSizes();
    for (const auto& [name, size] : sizes)
        if (written.count(name) == 0)
            check.fail(name, QStringLiteral("was not drawn"));
    for (const Picture& picture : pictures) {
        const QString& name = picture.path;
        const QImage loaded(out.filePath(name));
        const auto expected = sizes.find(name);
        if (expected == sizes.end()) {
            check.fail(name, QStringLiteral("is not a picture the program uses"));
            continue;
        }
        if (loaded.isNull()) {
            check.fail(name, QStringLiteral("cannot be read back"));
            continue;
        }
        if (loaded.size() != expected->second) {
            check.fail(name, QStringLiteral("is %1 x %2, expected %3 x %4")
                                 .arg(loaded.width())
                                 .arg(loaded.height())
                                 .arg(expected->second.width())
                                 .arg(expected->second.height()));
            continue;
        }
        const QImage image = loaded.convertToFormat(QImage::Format_ARGB32);
        if (image != picture.image.convertToFormat(QImage::Format_ARGB32))
            check.fail(name, QStringLiteral("reads back different from what was drawn"));
        checkAlpha(check, name, loaded, picture.opaque);
        checkKeyColour(check, name, image);
        checkStretching(check, name, image);
        const QString plain = plainName(name);
        if (plain.endsWith(QLatin1String("close.png")) || plain.endsWith(QLatin1String("maximize.png"))
            || plain.endsWith(QLatin1String("minimize.png")) || plain.endsWith(QLatin1String("restore.png")))
            checkCaptionCorners(check, name, image, activeTitle[scaleOf(name)]);
    }
}

} // namespace art
