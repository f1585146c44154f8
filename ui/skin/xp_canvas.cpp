#include "ui/skin/xp_canvas.h"

#include "platform/window.h"
#include "ui/skin/skin_palette.h"
#include "ui/skin/skin_pictures.h"
#include "ui/skin/xp_canvas_host.h"
#include "ui/skin/xp_canvas_paint.h"
#include "ui/skin/xp_canvas_piece.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int kBorder = 5;
constexpr int kTitleHeight = 29;
constexpr int kCap = 5;
constexpr int kHotSpot = 9;
constexpr QPoint kCaptionPos(26, 6);
constexpr QPoint kShadowPos(28, 8);
constexpr QRect kIconRect(6, 8, 16, 16);
constexpr QSize kCaptionSize(131, 18);
constexpr int kWatchInterval = 10;
constexpr QColor kBackColour(236, 233, 216);
// X keeps window shapes in 16-bit coordinates; a mask this large never clips the window,
// whatever size it takes before the next layout pass.
constexpr int kMaxWindowExtent = 32767;

Qt::CursorShape pointerFor(int edge)
{
    switch (edge) {
    case 0:
    case 1:
        return Qt::SizeHorCursor;
    case 2:
    case 3:
        return Qt::SizeVerCursor;
    case 5:
    case 6:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::SizeFDiagCursor;
    }
}

Qt::Edges edgesOf(int edge)
{
    constexpr std::array<Qt::Edges, 8> kEdges{
        Qt::LeftEdge,
        Qt::RightEdge,
        Qt::TopEdge,
        Qt::BottomEdge,
        Qt::BottomEdge | Qt::RightEdge,
        Qt::BottomEdge | Qt::LeftEdge,
        Qt::TopEdge | Qt::RightEdge,
        Qt::TopEdge | Qt::LeftEdge,
    };
    return kEdges.at(std::size_t(edge));
}

// The title bar's key-colour corners made see-through, for a window whose shape comes from
// its transparent pixels rather than from a mask.
QPixmap withClearCorners(const QPixmap &bar, const QRegion &corners)
{
    QImage image = bar.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qreal ratio = bar.devicePixelRatio();
    for (const QRect &cut : corners) {
        const QRect pixels = QRectF(QPointF(cut.topLeft()) * ratio, QSizeF(cut.size()) * ratio).toAlignedRect();
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                if (image.rect().contains(x, y))
                    image.setPixel(x, y, 0);
    }
    return QPixmap::fromImage(image);
}

QLabel *captionLabel(const QString &name, QWidget *parent, const QColor &colour)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    // The caption is shown as typed, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setBold(true);
    font.setPointSizeF(9.75);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    // A press on the caption is a press on the title bar beneath it.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->resize(kCaptionSize);
    return label;
}

}  // namespace

