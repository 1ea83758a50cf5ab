#pragma once
// Conversion of a first-version schedule (the files SchedFolder + SchedStem + ".SCH", ".SEM",
// ".SSH", ".SEP", ".SNO", ".SPR") into a set of working files in the store's working folder.
// The old files are only read.

#include <QByteArray>
#include <QString>
#include <functional>

#include "platform/Result.h"
#include "store/SchedFiles.h"

namespace tavrin {

class LegacyConverter {
public:
    explicit LegacyConverter(SchedFiles& files);

    // Told each step's caption ("Converting Props", ...) and its progress 0..100.
    std::function<void(const QString&)> OnStep;
    std::function<void(int)> OnProgress;

    // The first-version file of the schedule with extension ext (".SPR", ...): the file of that
    // name, else one whose name matches it ignoring case; the name as built when there is none.
    QString OldFile(const QString& ext) const;
    // The day file's extension as found (".SCH" when there is none).
    QString DayFileExt() const;
    // The folder holds a first-version schedule: its settings file is exactly 526 bytes long and
    // holds a period of 1 to 32767 days.
    bool HasValidSettings() const;

    // The steps, in this order; each writes its working files into the store's working folder,
    // which the caller has emptied.
    Status ConvertProps();
    Status ConvertNames();
    Status ConvertShifts();
    Status ConvertExplanations();
    Status ConvertMain();
    Status ConvertAll();

    // Note n of the old notes file, right-trimmed; "" for 0, a negative number or one past the
    // end. Read by ConvertMain.
    QString OldNote(int n) const;

private:
    // The first maxBytes of an old file, zero-padded to minBytes; a missing file reads as empty.
    Result<QByteArray> ReadOld(const QString& ext, qint64 maxBytes, qint64 minBytes) const;
    void Step(const char* caption);
    void Progress(long long done, long long total);

    SchedFiles& files_;
    VbArray<bool, 1, kSlots> emptySlot_;  // by data slot: the row's name is blank
    QByteArray oldNotes_;
};

// Makes a row map a permutation of 1..200: each valid slot keeps its first row, the other rows
// get the unused slots in order. True when it had to change anything.
bool MakeRowMapPermutation(VbArray<Int16, 1, kSlots>& rowMap);

}  // namespace tavrin
