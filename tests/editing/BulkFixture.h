#pragma once
// A schedule for the bulk editors: four rows (Ada, Bob, a divider, Cy) whose data slots differ
// from their display rows, cells written straight to the day file, and a saved query.

#include <QLocale>

#include "editing/DateBoxes.h"
#include "editing/EditingFixture.h"
#include "store/Defaults.h"

namespace tavrin::test {

class BulkFixture : public EditingFixture {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        EditingFixture::SetUp();
        files->DateFormat = QStringLiteral("MM/dd/yyyy");
        // Display rows 1..4 show slots 21..24.
        for (int r = 1; r <= 4; ++r) std::swap(files->ScheduleProps.RowMap[r], files->ScheduleProps.RowMap[r + 20]);
        SetName(1, QStringLiteral("Ada"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("Bob"), QStringLiteral("LPN"));
        SetName(3, QStringLiteral("/Ward"));
        SetName(4, QStringLiteral("Cy"), QStringLiteral("rn"));
        files->ExplTable.Description[4] = "Training";
        ASSERT_TRUE(files->FlushWorkingData());
        files->ScheduleModified = false;
    }

    OleDate First() const { return files->ScheduleProps.PeriodStart; }
    OleDate PeriodEnd() const { return files->ScheduleProps.PeriodEnd; }
    static OleDate TypedDateOf(const QLineEdit* box) { return TypedDate(box).value_or(-1); }
    // The cell of a display row on day record n of the file.
    DayRecord FileDay(int n) const
    {
        DayRecord d;
        EXPECT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        return d;
    }
    void SetFileCell(int n, int row, int s1, int s2 = 0, int oc = 0, int e = 0, int note = 0)
    {
        DayRecord d = FileDay(n);
        const int s = Slot(row);
        d.Shift1Code[s] = static_cast<Byte>(s1);
        d.Shift2Code[s] = static_cast<Byte>(s2);
        d.OnCallFlag[s] = static_cast<Byte>(oc);
        d.ExplanationCode[s] = static_cast<Byte>(e);
        d.NoteNumber[s] = static_cast<Int16>(note);
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
    }
    int S1(int n, int row) const { return FileDay(n).Shift1Code[Slot(row)]; }
    int S2(int n, int row) const { return FileDay(n).Shift2Code[Slot(row)]; }
    int Expl(int n, int row) const { return FileDay(n).ExplanationCode[Slot(row)]; }
    int Note(int n, int row) const { return FileDay(n).NoteNumber[Slot(row)]; }
    // The day file's bytes with one field of a display row's cell set, as a day record lays it
    // out: 200 bytes each of first shift, on-call, explanation and second shift, then 200 note
    // numbers of two bytes, little-endian.
    enum CellField { kShift1 = 0, kOnCall = 200, kExplanation = 400, kShift2 = 600, kNoteNo = 800 };
    void Poke(QByteArray& days, int n, int row, CellField field, int value) const
    {
        const qsizetype slot = Slot(row) - 1;
        const qsizetype at = qsizetype(n - 1) * 1200 + field + (field == kNoteNo ? 2 * slot : slot);
        ASSERT_LE(at + (field == kNoteNo ? 2 : 1), days.size());
        days[at] = static_cast<char>(value & 0xff);
        if (field == kNoteNo) days[at + 1] = static_cast<char>((value >> 8) & 0xff);
    }
    // A note record: the text blank-padded to 60 characters.
    static QByteArray NoteBytes(const char* text) { return QByteArray(text).leftJustified(60, ' '); }
    // Query n choosing shift code `shift` for anyone.
    void SaveShiftQuery(int n, const QString& title, int shift)
    {
        QueryRecord q = MakeUnusedQuery();
        q.Title = title;
        q.IgnoreShifts = kFalse;
        q.SelectedShifts[shift] = 1;
        ASSERT_TRUE(files->WriteRecord(FileNo::Queries, n, q));
    }
};

}  // namespace tavrin::test
