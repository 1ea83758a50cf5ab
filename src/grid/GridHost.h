#pragma once
// What the grid painter asks of the main window: the window state it reads and the panels,
// lists and buttons above the grid that it fills in. The panes it draws into are handed over
// separately (GridPanes).

#include <QString>
#include <cstdint>

namespace tavrin {

// The information panels above the grid.
enum class InfoPanel {
    DaysTagged,         // number of tagged days (tool tip "Days Selected")
    DateOn,             // the cursor's date
    DateDisplay,        // first and last visible date
    EmpRow,             // display row of the tagged run
    TopInfoShiftDesc,   // the tagged cell's shifts
    TopInfoShiftHours,  // their paid hours
};

// The two looks of the note buttons NoteX and NoteCheck.
enum class NoteButtonLook {
    Note,         // no captions, the inactive pictures XInAct and CheckInAct
    Requirement,  // captions "+" and "-", no pictures
};

class GridHost {
public:
    virtual ~GridHost() = default;

    // --- read from the main window ---
    virtual bool IsMinimised() const = 0;
    // The shift chosen in the shift list; above 0 once a schedule's list has been filled.
    virtual int CurrentShiftCode() const = 0;
    // The open schedule's file name stem, blank when none.
    virtual QString SchedStem() const = 0;
    // Index in the explanation list of an explanation code (0 "None" and unlisted codes).
    virtual int ExplListIndex(int code) const = 0;
    // Trimmed text of the explanation list's entry for an explanation code.
    virtual QString ExplanationListText(int code) const = 0;
    // True while a choice in the explanation list is being applied by its own handler.
    virtual bool ExplComboBusy() const = 0;

    // --- shown by the main window ---
    virtual void SetCaption(const QString& caption) = 0;
    // The busy (hourglass) pointer on or off.
    virtual void SetBusy(bool busy) = 0;
    // The row scroll bar VScroll2 (its value is the top row - 1).
    virtual void SetRowScroll(int largeChange, int maximum) = 0;
    virtual void SetRowScrollValue(int value) = 0;
    virtual void SetPanelText(InfoPanel panel, const QString& text) = 0;
    // TopInfoShiftDesc in a 7-point font (named "Small Fonts" at 15 twips per pixel) while a
    // cell with two timed shifts is shown; otherwise back in DateOn's font.
    virtual void SetShiftDescSmallFont(bool small) = 0;
    // The Edit menu's Undo item.
    virtual void SetUndoItem(bool enabled, const QString& caption) = 0;
    // Selects an entry of the explanation list Explainations by its index.
    virtual void SelectExplanationIndex(int index) = 0;
    // The note box NotePad.
    virtual void SetNotePadText(const QString& text) = 0;
    virtual void SetNotePadEnabled(bool enabled) = 0;
    virtual void SetNotePadBackground(std::uint32_t colour) = 0;
    // Explainations and ShiftSelector together.
    virtual void SetListsEnabled(bool enabled) = 0;
    virtual void SetNoteButtons(NoteButtonLook look) = 0;
    // Withdraws any pending tool tip.
    virtual void CancelToolTip() = 0;
};

}  // namespace tavrin
