#pragma once
// The main window's controls, found by the names its form gives them, for tests to drive. The
// form's generated header stays private to the window.

#include "ui/skin/xp_canvas.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include "platform/tree_view.h"

#include <gtest/gtest.h>

struct MainForm {
    xp_canvas *xp_canvas1;
    xptopbuttons *xptopbuttons1, *xptopbuttons2, *xptopbuttons3;
    xpcmdbutton *xpcmdbutton1, *xpcmdbutton2;
    platform::TreeView *Tv;
    QFrame *Picture1;
    xpcmdbutton *add, *delete_, *Edit, *print, *Website, *help;
    QLabel *Label1, *Label4;
    QLineEdit *Text1, *Text2;
    QPlainTextEdit *Text3, *Text4;
    xpcmdbutton *Save, *Cancel, *saveedited, *canceledit, *delcatagroy, *cancelcata;
};

// Fails the test at once when a control is missing, rather than leaving a null to crash on.
template <typename T>
T *control(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

inline MainForm mainForm(QWidget &w)
{
    return {control<xp_canvas>(w, "xp_canvas1"),
            control<xptopbuttons>(w, "xptopbuttons1"), control<xptopbuttons>(w, "xptopbuttons2"),
            control<xptopbuttons>(w, "xptopbuttons3"),
            control<xpcmdbutton>(w, "xpcmdbutton1"), control<xpcmdbutton>(w, "xpcmdbutton2"),
            control<platform::TreeView>(w, "Tv"), control<QFrame>(w, "Picture1"),
            control<xpcmdbutton>(w, "add"), control<xpcmdbutton>(w, "delete"), control<xpcmdbutton>(w, "Edit"),
            control<xpcmdbutton>(w, "print"), control<xpcmdbutton>(w, "Website"), control<xpcmdbutton>(w, "help"),
            control<QLabel>(w, "Label1"), control<QLabel>(w, "Label4"),
            control<QLineEdit>(w, "Text1"), control<QLineEdit>(w, "Text2"),
            control<QPlainTextEdit>(w, "Text3"), control<QPlainTextEdit>(w, "Text4"),
            control<xpcmdbutton>(w, "Save"), control<xpcmdbutton>(w, "Cancel"),
            control<xpcmdbutton>(w, "saveedited"), control<xpcmdbutton>(w, "canceledit"),
            control<xpcmdbutton>(w, "delcatagroy"), control<xpcmdbutton>(w, "cancelcata")};
}
