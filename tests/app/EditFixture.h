#pragma once
// A new schedule with a few shifts, explanations and rows for the editing tests: employees in
// rows 1 and 4, a divider in row 2, a requirement row in row 3, row 5 blank. Row map entries are
// scrambled so that display rows and data slots differ.

#include "app/CellEditor.h"
#include "platform/Runtime.h"
#include "support/StoreFixture.h"

#include <memory>

namespace tavrin::test {

class EditFixture : public StoreFixture {
protected:
    void SetUp() override
    {
        OpenNewSchedule();
        // Display rows 1..5 show slots 11..15.
        for (int r = 1; r <= 5; ++r) {
            std::swap(files->ScheduleProps.RowMap[r], files->ScheduleProps.RowMap[r + 10]);
        }
        DefineShift(1, "Early", 6, 14, 'E');
        DefineShift(2, "Late", 14, 22, 'L');
        DefineShift(3, "Middle", 10, 18, 'M');
        DefineShift(4, "Night", 22, 6, 'N');
        files->EmpTable.Name[1] = "Ada";
        files->EmpTable.Name[2] = "/Nurses";
        files->EmpTable.Name[3] = "/Needed";
        files->EmpTable.Name[4] = "Bob";
        DividerPropertiesRecord req;
        ASSERT_TRUE(files->ReadRecord(FileNo::Dividers, Slot(3), req));
        req.Style = 1;
        ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, Slot(3), req));
        files->ScheduleModified = false;
        editor = std::make_unique<CellEditor>(*files, msg, buffers);
    }

    void DefineShift(int code, const char* name, int startHour, int endHour, char key)
    {
        ShiftRecord& s = files->ShiftTable[code];
        s.Description = name;
        s.Abbreviation = QString::fromLatin1(name).left(1);
        s.StartTime = Runtime::TimeSerial(startHour, 0, 0);
        s.EndTime = Runtime::TimeSerial(endHour, 0, 0);
        s.PaidHours = 8;
        s.QuickKey = static_cast<Byte>(key);
    }

    int Slot(int row) const { return files->ScheduleProps.RowMap[row]; }
    DayRecord& Col(int c) { return files->ColumnDay(c); }
    bool Dirty(int c) const { return files->SlotDirty[files->ColumnSlot[c]] != 0; }
    DayRecord DayInFile(int n) const
    {
        DayRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        return d;
    }
    void SetCell(int c, int row, int s1, int s2 = 0, int oc = 0, int e = 0, int n = 0)
    {
        DayRecord& d = Col(c);
        const int s = Slot(row);
        d.Shift1Code[s] = static_cast<Byte>(s1);
        d.Shift2Code[s] = static_cast<Byte>(s2);
        d.OnCallFlag[s] = static_cast<Byte>(oc);
        d.ExplanationCode[s] = static_cast<Byte>(e);
        d.NoteNumber[s] = static_cast<Int16>(n);
    }

    EditBuffers buffers;
    std::unique_ptr<CellEditor> editor;
};

}  // namespace tavrin::test
