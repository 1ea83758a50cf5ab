#pragma once
// The schedule printout on a small schedule: the grid fixture's schedule (a week from Sunday
// 7 January 2024 on screen), the fake printer, a recorder in the working folder and a pinned
// clock.
//
// The small schedule, by display row:
//   1 "Ann Baker", RN         Day on Sun, Mon, Wed; Vacation on Tue; a note on Thu
//   2 "/A" divider "Nurses"   three dividers of one colour, one band
//   3 "/B" divider "Aides"
//   4 "/C" divider "Clerks"
//   5 "/R" requirement row "Needed": 2, 2.5, 0, 3 on Sun..Wed
//   6 "Carl Diaz", LPN        Day on Sun, Mon, Wed; Evening + Half on Tue; on call Thu
// Coverage line 1 "Day staff" counts shift Day and is linked to the requirement row (short by
// 1 on Wednesday); line 2 "Evenings" counts shift Evening.

#include <QFile>
#include <QRegularExpression>
#include <functional>
#include <vector>

#include "grid/GridFixture.h"
#include "platform/Runtime.h"
#include "printing/Export.h"
#include "printing/PreScreen.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/SchedulePrintout.h"
#include "store/Defaults.h"
#include "support/FakeFileDialogs.h"
#include "support/Golden.h"
#include "support/ModalDialogs.h"
#include "support/RecordingDump.h"

// Texts in failure messages as texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace tavrin::test {

class PrintoutFixture : public GridFixture {
protected:
    PrintoutFixture()
    {
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
    }

    void SetUp() override
    {
        OpenSchedule();
        files->CurrentFormat.DaysOnScreen = 7;
        Relayout();
    }

    static QString Golden(const char* name) { return QStringLiteral(TAVRIN_TEST_DATA "/printing/") + name; }

