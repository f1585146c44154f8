#include "exchange/mealmaster_reader.h"

#include "core/category_schema.h"
#include "exchange/mealmaster_lines.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <string>

namespace exchange {

namespace {

using namespace mealmaster;

// A line longer than this is cut into pieces, so a file without line breaks cannot fill memory.
constexpr qsizetype kLongestLine = 1 << 20;
constexpr qsizetype kChunk = 1 << 16;

// The device's lines, without their line ends: CR LF, LF or CR alone. A line is a view into the
// source's buffer, valid until the next call.
class LineSource {
public:
    explicit LineSource(QIODevice &device) : device_(device) {}

    bool next(QByteArrayView &line)
    {
        for (;;) {
            const char *begin = buf_.constData() + pos_;
            const qsizetype available = buf_.size() - pos_;
            qsizetype i = scanned_;
            // The line end is looked for with memchr: a loop over each byte costs several times more.
            if (const void *lf = std::memchr(begin + i, '\n', static_cast<std::size_t>(available - i)))
                i = static_cast<const char *>(lf) - begin;
            else
                i = available;
            if (const void *cr = std::memchr(begin + scanned_, '\r', static_cast<std::size_t>(i - scanned_)))
                i = static_cast<const char *>(cr) - begin;
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
    bool take(QByteArrayView &line, qsizetype length, qsizetype ending)
    {
        line = QByteArrayView(buf_.constData() + pos_, length);
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

// One recipe's lines, between its first line and its end line, into the four fields. The lines
// are views into the recipe's text; the fields are built as they are read, without a string per
// line or per cell.
class RecipeParser {
public:
    // Starts a recipe of the given length, which no field exceeds. The parser is kept from one
    // recipe to the next, with its working buffers.
    void start(qsizetype size)
    {
        stage_ = Stage::Header;
        titleSeen_ = false;
        inParagraph_ = false;
        title_.clear();
        category_.clear();
        yield_.clear();
        left_.entries.truncate(0);  // keeps its buffer
        right_.entries.truncate(0);
        ingredients_ = QString();
        paragraphs_ = QString();
        ingredients_.reserve(size);
        paragraphs_.reserve(size);
    }

    void add(QStringView line)
    {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        // With its trailing blanks gone, a line is blank exactly when nothing is left.
        const bool blank = line.isEmpty();
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
            if (ingredientLine(blank, tabsExpanded(line)))
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
        ImportedRecipe read;
        read.recipe.name = recipes::schema::trimBlanks(title());
        QString ingredients;
        if (!yield_.isEmpty()) {
            ingredients = QStringLiteral("Yield: ") + yield_;
            appendEntries(ingredients, ingredients_);
        } else {
            ingredients = std::move(ingredients_);
        }
        // A field with no line is a null text, as a join of no lines gives.
        const auto field = [](const QString &text) { return text.isEmpty() ? QString() : recipes::schema::trimBlanks(text); };
        read.recipe.ingredients = field(ingredients);
        read.recipe.instructions = field(paragraphs_);
        read.category = category_;
        return read;
    }

private:
    enum class Stage { Header, Ingredients, Directions };
    static constexpr QStringView kCrLf = u"\r\n";

    // The column of an ingredient block being read: its entries, one a line.
    struct Column {
        QString entries;
        bool isEmpty() const { return entries.isEmpty(); }
    };

    // Entries are never empty, so a list of them is empty exactly when its text is.
    static void appendEntries(QString &list, QStringView entries)
    {
        if (entries.isEmpty())
            return;
        if (!list.isEmpty())
            list += kCrLf;
        list += entries;
    }

    QStringView tabsExpanded(QStringView line)
    {
        if (!line.contains(QLatin1Char('\t')))
            return line;
        expanded_ = expandTabs(line.toString());
        return expanded_;
    }

    bool headerField(QStringView line)
    {
        const auto value = [&line](QLatin1String label) -> std::optional<QStringView> {
            if (!line.startsWith(label, Qt::CaseInsensitive))
                return std::nullopt;
            return line.sliced(label.size()).trimmed();
        };
        std::optional<QStringView> v;
        if ((v = value(QLatin1String("Title:")))) {
            if (!titleSeen_)
                title_ = v->toString();
            titleSeen_ = true;
        } else if ((v = value(QLatin1String("Categories:")))) {
            if (category_.isEmpty()) {
                const qsizetype comma = v->indexOf(QLatin1Char(','));
                category_ = collapseBlanks(comma < 0 ? *v : v->first(comma));
            }
        } else if ((v = value(QLatin1String("Yield:")))) {
            if (yield_.isEmpty())
                yield_ = collapseBlanks(*v);
        } else if ((v = value(QLatin1String("Servings:")))) {
            // One serving is what a recipe without any says, ours included.
            if (yield_.isEmpty() && collapseBlanks(*v) != u"1")
                yield_ = collapseBlanks(*v);
        } else {
            return false;
        }
        return true;
    }

    // False when the line is no part of the ingredients.
    bool ingredientLine(bool blank, QStringView line)
    {
        if (blank) {
            endBlock();
            return true;
        }
        if (const auto name = sectionName(line)) {
            endBlock();
            appendEntries(ingredients_, *name);
            return true;
        }
        const auto row = ingredientSpans(line);
        if (!row)
            return false;
        addCells(row->left, left_);
        if (row->right)
            addCells(*row->right, right_);
        return true;
    }

    // The cells as one entry, "1 1/2 c flour"; or, when they only continue the ingredient above
    // (no quantity, no unit, text after a "-"), that text added to it.
    static void addCells(const CellSpans &cells, Column &column)
    {
        if (cells.blank())
            return;
        const bool continues = cells.quantity.trimmed().isEmpty() && cells.unit.trimmed().isEmpty()
            && firstWordStart(cells.text) == u'-';
        if (continues && !column.isEmpty()) {
            appendWords(column.entries, cells.text.sliced(cells.text.indexOf(QLatin1Char('-')) + 1), false);
            return;
        }
        if (!column.isEmpty())
            column.entries += kCrLf;
        bool first = true;
        first = appendWords(column.entries, cells.quantity, first);
        first = appendWords(column.entries, cells.unit, first);
        appendWords(column.entries, cells.text, first);
    }

    // The first character that is neither space nor tab; nothing when there is none.
    static QChar firstWordStart(QStringView text)
    {
        for (QChar c : text)
            if (c != u' ' && c != u'\t')
                return c;
        return QChar();
    }

    // A two-column list is read down the first column, then down the second.
    void endBlock()
    {
        appendEntries(ingredients_, left_.entries);
        appendEntries(ingredients_, right_.entries);
        left_.entries.truncate(0);  // keeps its buffer
        right_.entries.truncate(0);
    }

    void directionLine(bool blank, QStringView line)
    {
        if (blank) {
            inParagraph_ = false;
            return;
        }
        // A named section after the directions opens a further list of ingredients.
        if (const auto name = sectionName(line); name && !name->isEmpty()) {
            inParagraph_ = false;
            appendEntries(ingredients_, *name);
            stage_ = Stage::Ingredients;
            return;
        }
        const QStringView words = line.trimmed();
        if (inParagraph_) {
            paragraphs_ += QLatin1Char(' ');
            paragraphs_ += words;
        } else {
            appendEntries(paragraphs_, words);
            inParagraph_ = true;
        }
    }

    Stage stage_ = Stage::Header;
    bool titleSeen_ = false;
    QString title_;
    QString category_;
    QString yield_;
    QString ingredients_;  // one entry a line, each ending but the last by CR LF
    Column left_, right_;  // the ingredients of the block being read, by column
    QString paragraphs_;   // the same, one paragraph a line
    bool inParagraph_ = false;
    QString expanded_;  // the line being read, with its tabs expanded
};

class Reader {
public:
    Reader(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe, const ProblemSink &onProblem,
           qsizetype longestRecipe)
        : source_(device), device_(device), sourceName_(sourceName), onRecipe_(onRecipe), onProblem_(onProblem),
          longestRecipe_(longestRecipe)
    {
    }

    void run()
    {
        QByteArrayView line;
        QByteArray cleaned;
        while (source_.next(line)) {
            ++lineNumber_;
            if (lineNumber_ == 1 && line.startsWith("\xEF\xBB\xBF"))
                line = line.sliced(3);
            // DOS programs ended their files with Ctrl+Z. Looked for first: replacing searches
            // with a matcher even when there is nothing to find, and this runs for every line.
            if (line.contains('\x1a')) {
                cleaned = line.toByteArray();
                cleaned.replace('\x1a', QByteArrayView());
                line = cleaned;
            }
            if (!style_) {
                if (const auto style = recipeStart(line))
                    begin(*style);
            } else if (isRecipeEnd(line, *style_)) {
                finish();
            } else if (const auto style = recipeStart(line)) {
                problem(QStringLiteral("The recipe has no end line before the next recipe."));
                begin(*style);
            } else {
                body_.append(line.data(), static_cast<std::size_t>(line.size()));
                body_.push_back('\n');
                bodySize_ += line.size();
                if (bodySize_ > longestRecipe_) {
                    // The rest of it, up to its end line, is passed over as text between recipes.
                    problem(QStringLiteral("The recipe is too large: over the %1 this program reads of one recipe "
                                           "(or its end line is missing), so it was not read.")
                                .arg(byteSize(longestRecipe_)));
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
        // Valid UTF-8 joined by line breaks is valid exactly when each line is.
        const QByteArrayView bytes(body_.data(), static_cast<qsizetype>(body_.size()));
        const bool utf8 = bytes.isValidUtf8();
        const QString text = utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
        RecipeParser &parser = parser_;
        parser.start(text.size());
        QStringView rest(text);
        for (qsizetype end = rest.indexOf(u'\n'); end >= 0; end = rest.indexOf(u'\n')) {
            QStringView line = rest.first(end);
            // Each line was once decoded on its own, which took a leading U+FEFF for a byte order mark.
            if (utf8 && line.startsWith(QChar(0xFEFF)))
                line = line.sliced(1);
            parser.add(line);
            rest = rest.sliced(end + 1);
        }
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
    const qsizetype longestRecipe_;
    qint64 lineNumber_ = 0;
    qint64 start_ = 0;
    std::optional<Style> style_;  // set while inside a recipe
    std::string body_;  // the recipe's lines, each ended by LF
    RecipeParser parser_;
    qsizetype bodySize_ = 0;
};

}  // namespace

void readMealMaster(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, qsizetype longestRecipe)
{
    Reader(device, sourceName, onRecipe, onProblem, longestRecipe).run();
}

}  // namespace exchange