xp_canvas::xp_canvas(QWidget *parent)
    : QWidget(parent), pictop(new skin::XpCanvasPiece(QStringLiteral("pictop"), this)),
      picleft(new skin::XpCanvasPiece(QStringLiteral("picleft"), this)),
      picright(new skin::XpCanvasPiece(QStringLiteral("picright"), this)),
      picbottom(new skin::XpCanvasPiece(QStringLiteral("picbottom"), this)),
      imgicon(new QLabel(pictop)),
      lblshadow(captionLabel(QStringLiteral("lblshadow"), pictop,
                             skin::palette().color(QPalette::WindowText))),
      lblcaption(captionLabel(QStringLiteral("lblcaption"), pictop, Qt::white)),
      Timer1(new QTimer(this)), Timer2(new QTimer(this))
{
    // The host's controls are the frame's children and take its colours, not the theme's.
    setPalette(skin::palette());
    // A mask cannot shape a window there: the round corners come from see-through pixels, which
    // the window must be made able to show before it first appears.
    if (QWidget *host = hostWindow(); host && platform::SystemPlacesWindows()
        && host->windowFlags().testFlag(Qt::FramelessWindowHint) && !host->testAttribute(Qt::WA_WState_Created))
        host->setAttribute(Qt::WA_TranslucentBackground);
    loadPictures();
    imgicon->setObjectName(QStringLiteral("imgicon"));
    imgicon->setScaledContents(true);
    imgicon->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Hot spots come last so that they lie above the icon and the caption: the top-edge one
    // overlaps the caption's upper rows.
    for (int index : {2, 6, 7})
        imgresize[index] = new skin::XpCanvasPiece(QStringLiteral("imgresize%1").arg(index), pictop);
    for (int index : {4, 5})
        imgresize[index] = new skin::XpCanvasPiece(QStringLiteral("imgresize%1").arg(index), picbottom);

    connect(pictop, &skin::XpCanvasPiece::pressed, this, &xp_canvas::pictop_MouseDown);
    connect(pictop, &skin::XpCanvasPiece::doubleClicked, this, &xp_canvas::pictop_DblClick);
    for (int edge = 0; edge < 8; ++edge) {
        skin::XpCanvasPiece *piece = handle(edge);
        connect(piece, &skin::XpCanvasPiece::pressed, this,
                [this, edge](QPoint screen) { handle_MouseDown(edge, screen); });
        connect(piece, &skin::XpCanvasPiece::released, this,
                [this, edge](QPoint screen) { handle_MouseUp(edge, screen); });
    }

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    for (QTimer *timer : {Timer1, Timer2})
        timer->setInterval(kWatchInterval);
    connect(Timer1, &QTimer::timeout, this, &xp_canvas::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &xp_canvas::Timer2_Timer);

    show_active_frame();
    layout_frame();

    // A new instance's defaults; a host's form then sets what it stores. The caption, the
    // instance's name, arrives with the name (followName).
    setFixed_Single(false);
    setIcon(QIcon(Image1));

    Timer1->start();
    Timer2->start();
    connect(this, &QObject::objectNameChanged, this, &xp_canvas::followName);
    connect(qApp, &QApplication::focusChanged, this, &xp_canvas::focusMoved);
}

xp_canvas::~xp_canvas()
{
    // The pieces go after this destructor, and the focus moves as they do: no focus report may
    // reach a frame that is already half gone.
    disconnect(qApp, &QApplication::focusChanged, this, &xp_canvas::focusMoved);
}

QString xp_canvas::Caption() const { return lblcaption->text(); }

void xp_canvas::setCaption(const QString &text)
{
    captionSet_ = true;
    showCaption(text);
}

void xp_canvas::showCaption(const QString &text)
{
    lblcaption->setText(text);
    lblshadow->setText(text);
    // Longer captions get wider labels rather than being cut off.
    const int width = std::max(kCaptionSize.width(),
                               QFontMetrics(lblcaption->font()).horizontalAdvance(text) + 2);
    lblcaption->resize(width, kCaptionSize.height());
    lblshadow->resize(width, kCaptionSize.height());
    skin::XpCanvasHost(hostWindow()).setCaption(text);
    layout_frame();
}

void xp_canvas::followName(const QString &name)
{
    if (!captionSet_)
        showCaption(name);
}

QIcon xp_canvas::Icon() const { return stored_icon; }

