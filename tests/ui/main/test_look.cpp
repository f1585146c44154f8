// The window on the desktops people run: a dark theme, a large system font, a high-density
// screen.

#include "main_window_fixture.h"
#include "ui/skin/outline_faces.h"

#include <QApplication>
#include <QLabel>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

double luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a widget's text with its ground, as the window shows it: the ground is the
// colour most of the area has, the text the colour that stands out from it most.
double textContrast(QWidget *window, QWidget *widget, QRect area)
{
    const QImage shot = window->grab(QRect(widget->mapTo(window, area.topLeft()), area.size())).toImage();
    QMap<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y) | 0xff000000];
    QRgb ground = counts.firstKey();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(ground))
            ground = it.key();
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(it.key(), ground));
    return best;
}

// What a dark desktop theme hands every window: light text on dark grounds.
QPalette darkTheme()
{
    QPalette dark;
    const QColor text(238, 238, 236), ground(53, 53, 53), base(45, 45, 45);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                           QPalette::BrightText, QPalette::ToolTipText, QPalette::HighlightedText})
        dark.setColor(role, text);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::ToolTipBase})
        dark.setColor(role, ground);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, ground);
    dark.setColor(QPalette::Highlight, QColor(21, 83, 158));
    return dark;
}

class Restore {
public:
    Restore() : palette_(QApplication::palette()), font_(QApplication::font()) {}
    ~Restore()
    {
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }

private:
    QPalette palette_;
    QFont font_;
};

}  // namespace

TEST_F(MainWindowTest, EveryTextStaysReadableUnderADarkTheme)
{
    const Restore restore;
    QApplication::setPalette(darkTheme());
    makeStarterLikeDb();
    open();
    clickNode(QStringLiteral("Soups"));
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    ASSERT_EQ(ui().Text1->text(), QStringLiteral("Leek "));

    auto *label2 = window->findChild<QLabel *>(QStringLiteral("Label2"));
    const struct {
        const char *name;
        QWidget *widget;
        QRect area;
    } texts[] = {
        {"name label", ui().Label1, ui().Label1->rect()},
        {"author label", label2, label2->rect()},
        {"name box", ui().Text1, ui().Text1->rect().adjusted(2, 2, -2, -2)},
        {"author box", ui().Text2, ui().Text2->rect().adjusted(2, 2, -2, -2)},
        {"ingredients box", ui().Text3, ui().Text3->viewport()->geometry()},
        {"tree", ui().Tv, ui().Tv->viewport()->geometry()},
    };
    for (const auto &text : texts) {
        SCOPED_TRACE(text.name);
        // The contrast asked of body text for people with ordinary sight.
        EXPECT_GE(textContrast(window.get(), text.widget, text.area), 4.5);
    }
}

TEST_F(MainWindowTest, TheRecordBoxesGrowWithTheSystemFontAndNothingOverlaps)
{
    const Restore restore;
    makeStarterLikeDb();
    for (const int points : {9, 12, 16, 20, 24}) {
        SCOPED_TRACE(points);
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
        open();
        clickNode(QStringLiteral("Soups"));
        clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));

        for (QLineEdit *box : {ui().Text1, ui().Text2}) {
            // The box's frame and the line edit's pixel above and below leave this for the text.
            EXPECT_GE(box->height() - 4, box->fontMetrics().height()) << box->objectName().toStdString();
        }
        // Down the right-hand column, each control starts below the one above it ends.
        auto *label3 = window->findChild<QLabel *>(QStringLiteral("Label3"));
        const QWidget *column[] = {ui().Picture1, ui().Text1, ui().Text2, label3, ui().Text3, ui().Label4};
        for (std::size_t i = 1; i < std::size(column); ++i)
            EXPECT_GT(column[i]->geometry().top(), column[i - 1]->geometry().bottom())
                << column[i]->objectName().toStdString();
        EXPECT_GE(ui().Text3->height(), 2 * ui().Text3->fontMetrics().height()) << "room for the ingredients";
        // The buttons beside a box stay level with it.
        EXPECT_EQ(ui().Save->geometry().center().y() - ui().Text1->geometry().center().y(),
                  QRect(544, 81, 57, 17).center().y() - QRect(280, 80, 233, 19).center().y());
        TearDown();
    }
}

TEST(OutlineFaces, BitmapFacesGiveWayToOutlineOnesAwayFromRatioOne)
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("Recipe Name:"), &window);
    QFont bitmap(QStringLiteral("MS Sans Serif"));
    bitmap.setPointSizeF(8.25);
    bitmap.setBold(true);
    label->setFont(bitmap);
    auto *other = new QLabel(QStringLiteral("ADD"), &window);
    other->setFont(QFont(QStringLiteral("Tahoma"), 9));

    const struct {
        qreal ratio;
        const char *face;
    } cases[] = {{1.25, "Tahoma"}, {2, "Tahoma"}, {1, "MS Sans Serif"}, {1.5, "Tahoma"}, {3, "Tahoma"}, {1, "MS Sans Serif"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ratio);
        skin::fitFaces(&window, c.ratio);
        EXPECT_EQ(label->font().family(), QLatin1String(c.face));
        EXPECT_EQ(label->font().pointSizeF(), 8.25) << "the size asked for";
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(other->font().family(), QStringLiteral("Tahoma")) << "an outline face is kept";
    }
}
