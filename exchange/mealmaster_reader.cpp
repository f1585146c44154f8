#include "exchange/mealmaster_reader.h"

#include "core/category_schema.h"
#include "exchange/mealmaster_lines.h"

#include <QIODevice>
#include <QStringList>

#include <algorithm>

namespace exchange {

namespace {

using namespace mealmaster;

// A line longer than this is cut into pieces, so a file without line breaks cannot fill memory.
constexpr qsizetype kLongestLine = 1 << 20;
// A recipe is a few kilobytes; one this long has lost its end line, and is given up.
constexpr qsizetype kLongestRecipe = 4 << 20;
constexpr qsizetype kChunk = 1 << 16;

// The device's lines, without their line ends: CR LF, LF or CR alone.
class LineSource {
public:
    explicit LineSource(QIODevice &device) : device_(device) {}

    bool next(QByteArray &line)
    {
        for (;;) {
            const char *begin = buf_.constData() + pos_;
            const qsizetype available = buf_.size() - pos_;
            qsizetype i = scanned_;
            while (i < available && begin[i] != '\n' && begin[i] != '\r')
                ++i;
            if (i < available) {
                qsizetype ending = 1;
                if (begin[i] == '\r') {
                    // A CR last in the buffer may be the first half of a CR LF.
                    if (i + 1 == available && !end_) {
                        scanned_ = i;
                        fill();
                        continue;
                    }
                    if (i + 1 < available && begin[i + 1] == '\n')
                        ending = 2;
                }
                return take(line, i, ending);
            }
            scanned_ = available;
            if (available >= kLongestLine || (end_ && available > 0))
                return take(line, available, 0);
            if (end_)
                return false;
            fill();
        }
    }

    bool failed() const { return failed_; }

private:
    bool take(QByteArray &line, qsizetype length, qsizetype ending)
    {
        line = QByteArray(buf_.constData() + pos_, length);
        pos_ += length + ending;
        scanned_ = 0;
        return true;
    }

    void fill()
    {
        buf_.remove(0, pos_);
        pos_ = 0;
        const qsizetype kept = buf_.size();
        buf_.resize(kept + kChunk);
        qint64 got = 0;
        // A pipe or a process may have nothing yet without being done.
        do
            got = device_.read(buf_.data() + kept, kChunk);
        while (got == 0 && device_.isSequential() && device_.waitForReadyRead(-1));
        buf_.resize(kept + std::max<qint64>(got, 0));
        end_ = got <= 0;
        failed_ = got < 0;
    }

    QIODevice &device_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    qsizetype scanned_ = 0;  // from pos_, the bytes known to hold no line end
    bool end_ = false;
    bool failed_ = false;
};

// One recipe's lines, between its first line and its end line, into the four fields.
class RecipeParser {
public:
    void add(const QString &raw)
    {
        QString line = raw;
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        const bool blank = line.trimmed().isEmpty();
        switch (stage_) {
        case Stage::Header:
            if (blank) {
                // The blank line after the title block opens the ingredients.
                if (titleSeen_)
                    stage_ = Stage::Ingredients;
                return;
            }
            if (headerField(line.trimmed()))
                return;
            stage_ = Stage::Ingredients;
            [[fallthrough]];
        case Stage::Ingredients:
            if (ingredientLine(blank, expandTabs(line)))
                return;
            endBlock();
            stage_ = Stage::Directions;
            [[fallthrough]];
        case Stage::Directions:
            directionLine(blank, line);
            return;
        }
    }

    QString title() const { return title_.trimmed(); }

    ImportedRecipe finish()
    {
        endBlock();
        endParagraph();
        ImportedRecipe read;
        read.recipe.name = recipes::schema::trimBlanks(title());
        QStringList ingredients;
        if (!yield_.isEmpty())
            ingredients.append(QStringLiteral("Yield: ") + yield_);
        ingredients += ingredients_;
        read.recipe.ingredients = recipes::schema::trimBlanks(ingredients.join(QLatin1String("\r\n")));
        read.recipe.instructions = recipes::schema::trimBlanks(paragraphs_.join(QLatin1String("\r\n")));
        read.category = category_;
        return read;
    }

private:
    enum class Stage { Header, Ingredients, Directions };

    bool headerField(const QString &line)
    {
        const auto value = [&line](QLatin1String label) -> std::optional<QStringView> {
            if (!line.startsWith(label, Qt::CaseInsensitive))
                return std::nullopt;
            return QStringView(line).sliced(label.size()).trimmed();
        };
        std::optional<QStringView> v;
        if ((v = value(QLatin1String("Title:")))) {
            if (!titleSeen_)
                title_ = v->toString();
            titleSeen_ = true;
        } else if ((v = value(QLatin1String("Categories:")))) {
            if (category_.isEmpty())
                category_ = collapseBlanks(v->toString().section(QLatin1Char(','), 0, 0));
        } else if ((v = value(QLatin1String("Yield:"))) || (v = value(QLatin1String("Servings:")))) {
            if (yield_.isEmpty())
                yield_ = collapseBlanks(*v);
        } else {
            return false;
        }
        return true;
    }

