#include "ui/skin/outline_faces.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace skin {

namespace {

// The widget's own face before it was replaced, so that it can be given back.
constexpr char kAskedFace[] = "saporiumAskedFace";

bool ratioMayHaveChanged(QEvent::Type type)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (type == QEvent::DevicePixelRatioChange)
        return true;
#endif
    return type == QEvent::ScreenChangeInternal || type == QEvent::Show;
}

class RatioWatch final : public QObject {
public:
    explicit RatioWatch(QWidget *window) : QObject(window), window_(window), ratio_(window->devicePixelRatioF())
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && ratioMayHaveChanged(event->type())) {
            const qreal ratio = window_->devicePixelRatioF();
            if (ratio != ratio_) {
                ratio_ = ratio;
                fitFaces(window_, ratio);
            }
        }
        return false;
    }

private:
    QWidget *window_;
    qreal ratio_;
};

}  // namespace

QString faceFor(const QString &asked, qreal ratio)
{
    if (ratio != 1.0 && asked.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Tahoma");
    return asked;
}

void fitFaces(QWidget *window, qreal ratio)
{
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : widgets) {
        const QVariant kept = widget->property(kAskedFace);
        const QString asked = kept.isValid() ? kept.toString() : widget->font().family();
        const QString face = faceFor(asked, ratio);
        if (face == widget->font().family())
            continue;
        if (!kept.isValid())
            widget->setProperty(kAskedFace, asked);
        QFont font = widget->font();
        font.setFamilies({face});
        widget->setFont(font);
    }
}

void followPixelRatio(QWidget *window)
{
    new RatioWatch(window);
    fitFaces(window, window->devicePixelRatioF());
}

}  // namespace skin
