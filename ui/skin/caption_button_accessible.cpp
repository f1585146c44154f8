#include "ui/skin/caption_button_accessible.h"

#include "ui/skin/xptopbuttons.h"

#include <array>

namespace skin {

CaptionButtonAccessible::CaptionButtonAccessible(xptopbuttons *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

xptopbuttons *CaptionButtonAccessible::button() const
{
    return static_cast<xptopbuttons *>(widget());
}

QString CaptionButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        // Named after the glyph shown, so a Value outside 0 to 3 reads as the strip kept.
        static const std::array<const char *, 4> kNames{"Close", "Maximize", "Minimize",
                                                        "Restore"};
        return QString::fromLatin1(kNames.at(std::size_t(button()->strip())));
    }
    return QAccessibleWidget::text(t);
}

QStringList CaptionButtonAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void CaptionButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        button()->performClick();
    else
        QAccessibleWidget::doAction(actionName);
}

}  // namespace skin
