#pragma once
// Every command of the main window from the keyboard: the skinned buttons take the focus in the
// form's tab order, and the shortcuts press the buttons they stand for, only where those are
// shown (Ctrl+N ADD, Ctrl+E Edit, Delete in the tree, Ctrl+S Save or Save Edited, Escape the
// mode's Cancel, Ctrl+P Print, F1 Help, Ctrl+Q close).

class QWidget;

namespace Ui {
class main;
}

namespace mainform {

void wireKeys(QWidget &window, Ui::main &ui);

}  // namespace mainform