    // Coverage line k of the current format and its divider record.
    void CoverageLine(int k, const QString& title, int shift, int linkedSlot = 0, int colourIndex = -1,
                      std::uint32_t colour = 0)
    {
        CoverageTotalRecord& c = files->CurrentFormat.CoverageTotals[k];
        c = CoverageTotalRecord{};
        c.Title = title;
        c.IgnoreNames = kTrue;
        c.IgnoreExplanations = kTrue;
        c.IgnoreShifts = kFalse;
        c.SelectedShifts[shift] = 1;
        DividerPropertiesRecord d = MakeDefaultDivider();
        d.LinkedRequirementSlot = static_cast<Int16>(linkedSlot);
        if (colourIndex >= 0) {
            d.UseDefaultColour = 0;
            d.ColourIndex = static_cast<Int16>(colourIndex);
            d.Colour = static_cast<Int32>(colour);
        }
        ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, CoverageLineRecord(files->CurrentFormatNo, k), d));
    }

    void SmallSchedule()
    {
        files->ExplTable.Abbreviation[2] = "VAC";
        files->ExplTable.Description[2] = "Vacation";
        SetName(1, QStringLiteral("Ann Baker"), QStringLiteral("RN"));
        SetName(2, QStringLiteral("/A"));
        SetName(3, QStringLiteral("/B"));
        SetName(4, QStringLiteral("/C"));
        SetName(5, QStringLiteral("/R"));
        SetName(6, QStringLiteral("Carl Diaz"), QStringLiteral("LPN"));
        SetDivider(Slot(2), 0, 9, QStringLiteral("Nurses"), false, Rgb(255, 255, 192));
        SetDivider(Slot(3), 0, 9, QStringLiteral("Aides"), false, Rgb(255, 255, 192));
        SetDivider(Slot(4), 0, 9, QStringLiteral("Clerks"), false, Rgb(255, 255, 192));
        SetDivider(Slot(5), 1, 12, QStringLiteral("Needed"), false, Rgb(192, 255, 192));
        files->CurrentFormat.VisibleCoverageTotals = 2;
        CoverageLine(1, QStringLiteral("Day staff"), 1, Slot(5));
        CoverageLine(2, QStringLiteral("Evenings"), 2);
        Relayout();
        NoteRecord note;
        note.NoteText = QStringLiteral("Smith, J");
        ASSERT_TRUE(files->WriteRecord(FileNo::Notes, 2, note));
        for (int c : {1, 2, 4}) {
            SetCell(c, 1, 1);
            SetCell(c, 6, 1);
        }
        SetCell(3, 1, 0, 0, 0, 2);
        SetCell(5, 1, 0, 0, 0, 0, 2);
        SetCell(3, 6, 2, 3);
        SetCell(5, 6, 0, 0, 1);
        SetNumber(1, 5, 2, 0);
        SetNumber(2, 5, 2, 50);
        SetNumber(3, 5, 0, 0);
        SetNumber(4, 5, 3, 0);
    }

    // Query 1 "Evenings": every name's cells holding shift Evening (2).
    QueryRecord EveningQuery()
    {
        QueryRecord q = MakeUnusedQuery();
        q.Title = QStringLiteral("Evenings");
        q.IgnoreNames = kTrue;
        q.IgnoreExplanations = kTrue;
        q.IgnoreShifts = kFalse;
        q.SelectedShifts[2] = 1;
        EXPECT_TRUE(files->WriteRecord(FileNo::Queries, 1, q));
        return q;
    }

    QString ExplanationText(int code) const { return gridHost.ExplanationListText(code); }

    // One run over the rows; a preview closes its window at once.
    SchedulePrintout::Outcome Run(const std::vector<int>& rows, bool preview, TextExport* text = nullptr,
                                  bool blank = false)
    {
        rec.PreviewMode = preview || text;
        DialogWait preScreenWait;
        if (preview && !text && expectWindow) {
            preScreenWait = OnNextDialog<PreScreen>([this](PreScreen* d) {
                shownPages = d->PageCount;
                d->Command1_Click();
            });
        }
        printout = std::make_unique<SchedulePrintout>(print, *files, *grid,
                                                      [this](int code) { return ExplanationText(code); });
        PrintoutRequest request;
        request.rows = rows;
        request.blank = blank;
        request.text = text;
        request.progress = [this](int p) { progress.push_back(p); };
        return printout->PrintSchedule(request);
    }
    QString Recording() const { return DumpRecording(dir.path()); }

    // The texts the printer drew, each with the drawing colour it had.
    struct Drawn {
        QString text;
        std::uint32_t colour = 0;
        int flags = 0;
        PixelRect rect;
    };
    std::vector<Drawn> PrintedTexts() const
    {
        static const QRegularExpression kText(
            QStringLiteral(R"re(^DrawText (-?\d+) (-?\d+) (-?\d+) (-?\d+) (\d+) "(.*)"$)re"));
        std::vector<Drawn> out;
        std::uint32_t colour = 0;
        for (const QString& line : printer.Log) {
            if (line.startsWith(QLatin1String("ForeColor 0x"))) {
                colour = line.mid(12).toUInt(nullptr, 16);
                continue;
            }
            const QRegularExpressionMatch m = kText.match(line);
            if (!m.hasMatch()) continue;
            QString text = m.captured(6);
            text.replace(QLatin1String("\\\""), QLatin1String("\""));
            out.push_back(
                {text,
                 colour,
                 m.captured(5).toInt(),
                 {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()}});
        }
        return out;
    }
    // The first printed text equal to `text`, or an empty one.
    Drawn Printed(const QString& text) const
    {
        for (const Drawn& d : PrintedTexts())
            if (d.text == text) return d;
        return {};
    }
    int CountPrinted(const QString& text) const
    {
        int n = 0;
        for (const Drawn& d : PrintedTexts()) n += d.text == text ? 1 : 0;
        return n;
    }

    FakeFileDialogs dialogs;
    PreviewRec rec{dir.path()};
    PrintServices print{printer, rec, fonts, msg, dialogs};
    std::unique_ptr<SchedulePrintout> printout;
    std::vector<int> progress;
    int shownPages = 0;
    // A preview run shows its window (closed at once).
    bool expectWindow = true;
};

}  // namespace tavrin::test
