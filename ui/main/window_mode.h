#pragma once
// What the main window is doing, as one value: the mode buttons shown follow from it alone.
//
// The boxes' lock is a flag beside the mode, not a consequence of it: entering adding or editing
// unlocks the boxes and leaving them by Save, Cancel, Save Edited or its Cancel locks them, but
// choosing a category, leaving that, and the steps a command gives up on leave the lock as it
// was. So "browsing" or "choosing a category" with unlocked boxes exist (reached from adding or
// editing), as does editing with locked boxes (the recipe clicked was gone from the file).

namespace mainform {

enum class WindowMode {
    Browsing,          // no mode buttons
    Adding,            // Save and Cancel; the tree shows the categories only
    Editing,           // Save Edited and its Cancel
    ChoosingCategory,  // Delete a Category and its Cancel
};

struct WindowState {
    WindowMode mode = WindowMode::Browsing;
    bool boxesLocked = true;
};

// The mode buttons one mode shows, in pairs: the first saves or deletes, the second cancels.
struct ModeButtons {
    bool save = false, cancel = false;
    bool saveEdited = false, cancelEdit = false;
    bool deleteCategory = false, cancelCategory = false;
};

constexpr ModeButtons modeButtons(WindowMode mode)
{
    ModeButtons shown;
    shown.save = shown.cancel = mode == WindowMode::Adding;
    shown.saveEdited = shown.cancelEdit = mode == WindowMode::Editing;
    shown.deleteCategory = shown.cancelCategory = mode == WindowMode::ChoosingCategory;
    return shown;
}

}  // namespace mainform
