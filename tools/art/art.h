#pragma once
// The pictures make_art draws and the checks it runs on what it wrote, by the file that offers them.

#include "art_common.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <set>
#include <vector>

namespace art {

// Every picture but drawIcon is drawn at 1x size times `scale` (1, 2 or 3).

// tree_icons.cpp: the tree's images and the program icon, 16 x 16 except drawIcon.
QImage drawRoot(int scale);
QImage drawCategory(int scale);
QImage drawSelected(int scale);
QImage drawRecipe(int scale);
QImage drawIcon16(int scale);
// The program icon at size x size (32 and above).
QImage drawIcon(int size);

// button_faces.cpp: the command-button face strip and the caption-button strips.
enum class Glyph { Close, Maximize, Minimize, Restore };

QImage drawFaceStrip(int scale);
QImage drawCaptionStrip(Glyph glyph, int scale);

// frame_pictures.cpp: the window frame's pieces and the default window icon.
QImage drawTitle(const FrameLook& look, bool roundCorners, int scale);
QImage drawSide(const FrameLook& look, bool left, int scale);
QImage drawBottom(const FrameLook& look, int scale);
QImage drawDefaultIcon(int scale);

// art_checks.cpp: counts and reports every rule a written picture breaks.
class Checker {
public:
    void fail(const QString& picture, const QString& what);
    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

bool sameImages(const std::vector<Picture>& a, const std::vector<Picture>& b);

// Reads back every picture written into out and checks it against the rules the skin code relies
// on; written holds the paths that were saved.
void checkWritten(Checker& check, const QDir& out, const std::vector<Picture>& pictures,
                  const std::set<QString>& written);

} // namespace art
