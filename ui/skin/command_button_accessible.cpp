#include "ui/skin/command_button_accessible.h"

#include "ui/skin/xpcmdbutton.h"

namespace skin {

CommandButtonAccessible::CommandButtonAccessible(xpcmdbutton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

xpcmdbutton *CommandButtonAccessible::button() const
{
    return static_cast<xpcmdbutton *>(widget());
}

QString CommandButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return button()->Caption();
    return QAccessibleWidget::text(t);
}

QStringList CommandButtonAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void CommandButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction())
        button()->performClick();
    else
        QAccessibleWidget::doAction(actionName);
}

}  // namespace skin