void xp_canvas::setIcon(const QIcon &icon)
{
    stored_icon = icon;
    // Drawn for the frame's screen, so a 2x icon stays sharp there.
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = icon.pixmap(kIconRect.size(), ratio);
    if (!picture.isNull()) {
        picture = picture.scaled(kIconRect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
    }
    imgicon->setPixmap(picture);
}

bool xp_canvas::Fixed_Single() const { return fixed_single; }

void xp_canvas::setFixed_Single(bool fixed)
{
    fixed_single = fixed;
    // A fixed frame's hot spots do nothing, so a press on them reaches the surface beneath:
    // the whole title bar then moves the window.
    for (skin::XpCanvasPiece *spot : imgresize)
        if (spot)
            spot->setAttribute(Qt::WA_TransparentForMouseEvents, fixed);
    layout_frame();
}

QRect xp_canvas::clientArea() const
{
    return rect().adjusted(kBorder, kTitleHeight, -kBorder, -kBorder);
}

QWidget *xp_canvas::hostWindow() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

skin::XpCanvasPiece *xp_canvas::handle(int edge) const
{
    switch (edge) {
    case 0:
        return picleft;
    case 1:
        return picright;
    case 3:
        return picbottom;
    default:
        return imgresize.at(static_cast<std::size_t>(edge));
    }
}

void xp_canvas::loadPictures()
{
    const bool inactive = !imgleft.isNull() && imgleft.cacheKey() == imgleft2.cacheKey();
    picturesRatio_ = devicePixelRatioF();
    const auto load = [this](const char *name) {
        return skin::picture(QString::fromLatin1(name), picturesRatio_);
    };
    imgtop1 = load("top1");
    imgtopmax1 = load("topmax1");
    imgleft1 = load("left1");
    imgright1 = load("right1");
    imgbottom1 = load("bottom1");
    imgtop2 = load("top2");
    imgtopmax2 = load("topmax2");
    imgleft2 = load("left2");
    imgright2 = load("right2");
    imgbottom2 = load("bottom2");
    Image1 = load("defaulticon");
    if (inactive)
        show_inactive_frame();
    else
        show_active_frame();
    // The icon too is drawn for the screen it is on.
    if (!stored_icon.isNull())
        setIcon(stored_icon);
}

void xp_canvas::show_active_frame()
{
    imgleft = imgleft1;
    imgright = imgright1;
    imgtop = imgtop1;
    imgtopmax = imgtopmax1;
    imgbottom = imgbottom1;
}

void xp_canvas::show_inactive_frame()
{
    imgleft = imgleft2;
    imgright = imgright2;
    imgtop = imgtop2;
    imgtopmax = imgtopmax2;
    imgbottom = imgbottom2;
}

void xp_canvas::layout_frame()
{
    // A window moved to a screen of another pixel ratio takes that screen's pictures.
    if (devicePixelRatioF() != picturesRatio_)
        loadPictures();
    const skin::XpCanvasHost host(hostWindow());
    host.setScaleMode(3);
    update();

    const int w = width(), h = height();
    const int sideHeight = std::max(0, h - kTitleHeight - kBorder);
    pictop->setGeometry(0, 0, w, kTitleHeight);
    picbottom->setGeometry(0, h - kBorder, w, kBorder);
    picleft->setGeometry(0, kTitleHeight, kBorder, sideHeight);
    picright->setGeometry(w - kBorder, kTitleHeight, kBorder, sideHeight);

    picleft->setImage(skin::stretchedPicture(imgleft, picleft->size()));
    picright->setImage(skin::stretchedPicture(imgright, picright->size()));
    const int state = host.WindowState();
    paintTitleBar(state);
    picbottom->setImage(skin::stretchedPicture(imgbottom, picbottom->size()));

    lblcaption->move(kCaptionPos);
    lblshadow->move(kShadowPos);
    imgicon->setGeometry(kIconRect);
    placeHotSpots();
    setPointers(state);

    // The surfaces repaint from their kept images when the event loop next runs; no events
    // are processed here, since the pass also runs inside resize events and while the host's
    // form is still being built.
    emit Resize();
}

void xp_canvas::paintTitleBar(int windowState)
{
    // A minimised window's title bar keeps what it showed.
    if (windowState != 0 && windowState != 2)
        return;
    const QPixmap &picture = windowState == 0 ? imgtop : imgtopmax;
    pictop->setImage(skin::slicedPicture(picture, pictop->size(), kCap));
    applyKeyColourMask(windowState);
}

void xp_canvas::applyKeyColourMask(int windowState)
{
    QWidget *host = hostWindow();
    // A window with a system frame keeps its own shape.
    if (!host || !host->windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    const QImage bar = pictop->image().toImage();
    const QSize barSize = bar.deviceIndependentSize().toSize();
    QRegion key;
    if (windowState == 0) {
        key = skin::keyColourPixels(bar, QRect(0, 0, kCap, barSize.height())) +
              skin::keyColourPixels(bar, QRect(barSize.width() - kCap, 0, kCap, barSize.height()));
    }
    if (host->testAttribute(Qt::WA_TranslucentBackground)) {
        // The corners are left unpainted, by the bar and by the frame's ground beneath it.
        if (!key.isEmpty())
            pictop->setImage(withClearCorners(pictop->image(), key));
        clearCorners_ = key.translated(pictop->mapTo(this, QPoint(0, 0)));
        return;
    }
    // Drawn smoothly at a ratio the picture was not made for, the key colour would bleed into
    // the pixels the mask keeps.
    if (!key.isEmpty() && !qFuzzyCompare(pictop->image().devicePixelRatio(), pictop->devicePixelRatioF()))
        pictop->setImage(withClearCorners(pictop->image(), key));
    QRegion mask;
    if (!key.isEmpty()) {
        key.translate(pictop->mapTo(host, QPoint(0, 0)));
        mask = QRegion(0, 0, kMaxWindowExtent, kMaxWindowExtent) - key;
    }
    // Most passes change nothing here; each new mask is a round trip to the window system.
    if (mask == host->mask())
        return;
    if (mask.isEmpty())
        host->clearMask();
    else
        host->setMask(mask);
}

void xp_canvas::placeHotSpots()
{
    const skin::XpCanvasHost host(hostWindow());
    if (host.window())
        imgresize[6]->setGeometry(host.ScaleWidth() - kHotSpot, 0, kHotSpot, kHotSpot);
    // Only the lower rows of the bottom-right spot lie inside the 5-pixel border.
    imgresize[4]->setGeometry(picbottom->width() - kHotSpot, picbottom->height() - kHotSpot,
                              kHotSpot, kHotSpot);
    imgresize[2]->setGeometry(kHotSpot, 0, std::max(0, pictop->width() - 2 * kHotSpot), kHotSpot);
    imgresize[7]->setGeometry(0, 0, kHotSpot, kHotSpot);
    imgresize[5]->setGeometry(0, 0, kHotSpot, kHotSpot);
}

void xp_canvas::setPointers(int windowState)
{
    const bool sizing = !fixed_single && windowState == 0;
    // A minimised window's pointers stay as they were, unless the frame is fixed.
    if (!fixed_single && windowState != 0 && windowState != 2)
        return;
    for (int edge = 0; edge < 8; ++edge) {
        if (sizing)
            handle(edge)->setCursor(pointerFor(edge));
        else
            handle(edge)->unsetCursor();
    }
}

void xp_canvas::resize_host(QWidget *host, QPoint press_point, QPoint release_point, int edge)
{
    const skin::XpCanvasHost window(host);
    const double dx = (release_point.x() - press_point.x()) * platform::TwipsPerPixelX(host);
    const double dy = (release_point.y() - press_point.y()) * platform::TwipsPerPixelY(host);
    const double l = window.Left(), t = window.Top(), w = window.Width(), h = window.Height();
    switch (edge) {
    case 0:
        window.Move(l + dx, t, w - dx, h);
        break;
    case 1:
        window.Move(l, t, w + dx, h);
        break;
    case 2:
        window.Move(l, t + dy, w, h - dy);
        break;
    case 3:
        window.Move(l, t, w, h + dy);
        break;
    case 4:
        window.Move(l, t, w + dx, h + dy);
        break;
    case 5:
        window.Move(l + dx, t, w - dx, h + dy);
        break;
    case 6:
        window.Move(l, t + dy, w + dx, h - dy);
        break;
    case 7:
        window.Move(l + dx, t + dy, w - dx, h - dy);
        break;
    default:
        break;
    }
}

void xp_canvas::pictop_MouseDown(QPoint screen)
{
    const skin::XpCanvasHost host(hostWindow());
    if (host.window() && host.WindowState() == 0)
        platform::BeginWindowMove(host.window(), screen);
}

void xp_canvas::pictop_DblClick()
{
    if (fixed_single)
        return;
    const skin::XpCanvasHost host(hostWindow());
    host.setWindowState(host.WindowState() == 0 ? 2 : 0);
}

void xp_canvas::handle_MouseDown(int edge, QPoint screen)
{
    if (fixed_single)
        return;
    press_point = screen;
    // Where a client may not place its window, the window system resizes it as the cursor
    // goes, and the release has nothing left to do.
    systemResize_ = platform::SystemPlacesWindows()
        && skin::XpCanvasHost(hostWindow()).WindowState() == 0
        && platform::BeginWindowResize(hostWindow(), edgesOf(edge));
}

void xp_canvas::handle_MouseUp(int edge, QPoint screen)
{
    if (fixed_single || std::exchange(systemResize_, false))
        return;
    release_point = screen;
    resize_host(hostWindow(), press_point, release_point, edge);
}

// With no active form at all, both watchers count their condition as met.
void xp_canvas::Timer1_Timer()
{
    QWidget *active = platform::ActiveForm();
    if (!active || active != hostWindow()) {
        show_inactive_frame();
        layout_frame();
        Timer1->stop();
    }
}

void xp_canvas::Timer2_Timer()
{
    QWidget *active = platform::ActiveForm();
    if (!active || active == hostWindow()) {
        show_active_frame();
        layout_frame();
        Timer2->stop();
    }
}

// Qt reports focus changes for the whole application; the frame's share of them is the focus
// arriving at or leaving the frame itself or one of its pieces. The host's controls, though
// they lie inside the frame, are not its pieces.
void xp_canvas::focusMoved(QWidget *old, QWidget *now)
{
    const auto inside = [this](QWidget *widget) {
        if (!widget)
            return false;
        if (widget == this)
            return true;
        for (QWidget *surface : {pictop, picleft, picright, picbottom})
            if (widget == surface || surface->isAncestorOf(widget))
                return true;
        return false;
    };
    const bool wasInside = inside(old), isInside = inside(now);
    if (isInside && !wasInside)
        UserControl_EnterFocus();
    if (now == this)
        UserControl_GotFocus();
    if (wasInside && !isInside)
        UserControl_ExitFocus();
}

void xp_canvas::UserControl_GotFocus()
{
    Timer1->stop();
    Timer2->stop();
    show_active_frame();
    layout_frame();
}

void xp_canvas::UserControl_EnterFocus()
{
    Timer1->stop();
    show_active_frame();
    layout_frame();
}

void xp_canvas::UserControl_ExitFocus()
{
    Timer1->start();
    Timer2->start();
}

bool xp_canvas::event(QEvent *event)
{
    // The host losing activation takes the focus away from everything in it, so the watchers
    // start even when the focus sat in one of the host's own controls: without them the frame
    // would keep the inactive look once the host is active again.
    if (event->type() == QEvent::WindowDeactivate)
        UserControl_ExitFocus();
    if (event->type() == QEvent::ScreenChangeInternal)
        layout_frame();
    return QWidget::event(event);
}

void xp_canvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!clearCorners_.isEmpty())
        painter.setClipRegion(QRegion(rect()) - clearCorners_);
    painter.fillRect(rect(), kBackColour);
}

void xp_canvas::resizeEvent(QResizeEvent *)
{
    layout_frame();
}

void xp_canvas::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button(), event->modifiers(), float(event->position().x()),
                   float(event->position().y()));
}

void xp_canvas::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(event->buttons(), event->modifiers(), float(event->position().x()),
                   float(event->position().y()));
}

void xp_canvas::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(event->button(), event->modifiers(), float(event->position().x()),
                 float(event->position().y()));
    if (rect().contains(event->position().toPoint()))
        emit Click();
}

void xp_canvas::mouseDoubleClickEvent(QMouseEvent *)
{
    emit DblClick();
}

void xp_canvas::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(event->key(), event->modifiers());
    if (!event->text().isEmpty())
        emit KeyPress(event->text().at(0).unicode());
    QWidget::keyPressEvent(event);
}

void xp_canvas::keyReleaseEvent(QKeyEvent *event)
{
    emit KeyUp(event->key(), event->modifiers());
    QWidget::keyReleaseEvent(event);
}
