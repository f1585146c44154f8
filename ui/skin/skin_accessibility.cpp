#include "ui/skin/skin_accessibility.h"

#include "ui/skin/caption_button_accessible.h"
#include "ui/skin/command_button_accessible.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"

#include <QAccessible>

namespace skin {

namespace {

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("xpcmdbutton")) {
        if (auto *button = qobject_cast<xpcmdbutton *>(object))
            return new CommandButtonAccessible(button);
    } else if (className == QLatin1String("xptopbuttons")) {
        if (auto *button = qobject_cast<xptopbuttons *>(object))
            return new CaptionButtonAccessible(button);
    }
    return nullptr;
}

}  // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace skin
