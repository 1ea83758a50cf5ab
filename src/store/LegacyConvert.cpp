#include "store/LegacyConvert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "platform/Runtime.h"
#include "store/Defaults.h"
#include "store/LegacyRecords.h"

namespace tavrin {

namespace {

// Note numbers are Integers: no old cell can name a record past 32767.
constexpr qint64 kMaxOldNotes = 32767;

template <class R>
R DecodePadded(const QByteArray& bytes)
{
    R r{};
    Decode(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()), R::Size), r);
    return r;
}

bool IsUnusedName(const QString& trimmed)
{
    return trimmed.isEmpty() || trimmed.compare(QLatin1String("UNDEFINED"), Qt::CaseInsensitive) == 0;
}

double HoursOf(OleDate t)
{
    return Runtime::Hour(t) + Runtime::Minute(t) / 60.0;
}

}  // namespace

bool MakeRowMapPermutation(VbArray<Int16, 1, kSlots>& rowMap)
{
    VbArray<bool, 1, kSlots> used;
    VbArray<bool, 1, kSlots> keep;
    bool broken = false;
    for (int row = 1; row <= kSlots; ++row) {
        const int slot = rowMap[row];
        if (IsSlot(slot) && !used[slot]) {
            used[slot] = true;
            keep[row] = true;
        } else {
            broken = true;
        }
    }
    if (!broken) return false;
    int next = 1;
    for (int row = 1; row <= kSlots; ++row) {
        if (keep[row]) continue;
        while (used[next]) ++next;
        used[next] = true;
        rowMap[row] = static_cast<Int16>(next);
    }
    return true;
}

LegacyConverter::LegacyConverter(SchedFiles& files) : files_(files) {}

QString LegacyConverter::OldFile(const QString& ext) const
{
    const QString name = files_.SchedStem + ext;
    const QString exact = files_.SchedFolder + name;
    if (QFileInfo::exists(exact)) return exact;
    const QDir dir(files_.SchedFolder.isEmpty() ? QStringLiteral(".") : files_.SchedFolder);
    for (const QString& entry :
         dir.entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return files_.SchedFolder + entry;
    }
    return exact;
}

QString LegacyConverter::DayFileExt() const
{
    const QString found = QFileInfo(OldFile(QStringLiteral(".SCH"))).fileName();
    const QString ext = found.right(4);
    return ext.compare(QLatin1String(".SCH"), Qt::CaseInsensitive) == 0 ? ext : QStringLiteral(".SCH");
}

