#pragma once
// A main window stand-in for the grid painter: answers from its fields and records what the
// painter asked it to show.

#include <QString>
#include <map>

#include "grid/GridHost.h"

namespace tavrin::test {

class RecordingGridHost final : public GridHost {
public:
    // --- answers ---
    bool minimised = false;
    int currentShiftCode = 1;
    QString stem;
    std::map<int, int> explIndex;      // explanation code -> list index
    std::map<int, QString> explTexts;  // explanation code -> list text
    bool comboBusy = false;

    bool IsMinimised() const override { return minimised; }
    int CurrentShiftCode() const override { return currentShiftCode; }
    QString SchedStem() const override { return stem; }
    int ExplListIndex(int code) const override
    {
        const auto it = explIndex.find(code);
        return it == explIndex.end() ? 0 : it->second;
    }
    QString ExplanationListText(int code) const override
    {
        const auto it = explTexts.find(code);
        return it == explTexts.end() ? QString() : it->second;
    }
    bool ExplComboBusy() const override { return comboBusy; }

    // --- what was shown ---
    QString caption;
    bool busy = false;
    int busyCalls = 0;
    int scrollLargeChange = -1;
    int scrollMaximum = -1;
    int scrollValue = -1;
    std::map<InfoPanel, QString> panels;
    bool smallShiftFont = false;
    bool undoEnabled = true;
    QString undoCaption;
    int selectedExplIndex = -1;
    QString notePadText;
    bool notePadEnabled = true;
    std::uint32_t notePadBackground = 0xFFFFFFFF;
    bool listsEnabled = true;
    NoteButtonLook noteButtons = NoteButtonLook::Note;
    int toolTipCancels = 0;

    void SetCaption(const QString& c) override { caption = c; }
    void SetBusy(bool b) override
    {
        busy = b;
        ++busyCalls;
    }
    void SetRowScroll(int largeChange, int maximum) override
    {
        scrollLargeChange = largeChange;
        scrollMaximum = maximum;
    }
    void SetRowScrollValue(int v) override { scrollValue = v; }
    void SetPanelText(InfoPanel p, const QString& text) override { panels[p] = text; }
    void SetShiftDescSmallFont(bool small) override { smallShiftFont = small; }
    void SetUndoItem(bool enabled, const QString& c) override
    {
        undoEnabled = enabled;
        undoCaption = c;
    }
    void SelectExplanationIndex(int index) override { selectedExplIndex = index; }
    void SetNotePadText(const QString& text) override { notePadText = text; }
    void SetNotePadEnabled(bool enabled) override { notePadEnabled = enabled; }
    void SetNotePadBackground(std::uint32_t colour) override { notePadBackground = colour; }
    void SetListsEnabled(bool enabled) override { listsEnabled = enabled; }
    void SetNoteButtons(NoteButtonLook look) override { noteButtons = look; }
    void CancelToolTip() override { ++toolTipCancels; }

    QString Panel(InfoPanel p) const
    {
        const auto it = panels.find(p);
        return it == panels.end() ? QString() : it->second;
    }
};

}  // namespace tavrin::test
