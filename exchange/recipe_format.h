#pragma once
// A recipe format as the window and the command line see it: its name on the command line, its
// title in the file boxes, its suffixes, and what it does: read recipe files, write an export
// (a file, or a folder of them), or both. The formats are listed in format_list.h; a format is
// an object there, so nothing else needs to know which formats there are.
//
// Failures: read() tells each problem to its sink, a recipe over the limits it is given among
// them, and throws what the sinks throw, and FileTooLarge (read_limits.h) for a file it reads
// whole that is over them; exportTo()
// returns false, with *error naming the file or folder and why, or with *error empty when the
// export was cancelled. A collection that cannot be read is such a failure too.

#include "exchange/exporter.h"
#include "exchange/mealmaster_reader.h"
#include "exchange/read_limits.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QFile;

namespace recipes {
class Collection;
}

namespace exchange {

class RecipeFormat {
public:
    virtual ~RecipeFormat();

    // The name --format takes: "jsonld".
    virtual QString name() const = 0;
    // What the file boxes call it, without the pattern: "Schema.org recipes, JSON-LD".
    virtual QString title() const = 0;
    // The suffixes its files carry, without the dot; an export is given the first. None for a
    // folder format.
    virtual QStringList suffixes() const = 0;
    // The export box's line for it: the title and the pattern of what it writes.
    virtual QString filter() const;

    // A cookbook is for reading by people (offered first in the window); the others are for
    // other programs.
    virtual bool isCookbook() const { return false; }
    // Its export writes into a folder rather than one file.
    virtual bool writesFolder() const { return false; }
    // Its export draws with Qt Gui, so it needs a QGuiApplication.
    virtual bool needsGui() const { return false; }

    virtual bool reads() const { return false; }
    // Whether a file that begins so (blanks and a byte order mark gone) is of this format.
    virtual bool claims(QByteArrayView head) const;
    // Whether it takes a file that neither its beginning nor its suffix names.
    virtual bool readsAnyText() const { return false; }
    // Reads the whole file, keeping to limits; name starts each place told.
    virtual void read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
                      const ProblemSink &onProblem) const;

    virtual bool writes() const { return false; }
    // Writes the categories' recipes, in catalogue and stored order, to path.
    virtual bool exportTo(const QString &path, const recipes::Collection &collection, const QStringList &categories,
                          const ExportProgress &progress, QString *error) const;
};

}  // namespace exchange