Result<QByteArray> LegacyConverter::ReadOld(const QString& ext, qint64 maxBytes, qint64 minBytes) const
{
    const QString path = OldFile(ext);
    QByteArray bytes;
    const QFileInfo fi(path);
    if (fi.exists() || fi.isSymLink()) {
        QFile f(path);
        if (!fi.isFile()) return Status::error(QStringLiteral("Cannot read %1: not a regular file").arg(path));
        if (!f.open(QIODevice::ReadOnly))
            return Status::error(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
        bytes = f.read(maxBytes);
        if (f.error() != QFileDevice::NoError)
            return Status::error(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
    }
    if (bytes.size() < minBytes) bytes.append(QByteArray(minBytes - bytes.size(), '\0'));
    return bytes;
}

bool LegacyConverter::HasValidSettings() const
{
    const QFileInfo fi(OldFile(QStringLiteral(".SPR")));
    if (!fi.isFile() || fi.size() != static_cast<qint64>(legacy::SettingsRecord::Size)) return false;
    const auto raw = ReadOld(QStringLiteral(".SPR"), legacy::SettingsRecord::Size, 0);
    if (!raw || raw->size() != static_cast<qsizetype>(legacy::SettingsRecord::Size)) return false;
    const auto old = DecodePadded<legacy::SettingsRecord>(raw.value());
    const auto inRange = [](double d) { return std::isfinite(d) && OleDates::Clamped(d) == d; };
    if (!inRange(old.PeriodStart) || !inRange(old.PeriodEnd)) return false;
    const long days = OleDates::DaysBetween(old.PeriodStart, old.PeriodEnd) + 1;
    return days >= 1 && days <= kMaxPeriodDays;
}

void LegacyConverter::Step(const char* caption)
{
    if (OnStep) OnStep(QString::fromLatin1(caption));
    if (OnProgress) OnProgress(0);
}

void LegacyConverter::Progress(long long done, long long total)
{
    if (OnProgress && total > 0) OnProgress(static_cast<int>(done * 100 / total));
}

Status LegacyConverter::ConvertProps()
{
    Step("Converting Props");
    files_.ScheduleProps = files_.BlankScheduleProps;
    bool isNew = false;
    TAVRIN_TRY(files_.LoadScheduleSettings(isNew));
    Progress(10, 100);

    const auto raw = ReadOld(QStringLiteral(".SPR"), legacy::SettingsRecord::Size, legacy::SettingsRecord::Size);
    if (!raw) return raw.status();
    const auto old = DecodePadded<legacy::SettingsRecord>(raw.value());
    WorkFile settings;
    TAVRIN_TRY(settings.open(files_.WorkPath(QStringLiteral(".SPR")), SchedulePropertiesRecord::Size));
    SchedulePropertiesRecord props;
    TAVRIN_TRY(ReadRecordFrom(settings, 1, props));

    props.PeriodStart = old.PeriodStart;
    props.PeriodEnd = old.PeriodEnd;
    props.ReadWritePassword = old.ReadWritePassword;
    props.FirstDayOfWeek = old.FirstDayOfWeek;
    props.FirstVisibleDay = old.FirstVisibleDay;
    for (int row = 1; row <= legacy::kSlots; ++row) props.RowMap[row] = old.RowMap[row];
    MakeRowMapPermutation(props.RowMap);
    props.CropReportImages = old.CropReportImages;
    props.CostReportSettings.Title = old.CostTitle;
    props.EmployeeCalendarSettings.Title = old.CalendarTitle;
    props.CopyOptions = old.CopyOptions;
    props.LegacyCoverageFlag = old.LegacyCoverageFlag;
    Progress(50, 100);

    WorkFile formats;
    TAVRIN_TRY(formats.open(files_.WorkPath(QStringLiteral(".SSF")), ScheduleFormatRecord::Size));
    if (formats.recordCount() == 0) {
        ScheduleFormatRecord f = MakeWeeklyFormat(files_.TwipsPerPixelX, files_.DateFormat);
        f.PrintSettings.Title = old.WeeklyTitle;
        TAVRIN_TRY(WriteRecordTo(formats, 2, f));
        f = MakeDailyFormat(files_.TwipsPerPixelX);
        f.PrintSettings.Title = old.DailyTitle;
        TAVRIN_TRY(WriteRecordTo(formats, 3, f));
        f = Make28DayFormat(files_.TwipsPerPixelX);
        f.PrintSettings.Title = old.Day28Title;
        if (old.Day28Marker.bytes[0] == 0) f.DaysToPrint = 1;
        if (old.LegacyCoverageFlag != 0) f.VisibleCoverageTotals = 7;
        TAVRIN_TRY(WriteRecordTo(formats, 1, f));
        f = MakeNotUsedFormat(files_.TwipsPerPixelX);
        TAVRIN_TRY(WriteRecordTo(formats, 4, f));
        TAVRIN_TRY(WriteRecordTo(formats, 5, f));
    }
    Progress(75, 100);

    WorkFile queries;
    TAVRIN_TRY(queries.open(files_.WorkPath(QStringLiteral(".SQ1")), QueryRecord::Size));
    if (queries.recordCount() == 0) {
        const QueryRecord unused = MakeUnusedQuery();
        for (int q = 1; q <= 10; ++q) TAVRIN_TRY(WriteRecordTo(queries, q, unused));
    }
    props.HighlightQuery = 0;
    TAVRIN_TRY(WriteRecordTo(settings, 1, props));
    files_.ScheduleProps = props;
    Progress(100, 100);
    return {};
}

Status LegacyConverter::ConvertNames()
{
    Step("Converting Names");
    const auto raw = ReadOld(QStringLiteral(".SEM"), legacy::EmployeeTable::Size, legacy::EmployeeTable::Size);
    if (!raw) return raw.status();
    const auto old = DecodePadded<legacy::EmployeeTable>(raw.value());
    emptySlot_.fill(false);

    EmployeeTable t;
    for (int row = 1; row <= kSlots; ++row) {
        if (row <= legacy::kSlots) {
            const QString name = Runtime::Trim(old.Name[row].str());
            t.Name[row] = name;
            t.PayRate[row] = old.PayRate[row];
            t.PayType[row] = old.PayType[row];
            if (name.isEmpty()) {
                t.Position[row].blank();
                const int slot = files_.ScheduleProps.RowMap[row];
                if (IsSlot(slot)) emptySlot_[slot] = true;
            } else {
                t.Position[row] = old.Position[row];
            }
        } else {
            t.Name[row].blank();
            t.Position[row].blank();
            t.PayRate[row] = 0;
            t.PayType[row] = 0;
        }
        Progress(row, kSlots);
    }
    t.CostMarker = old.CostMarker;
    t.DailyOTThreshold = old.DailyOTThreshold;
    t.DailyOTFactor = old.DailyOTFactor;
    t.OTPeriodDays = old.OTPeriodDays;
    t.PeriodOTThreshold = old.PeriodOTThreshold;
    t.PeriodOTFactor = old.PeriodOTFactor;

    WorkFile f;
    TAVRIN_TRY(f.open(files_.WorkPath(QStringLiteral(".SEM")), EmployeeTable::Size));
    return WriteRecordTo(f, 1, t);
}

Status LegacyConverter::ConvertShifts()
{
    Step("Converting Shifts");
    const qint64 size = static_cast<qint64>(legacy::kShifts * legacy::ShiftRecord::Size);
    const auto raw = ReadOld(QStringLiteral(".SSH"), size, size);
    if (!raw) return raw.status();
    WorkFile f;
    TAVRIN_TRY(f.open(files_.WorkPath(QStringLiteral(".SSH")), ShiftRecord::Size));

    for (int code = 1; code <= kUserShifts; ++code) {
        ShiftRecord s = MakeUnusedShift();
        if (code <= legacy::kShifts) {
            legacy::ShiftRecord o;
            Decode(std::span<const std::uint8_t>(
                       reinterpret_cast<const std::uint8_t*>(raw->constData()) + (code - 1) * legacy::ShiftRecord::Size,
                       legacy::ShiftRecord::Size),
                   o);
            const QString description = Runtime::Trim(o.Description.str());
            if (!IsUnusedName(description)) {
                s.Description = description;
                const char abbreviation = static_cast<char>(code <= 26 ? 64 + code : 22 + code);
                s.Abbreviation = QString(QLatin1Char(abbreviation));
                s.StartTime = o.StartTime;
                s.EndTime = o.EndTime;
                s.ColourIndex = o.ColourIndex;
                const double start = HoursOf(o.StartTime);
                double end = HoursOf(o.EndTime);
                if (end <= start && !(start == 0 && end == 0)) end += 24;
                s.PaidHours = static_cast<float>(std::max(0.0, end - start));
            }
        }
        TAVRIN_TRY(WriteRecordTo(f, code, s));
        Progress(code, kShiftCodes);
    }
    for (int code = kTimeOffCode; code <= kNoteCode; ++code) TAVRIN_TRY(WriteRecordTo(f, code, MakeSpecialShift(code)));
    Progress(kShiftCodes, kShiftCodes);
    return {};
}

Status LegacyConverter::ConvertExplanations()
{
    Step("Converting Exp's");
    const auto raw = ReadOld(QStringLiteral(".SEP"), legacy::ExplanationTable::Size, legacy::ExplanationTable::Size);
    if (!raw) return raw.status();
    const auto old = DecodePadded<legacy::ExplanationTable>(raw.value());
    ExplanationTable t;
    for (int code = 1; code <= kExplanations; ++code) {
        const QString description =
            code <= legacy::kExplanations ? Runtime::Trim(old.Description[code].str()) : QString();
        if (!IsUnusedName(description)) {
            t.Description[code] = description;
            t.Abbreviation[code] = QString(QLatin1Char(static_cast<char>(96 + code)));
        } else {
            t.Description[code] = "undefined";
            t.Abbreviation[code] = "";
        }
        t.QuickKey[code] = 0;
        Progress(code, kExplanations);
    }
    WorkFile f;
    TAVRIN_TRY(f.open(files_.WorkPath(QStringLiteral(".SEP")), ExplanationTable::Size));
    return WriteRecordTo(f, 1, t);
}

QString LegacyConverter::OldNote(int n) const
{
    const qint64 records = oldNotes_.size() / static_cast<qsizetype>(NoteRecord::Size);
    if (n <= 0 || n > records) return {};
    NoteRecord r;
    Decode(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(oldNotes_.constData()) +
                                             static_cast<qsizetype>(n - 1) * NoteRecord::Size,
                                         NoteRecord::Size),
           r);
    return r.NoteText.str();
}

Status LegacyConverter::ConvertMain()
{
    Step("Converting Main");
    files_.ResetPrinter();
    const int days = files_.PeriodDays();
    const auto notes = ReadOld(QStringLiteral(".SNO"), kMaxOldNotes * static_cast<qint64>(NoteRecord::Size), 0);
    if (!notes) return notes.status();
    oldNotes_ = notes.value();

    // The old day file is read as it goes: it may be far longer than the period.
    QFile oldDays;
    const QString oldPath = OldFile(QStringLiteral(".SCH"));
    if (QFileInfo(oldPath).isFile()) {
        oldDays.setFileName(oldPath);
        if (!oldDays.open(QIODevice::ReadOnly)) {
            return Status::error(QStringLiteral("Cannot read %1: %2").arg(oldPath, oldDays.errorString()));
        }
    } else if (QFileInfo::exists(oldPath)) {
        return Status::error(QStringLiteral("Cannot read %1: not a regular file").arg(oldPath));
    }

    WorkFile dayFile;
    WorkFile noteFile;
    TAVRIN_TRY(dayFile.open(files_.WorkPath(QStringLiteral(".SCH")), DayRecord::Size));
    TAVRIN_TRY(noteFile.open(files_.WorkPath(QStringLiteral(".SNO")), NoteRecord::Size));
    int count = 0;
    std::array<std::uint8_t, legacy::DayRecord::Size> buf;
    for (int d = 1; d <= days; ++d) {
        buf.fill(0);
        if (oldDays.isOpen()) {
            const qint64 got = oldDays.read(reinterpret_cast<char*>(buf.data()), static_cast<qint64>(buf.size()));
            if (got < 0) return Status::error(QStringLiteral("Cannot read %1: %2").arg(oldPath, oldDays.errorString()));
        }
        legacy::DayRecord old;
        Decode(std::span<const std::uint8_t>(buf), old);
        DayRecord day;
        for (int slot = 1; slot <= legacy::kSlots; ++slot) {
            if (emptySlot_[slot]) continue;
            // Codes this version cannot hold are cleared.
            const int shift1 = old.Shift1Code[slot];
            const int shift2 = old.Shift2Code[slot];
            const int explanation = old.ExplanationCode[slot];
            day.Shift1Code[slot] = static_cast<Byte>(shift1 <= legacy::kShifts || shift1 == kTimeOffCode ? shift1 : 0);
            day.Shift2Code[slot] = static_cast<Byte>(shift2 >= 1 && shift2 <= legacy::kShifts ? shift2 : 0);
            day.ExplanationCode[slot] =
                static_cast<Byte>(explanation >= 1 && explanation <= legacy::kExplanations ? explanation : 0);
            day.OnCallFlag[slot] = old.OnCallFlag[slot] != 0 ? 1 : 0;
            const int n = old.NoteNumber[slot];
            if (n > 0) {
                const QString text = OldNote(n);
                if (!Runtime::Trim(text).isEmpty()) {
                    if (count >= kMaxNoteRecords) {
                        files_.NoteFileFull = true;
                    } else {
                        ++count;
                        day.NoteNumber[slot] = static_cast<Int16>(count);
                        NoteRecord r;
                        r.NoteText = text;
                        TAVRIN_TRY(WriteRecordTo(noteFile, count, r));
                    }
                }
            }
        }
        TAVRIN_TRY(WriteRecordTo(dayFile, d, day));
        Progress(d, days);
    }
    if (days == 0) Progress(1, 1);
    return {};
}

Status LegacyConverter::ConvertAll()
{
    TAVRIN_TRY(ConvertProps());
    TAVRIN_TRY(ConvertNames());
    TAVRIN_TRY(ConvertShifts());
    TAVRIN_TRY(ConvertExplanations());
    return ConvertMain();
}

}  // namespace tavrin
