#pragma once
// A new schedule on a private working folder, the main window's panes as plain widgets and a
// grid painter drawing into them.

#include <QWidget>
#include <memory>

#include "grid/GridPaint.h"
#include "platform/FontService.h"
#include "platform/Pane.h"
#include "support/RecordingGridHost.h"
#include "support/StoreFixture.h"

namespace tavrin::test {

class GridFixture : public StoreFixture {
protected:
    GridFixture();
    ~GridFixture() override;

    // Opens a new schedule whose period starts on Sunday 7 January 2024 (730 days), with the
    // shifts of DefineShift below and the "28 Day" format applied, and lays out the window.
    void OpenSchedule(int formWidthPx = 1024, int formHeightPx = 700);
    // Applies the current format and lays the window out again.
    void Relayout();
    void ResizeForm(int widthPx, int heightPx);

    // A user shift: description, abbreviation, palette colour, times (hours) and paid hours.
    void DefineShift(int code, const QString& description, const QString& abbreviation, int colour, double start,
                     double end, float paid);
    void SetName(int displayRow, const QString& name, const QString& position = QString());
    // Divider record of a data slot.
    void SetDivider(int slot, int style, int colourIndex = -1, const QString& caption = QString(), bool hidden = false,
                    std::uint32_t colour = 0);
    // The cell of a display row on visible column c (through the row map).
    DayRecord& Day(int c) { return files->ColumnDay(c); }
    void SetCell(int c, int displayRow, int s1, int s2 = 0, int oc = 0, int e = 0, int n = 0);
    void SetNumber(int c, int displayRow, int whole, int hundredths);
    int Slot(int displayRow) const { return files->ScheduleProps.RowMap[displayRow]; }
    // The format's cell items: code, shown on screen, linked with the next.
    void SetItems(std::initializer_list<std::tuple<int, bool, bool>> items);

    // Pixel geometry of a cell of the grid (visible row r, column c): its interior.
    PixelRect CellInterior(int r, int c) const;
    // Colours found in a rectangle of a surface.
    static bool Contains(const Surface& s, const PixelRect& r, std::uint32_t colour);
    static int Count(const Surface& s, const PixelRect& r, std::uint32_t colour);

    FontService fonts;
    RecordingGridHost gridHost;
    std::unique_ptr<QWidget> form;
    GridPanes panes;
    std::unique_ptr<GridPaint> grid;
};

}  // namespace tavrin::test
