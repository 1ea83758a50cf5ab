#include "app/DayScroll.h"

#include "store/SchedFiles.h"

namespace tavrin {

Result<bool> ScrollVisibleDays(SchedFiles& files, int direction)
{
    files.ScheduleModified = true;
    const int vd = files.VisibleDays;
    const int first = files.ScheduleProps.FirstVisibleDay;
    const int days = files.PeriodDays();
    const bool forward = direction > 0;
    // Day-file record of the day coming into the window.
    const int incoming = forward ? first + vd + 1 : first;
    if (incoming < 1 || incoming > days) return false;

    const int leaving = forward ? 1 : vd;
    const int s = files.ColumnSlot[leaving];
    if (files.SlotDirty[s]) {
        if (files.SlotDayNo[s] >= 1 && files.SlotDayNo[s] <= days) {
            const Status w = files.WriteRecord(FileNo::Days, files.SlotDayNo[s], files.DayCache[s]);
            if (!w) return w;
        }
        files.SlotDirty[s] = 0;
    }
    const Status r = files.ReadRecord(FileNo::Days, incoming, files.DayCache[s]);
    if (!r) return r;
    files.SlotDayNo[s] = incoming;
    if (forward) {
        for (int c = 1; c < vd; ++c) files.ColumnSlot[c] = files.ColumnSlot[c + 1];
        files.ColumnSlot[vd] = s;
    } else {
        for (int c = vd; c > 1; --c) files.ColumnSlot[c] = files.ColumnSlot[c - 1];
        files.ColumnSlot[1] = s;
    }
    files.ScheduleProps.FirstVisibleDay = static_cast<Int16>(first + (forward ? 1 : -1));
    return true;
}

}  // namespace tavrin
