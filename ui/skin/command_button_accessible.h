#pragma once
// What assistive technology sees of an xpcmdbutton: a push button named by its caption, with a
// press action that raises Click, disabled while the button is.

#include <QAccessibleWidget>

class xpcmdbutton;

namespace skin {

class CommandButtonAccessible : public QAccessibleWidget {
public:
    explicit CommandButtonAccessible(xpcmdbutton *button);

    // The name is the caption, unless the host gave the button an accessible name of its own.
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    xpcmdbutton *button() const;
};

}  // namespace skin
