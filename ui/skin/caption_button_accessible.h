#pragma once
// What assistive technology sees of an xptopbuttons: a push button named "Close", "Maximize",
// "Minimize" or "Restore" after the strip it shows, with a press action that raises Click,
// disabled while the button is.

#include <QAccessibleWidget>

class xptopbuttons;

namespace skin {

class CaptionButtonAccessible : public QAccessibleWidget {
public:
    explicit CaptionButtonAccessible(xptopbuttons *button);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    xptopbuttons *button() const;
};

}  // namespace skin
