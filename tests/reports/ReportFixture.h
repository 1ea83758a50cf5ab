#pragma once
// A schedule from Sunday 7 January 2024 with a few named people, the grid painter, the fake
// printer with a recorder in the working folder, a pinned clock and a scripted Select Query.

#include <QListWidget>
#include <deque>
#include <optional>
#include <vector>

#include "grid/GridFixture.h"
#include "platform/Runtime.h"
#include "printing/PreScreen.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "reports/ReportDialog.h"
#include "support/FakeFileDialogs.h"
#include "support/ModalDialogs.h"
#include "support/RecordingDump.h"

namespace tavrin::test {

class ReportFixture : public GridFixture {
protected:
    ReportFixture()
    {
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
    }

    void SetUp() override
    {
        OpenSchedule();
        files->ExplTable.Abbreviation[2] = "VAC";
        files->ExplTable.Description[2] = "Vacation";
        files->ShiftTable[kOnCallCode].Abbreviation = "OC";
        files->ShiftTable[kOnCallCode].Description = "On-Call";
        SetName(1, QStringLiteral("Ann Adams"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("Bob Baker"), QStringLiteral("LPN"));
        SetName(3, QStringLiteral("/Nights"));
        SetName(4, QStringLiteral("Cy Cole"), QStringLiteral("RN"));
        Tag(1, 7);
        files->ScheduleModified = false;
    }

    // The tagged run: from visible day `first`, `days` days.
    void Tag(int first, int days)
    {
        grid->FirstTaggedDay = first;
        grid->DaysTaggedText = QStringLiteral(" %1").arg(days);
    }
    OleDate Date(int y, int m, int d) const
    {
        return OleDates::FromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    }
    // Writes a cell of a day of the period straight into the day file.
    void PutCell(OleDate day, int row, int s1, int s2 = 0, int oc = 0, int e = 0)
    {
        const auto n = static_cast<std::int64_t>(day - files->ScheduleProps.PeriodStart) + 1;
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, n, d));
        const int slot = Slot(row);
        d.Shift1Code[slot] = static_cast<Byte>(s1);
        d.Shift2Code[slot] = static_cast<Byte>(s2);
        d.OnCallFlag[slot] = static_cast<Byte>(oc);
        d.ExplanationCode[slot] = static_cast<Byte>(e);
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
    }
    // A query picking the given shifts of every name, explanations ignored.
    void PutQuery(int n, const QString& title, std::initializer_list<int> shifts, bool ignoreAll = false)
    {
        QueryRecord q;
        q.Title = title;
        q.IgnoreNames = kTrue;
        q.IgnoreExplanations = kTrue;
        q.IgnoreShifts = ignoreAll ? kTrue : kFalse;
        q.ByPosition = kFalse;
        for (int s : shifts) q.SelectedShifts[s] = 1;
        ASSERT_TRUE(files->WriteRecord(FileNo::Queries, n, q));
    }

    ReportContext Context()
    {
        return {*files, *grid, gridHost, print, [this](QWidget*, int preset) -> std::optional<int> {
                    presets.push_back(preset);
                    if (picks.empty()) return std::nullopt;
                    const std::optional<int> p = picks.front();
                    picks.pop_front();
                    return p;
                }};
    }

    // Runs Preview and closes the preview window; the recording's dump.
    QString Preview(ReportDialog& dlg, bool* windowShown = nullptr)
    {
        bool shown = false;
        QString dump;
        const auto preScreenWait = OnNextDialog<PreScreen>(
            [&](PreScreen* w) {
                shown = true;
                dump = DumpRecording(dir.path());
                w->Command1_Click();
            },
            1500);
        dlg.Command6_Click();
        if (windowShown) *windowShown = shown;
        return dump;
    }
    // The texts of a dump's DrawText lines, in order.
    static QStringList Texts(const QString& dump)
    {
        QStringList out;
        for (const QString& line : dump.split(QLatin1Char('\n'))) {
            const qsizetype q = line.indexOf(QLatin1Char('"'));
            if ((line.startsWith(QLatin1String("DrawText")) || line.startsWith(QLatin1String("Print"))) && q >= 0)
                out << line.mid(q + 1, line.size() - q - 2);
        }
        return out;
    }
    // The weekday names in the order a recording first drew them.
    static QStringList Weekdays(const QStringList& texts)
    {
        QStringList out;
        for (const QString& t : texts) {
            if (t.endsWith(QLatin1String("day")) && !out.contains(t)) out << t;
        }
        return out;
    }
    // The font style in force where each page of a dump ends ("bold -1 italic 0"): what the next
    // page's header is drawn in.
    static QStringList StylesAtPageEnds(const QString& dump)
    {
        QStringList out;
        QString bold = QStringLiteral("?");
        QString italic = QStringLiteral("?");
        const auto style = [&] { return QStringLiteral("bold %1 italic %2").arg(bold, italic); };
        for (const QString& line : dump.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("FontBold "))) bold = line.mid(9);
            if (line.startsWith(QLatin1String("FontItalic "))) italic = line.mid(11);
            if (line == QLatin1String("NewPage")) out << style();
        }
        out << style();
        return out;
    }
    static QStringList Selected(const QListWidget& list)
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) {
            if (list.item(i)->isSelected()) out << list.item(i)->text();
        }
        return out;
    }
    static QStringList Entries(const QListWidget& list)
    {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
        return out;
    }

    PreviewRec rec{dir.path()};
    FakeFileDialogs dialogs;
    PrintServices print{printer, rec, fonts, msg, dialogs};
    std::deque<std::optional<int>> picks;  // Select Query's answers (nullopt: cancelled)
    std::vector<int> presets;              // what it was preset to
};

}  // namespace tavrin::test
