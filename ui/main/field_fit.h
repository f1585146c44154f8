#pragma once
// The record's boxes and labels, fitted to the fonts they show. The form places them for the
// fonts of its day; a larger system font (the boxes take the desktop's) or an outline face in
// place of a bitmap one needs taller boxes and labels, or their text is cut. Each grows about
// its middle as far as its font needs and what lies below moves down, the ingredients box
// giving up the height; with fonts that fit, everything stays exactly where the form put it.

namespace Ui {
class main;
}

namespace mainform {

// Fits from the form's own places every time, so it may run again after any font change.
void fitFieldsToFonts(Ui::main &ui);

}  // namespace mainform