    // False when the line is no part of the ingredients.
    bool ingredientLine(bool blank, const QString &line)
    {
        if (blank) {
            endBlock();
            return true;
        }
        if (const auto name = sectionName(line)) {
            endBlock();
            if (!name->isEmpty())
                ingredients_.append(*name);
            return true;
        }
        const auto row = ingredientRow(line);
        if (!row)
            return false;
        addCells(row->left, left_);
        if (row->right)
            addCells(*row->right, right_);
        return true;
    }

    static void addCells(const Cells &cells, QStringList &column)
    {
        if (cells.blank())
            return;
        const auto more = cells.continuation();
        if (more && !column.isEmpty()) {
            if (!more->isEmpty())
                column.last() += QLatin1Char(' ') + *more;
            return;
        }
        column.append(cells.joined());
    }

    // A two-column list is read down the first column, then down the second.
    void endBlock()
    {
        ingredients_ += left_;
        ingredients_ += right_;
        left_.clear();
        right_.clear();
    }

    void directionLine(bool blank, const QString &line)
    {
        if (blank) {
            endParagraph();
            return;
        }
        // A named section after the directions opens a further list of ingredients.
        if (const auto name = sectionName(line); name && !name->isEmpty()) {
            endParagraph();
            ingredients_.append(*name);
            stage_ = Stage::Ingredients;
            return;
        }
        const QString words = line.trimmed();
        paragraph_ = paragraph_.isEmpty() ? words : paragraph_ + QLatin1Char(' ') + words;
    }

    void endParagraph()
    {
        if (!paragraph_.isEmpty())
            paragraphs_.append(paragraph_);
        paragraph_.clear();
    }

    Stage stage_ = Stage::Header;
    bool titleSeen_ = false;
    QString title_;
    QString category_;
    QString yield_;
    QStringList ingredients_;
    QStringList left_, right_;  // the ingredients of the block being read, by column
    QStringList paragraphs_;
    QString paragraph_;
};

class Reader {
public:
    Reader(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe, const ProblemSink &onProblem)
        : source_(device), device_(device), sourceName_(sourceName), onRecipe_(onRecipe), onProblem_(onProblem)
    {
    }

    void run()
    {
        QByteArray line;
        while (source_.next(line)) {
            ++lineNumber_;
            if (lineNumber_ == 1 && line.startsWith("\xEF\xBB\xBF"))
                line.remove(0, 3);
            // DOS programs ended their files with Ctrl+Z. Looked for first: replacing searches
            // with a matcher even when there is nothing to find, and this runs for every line.
            if (line.contains('\x1a'))
                line.replace('\x1a', QByteArrayView());
            if (!style_) {
                if (const auto style = recipeStart(line))
                    begin(*style);
            } else if (isRecipeEnd(line, *style_)) {
                finish();
            } else if (const auto style = recipeStart(line)) {
                problem(QStringLiteral("The recipe has no end line before the next recipe."));
                begin(*style);
            } else {
                body_.append(line);
                bodySize_ += line.size();
                if (bodySize_ > kLongestRecipe) {
                    problem(QStringLiteral("The recipe is over 4 MB long; its end line is missing."));
                    drop();
                }
            }
        }
        if (source_.failed())
            onProblem_({sourceName_, QStringLiteral("The file could not be read: ") + device_.errorString()});
        if (style_)
            problem(QStringLiteral("The file ends before the recipe's end line."));
    }

private:
    void begin(Style style)
    {
        drop();
        style_ = style;
        start_ = lineNumber_;
    }

    void drop()
    {
        style_.reset();
        body_.clear();
        bodySize_ = 0;
    }

    void finish()
    {
        const bool utf8 = std::all_of(body_.cbegin(), body_.cend(),
                                      [](const QByteArray &line) { return QByteArrayView(line).isValidUtf8(); });
        RecipeParser parser;
        for (const QByteArray &line : std::as_const(body_))
            parser.add(utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line));
        if (parser.title().isEmpty()) {
            problem(QStringLiteral("The recipe has no title."));
        } else {
            ImportedRecipe read = parser.finish();
            read.where = where();
            onRecipe_(read);
        }
        drop();
    }

    QString where() const { return sourceName_ + QLatin1Char(':') + QString::number(start_); }
    void problem(const QString &reason) { onProblem_({where(), reason}); }

    LineSource source_;
    QIODevice &device_;
    const QString sourceName_;
    const RecipeSink &onRecipe_;
    const ProblemSink &onProblem_;
    qint64 lineNumber_ = 0;
    qint64 start_ = 0;
    std::optional<Style> style_;  // set while inside a recipe
    QList<QByteArray> body_;
    qsizetype bodySize_ = 0;
};

}  // namespace

void readMealMaster(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem)
{
    Reader(device, sourceName, onRecipe, onProblem).run();
}

}  // namespace exchange
