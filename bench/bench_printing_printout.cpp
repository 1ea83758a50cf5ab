// The schedule printout of 200 names by 42 days, every cell filled (several shifts, two-shift
// cells, explanations, on-call marks, notes in a fifth of the cells), four coverage lines:
//   - recorded for the preview, against the same records and texts written with one pwrite per
//     file, as the printout gathers them (the baseline lays nothing out: it writes the bytes);
//   - printed to the PDF target, against QPainter on a QPdfWriter drawing the same items;
//   - exported as delimited text to a file (which also records the drawing), against the same
//     text built straight from the day records and written the same way.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/Export.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/SchedulePrintout.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

// The explanation list numbers its entries and shows nothing.
class QuietHost final : public bench::QuietGridHost {
public:
    int ExplListIndex(int code) const override { return code; }
    QString ExplanationListText(int) const override { return {}; }
};

constexpr int kNames = 200;
constexpr int kDays = 42;

// A schedule in a working folder of its own, its printer the PDF target.
struct Schedule {
    QTemporaryDir work;
    QString pdf = work.filePath(QStringLiteral("printout.pdf"));
    bench::QuietMsgBox msg;
    QtPrinterDevice printer{pdf};
    QtFileDialogs dialogs;
    FontService fonts{96};
    QuietHost host;
    SchedFiles files{work.path(), msg, printer};
    GridPaint grid{files, host, fonts};
    PreviewRec rec{work.path()};
    PrintServices print{printer, rec, fonts, msg, dialogs};

    Schedule()
    {
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf});
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        (void)files.OpenWorkingFiles();
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2024, 1, 7);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + 364;
        files.ScheduleProps.FirstVisibleDay = 0;

        static const char* const kShifts[8][2] = {{"Day", "D7"},  {"Evening", "E3"}, {"Night", "N11"}, {"Early", "D6"},
                                                  {"Late", "E4"}, {"Half", "H8"},    {"Mid", "M10"},   {"Long", "L7"}};
        for (int s = 1; s <= 8; ++s) {
            ShiftRecord& r = files.ShiftTable[s];
            r.Description = QString::fromLatin1(kShifts[s - 1][0]);
            r.Abbreviation = QString::fromLatin1(kShifts[s - 1][1]);
            r.StartTime = (5.0 + 2 * s) / 24.0;
            r.EndTime = (13.0 + 2 * s) / 24.0;
            r.PaidHours = s == 6 ? 4.0f : 7.5f;
            r.ColourIndex = static_cast<Int16>(s);
            files.ShiftColours[s] = static_cast<Byte>(s);
        }
        for (int e = 1; e <= 4; ++e) files.ExplTable.Abbreviation[e] = QStringLiteral("EX%1").arg(e);

        ScheduleFormatRecord& f = files.CurrentFormat;
        f.DaysOnScreen = kDays;
        f.CellItems[1] = {CellCode::Shift1Times, kTrue, kTrue, kFalse, 0, 0};
        f.VisibleCoverageTotals = 4;
        for (int k = 1; k <= 4; ++k) {
            CoverageTotalRecord& c = f.CoverageTotals[k];
            c.Title = QStringLiteral("Coverage %1").arg(k);
            c.IgnoreNames = kTrue;
            c.IgnoreExplanations = kTrue;
            c.IgnoreShifts = kFalse;
            c.SelectedShifts[k] = 1;
            c.SelectedShifts[k + 4] = 1;
        }
        files.VisibleDays = kDays;
        (void)files.LoadVisibleDays();
        grid.CoverageVisible = true;

        for (int n = 1; n <= 200; ++n) {
            NoteRecord note;
            note.NoteText = QStringLiteral("Note %1, swap with a colleague").arg(n);
            (void)files.WriteRecord(FileNo::Notes, n + 1, note);
        }
        for (int row = 1; row <= kNames; ++row) {
            files.EmpTable.Name[row] = QStringLiteral("Employee %1, Name").arg(row, 3, 10, QLatin1Char('0'));
            files.EmpTable.Position[row] = QStringLiteral("RN %1").arg(row % 7);
            const int slot = files.ScheduleProps.RowMap[row];
            for (int d = 1; d <= kDays; ++d) {
                DayRecord& day = files.ColumnDay(d);
                const int cell = row * kDays + d;
                day.Shift1Code[slot] = static_cast<Byte>(1 + cell % 8);
                day.Shift2Code[slot] = cell % 6 == 0 ? static_cast<Byte>(1 + (cell + 3) % 8) : 0;
                day.ExplanationCode[slot] = cell % 4 == 0 ? static_cast<Byte>(1 + cell % 4) : 0;
                day.OnCallFlag[slot] = cell % 9 == 0 ? 1 : 0;
                day.NoteNumber[slot] = cell % 5 == 0 ? static_cast<Int16>(2 + cell % 200) : 0;
            }
        }
    }

    std::vector<int> Rows() const
    {
        std::vector<int> rows;
        for (int r = 1; r <= kNames; ++r) rows.push_back(r);
        return rows;
    }
    SchedulePrintout::Outcome Printout(bool preview, TextExport* text = nullptr)
    {
        rec.PreviewMode = preview;
        SchedulePrintout printout(print, files, grid, [](int) { return QString(); });
        PrintoutRequest request;
        request.rows = Rows();
        request.text = text;
        request.showPreview = false;
        return printout.PrintSchedule(request);
    }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The records and texts of one preview run of the printout.
struct Recording {
    QByteArray commands;
    QByteArray texts;
    std::vector<PreviewCommandRecord> records;
};

const Recording& Recorded()
{
    static const Recording r = [] {
        Schedule& s = Shared();
        Recording out;
        if (s.Printout(true) != SchedulePrintout::Outcome::Done) return out;
        out.commands = ReadAll(s.rec.CommandPath());
        out.texts = ReadAll(s.rec.TextPath());
        for (qsizetype at = 0; at + 28 <= out.commands.size(); at += 28) {
            PreviewCommandRecord rec;
            Decode(
                std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(out.commands.constData()) + at, 28),
                rec);
            out.records.push_back(rec);
        }
        return out;
    }();
    return r;
}

// ---------------------------------------------------------------- recording

void BM_PrintoutToRecorder(benchmark::State& state)
{
    Schedule& s = Shared();
    for (auto _ : state) {
        if (s.Printout(true) != SchedulePrintout::Outcome::Done) state.SkipWithError("the printout failed");
    }
    state.counters["records"] = static_cast<double>(Recorded().records.size());
}

void BM_PrintoutToRecorder_Baseline(benchmark::State& state)
{
    const Recording& r = Recorded();
    QTemporaryDir dir;
    const QByteArray cmdPath = QFile::encodeName(dir.filePath(QStringLiteral("Preview.RP1")));
    const QByteArray textPath = QFile::encodeName(dir.filePath(QStringLiteral("Preview.RP2")));
    for (auto _ : state) {
        ::unlink(cmdPath.constData());
        ::unlink(textPath.constData());
        const int cmd = ::open(cmdPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        const int txt = ::open(textPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (::pwrite(txt, r.texts.constData(), static_cast<std::size_t>(r.texts.size()), 0) != r.texts.size() ||
            ::pwrite(cmd, r.commands.constData(), static_cast<std::size_t>(r.commands.size()), 0) !=
                r.commands.size()) {
            state.SkipWithError("write");
        }
        ::close(txt);
        ::close(cmd);
    }
    state.counters["records"] = static_cast<double>(r.records.size());
}

// ---------------------------------------------------------------- the PDF target

void BM_PrintoutToPdf(benchmark::State& state)
{
    Schedule& s = Shared();
    for (auto _ : state) {
        if (s.Printout(false) != SchedulePrintout::Outcome::Done) state.SkipWithError("the printout failed");
    }
}

void BM_PrintoutToPdf_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const Recording& r = Recorded();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printout.pdf"));
    const QString temp = dir.filePath(QStringLiteral(".printout.pdf.part"));
    const int dpi = Runtime::CInt(1440.0 / s.printer.TwipsPerPixelX());
    const double tpp = 1440.0 / dpi;
    const QString family = s.fonts.Resolve({QStringLiteral("Arial"), 8, false, false})->font.family();
    const auto text = [&r](const PreviewCommandRecord& rec) {
        return Cp1252ToString(reinterpret_cast<const std::uint8_t*>(r.texts.constData()) + rec.TextPos - 1,
                              static_cast<std::size_t>(rec.TextLen));
    };
    const auto colour = [](std::int32_t v) { return QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(std::abs(v)))); };
    for (auto _ : state) {
        QPdfWriter writer(temp);
        writer.setResolution(dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&writer);
        QFont font(family);
        font.setPointSizeF(8);
        p.setFont(font);
        QColor ink(Qt::black);
        int width = 1;
        for (const PreviewCommandRecord& rec : r.records) {
            switch (rec.Command) {
                case Pv::FontSize:
                    font.setPointSizeF(rec.Value);
                    p.setFont(font);
                    break;
                case Pv::FontBold:
                    font.setBold(rec.Value != 0);
                    p.setFont(font);
                    break;
                case Pv::FontItalic:
                    font.setItalic(rec.Value != 0);
                    p.setFont(font);
                    break;
                case Pv::ForeColor:
                    ink = QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(rec.Value)));
                    break;
                case Pv::DrawWidth:
                    width = rec.Value;
                    break;
                case Pv::DrawText: {
                    int flags = (rec.Value & 1) ? Qt::AlignHCenter : (rec.Value & 2) ? Qt::AlignRight : Qt::AlignLeft;
                    flags |= (rec.Value & 4) ? Qt::AlignVCenter : (rec.Value & 8) ? Qt::AlignBottom : Qt::AlignTop;
                    flags |= (rec.Value & 16) ? Qt::TextWordWrap : Qt::TextSingleLine;
                    p.setPen(ink);
                    p.drawText(QRect(rec.A, rec.B, rec.C - rec.A, rec.D - rec.B), flags, text(rec));
                    break;
                }
                case Pv::Line:
                    p.setPen(QPen(ink, width));
                    p.drawLine(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp, rec.D / tpp));
                    break;
                case Pv::Box:
                    p.setPen(QPen(ink, width));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(QRectF(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp, rec.D / tpp)));
                    break;
                case Pv::FilledBox:
                    p.fillRect(QRectF(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp + 1, rec.D / tpp + 1)),
                               colour(rec.Value));
                    break;
                case Pv::Ellipse:
                    p.setPen(ink);
                    p.setBrush(colour(rec.Value));
                    p.drawEllipse(QRect(rec.A, rec.B, rec.C - rec.A, rec.D - rec.B));
                    break;
                case Pv::NewPage:
                    writer.newPage();
                    break;
                default:
                    break;
            }
        }
        p.end();
        std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData());
    }
}

// ---------------------------------------------------------------- the export

TextExport::Options AllFields()
{
    TextExport::Options o;
    for (int k = 1; k <= 12; ++k) o[k] = 1;
    o[ExportOpt::Comma] = 1;
    return o;
}

void BM_ExportToFile(benchmark::State& state)
{
    Schedule& s = Shared();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.csv"));
    for (auto _ : state) {
        TextExport text(AllFields());
        if (s.Printout(true, &text) != SchedulePrintout::Outcome::Done) state.SkipWithError("the export failed");
        if (!DeliverExportText(text.TextOut, true, path)) state.SkipWithError("cannot write");
    }
}

// The same text from the day records: the tables read once, one line per employee.
QString ExportText(const SchedFiles& files)
{
    const QString sep = QStringLiteral(",");
    const auto value = [](QString& out, const QString& f) {
        if (f.contains(QLatin1Char(','))) {
            QString t = f;
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            out += t;
        } else {
            out += f;
        }
    };
    const auto field = [&value](QString& out, const QString& f) {
        out += QLatin1Char(',');
        value(out, f);
    };
    std::vector<QString> notes(300);
    for (int n = 1; n < 300; ++n) notes[static_cast<std::size_t>(n)] = Runtime::Trim(files.GetNoteText(n));
    struct ShiftTexts {
        QString name, start, end, hours;
    };
    std::vector<ShiftTexts> shifts(100);
    for (int c = 1; c <= 99; ++c) {
        const ShiftRecord& r = files.ShiftTable[c];
        shifts[static_cast<std::size_t>(c)] = {Runtime::Trim(r.Abbreviation.str()),
                                               Runtime::FormatDate(r.StartTime, QStringLiteral("hh:mm")),
                                               Runtime::FormatDate(r.EndTime, QStringLiteral("hh:mm")),
                                               Runtime::FormatNumber(r.PaidHours, QStringLiteral("#0.00"))};
    }
    QString out;
    // Numbering and heading lines.
    out += sep;
    for (int d = 1; d <= kDays; ++d)
        for (int k = 1; k <= 11; ++k) out += sep + QString::number(k);
    out += QStringLiteral("\r\nName,Position");
    for (int d = 1; d <= kDays; ++d) {
        const QString date = Runtime::FormatDate(files.ScheduleProps.PeriodStart + d - 1, files.DateFormat);
        for (int k = 1; k <= 11; ++k) out += sep + date;
    }
    out += QStringLiteral("\r\n");
    for (int row = 1; row <= kNames; ++row) {
        value(out, Runtime::Trim(files.EmpTable.Name[row].str()));
        field(out, Runtime::Trim(files.EmpTable.Position[row].str()));
        const int slot = files.ScheduleProps.RowMap[row];
        for (int d = 1; d <= kDays; ++d) {
            const DayRecord& day = files.DayCache[d];
            const int e = day.ExplanationCode[slot];
            field(out, e > 0 ? Runtime::Trim(files.ExplTable.Abbreviation[e].str()) : QString());
            const int n = day.NoteNumber[slot];
            field(out, n > 0 ? notes[static_cast<std::size_t>(n)] : QString());
            field(out, day.OnCallFlag[slot] == 1 ? QStringLiteral("1") : QStringLiteral("0"));
            for (const int code : {int(day.Shift1Code[slot]), int(day.Shift2Code[slot])}) {
                if (code >= 1 && code <= 99) {
                    const ShiftTexts& t = shifts[static_cast<std::size_t>(code)];
                    field(out, t.name);
                    field(out, t.start);
                    field(out, t.end);
                    field(out, t.hours);
                } else {
                    for (int i = 0; i < 4; ++i) field(out, QString());
                }
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

void BM_ExportToFile_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    {
        // The baseline writes exactly what the export writes.
        TextExport text(AllFields());
        if (s.Printout(true, &text) != SchedulePrintout::Outcome::Done || text.TextOut != ExportText(s.files)) {
            state.SkipWithError("the baseline's text differs from the export's");
            return;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.csv"));
    for (auto _ : state) {
        QSaveFile out(path);
        const QByteArray bytes = StringToCp1252(ExportText(s.files) + QStringLiteral("\r\n"));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            state.SkipWithError("cannot write");
    }
}

BENCHMARK(BM_PrintoutToRecorder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToRecorder_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToPdf_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToFile_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv);
}
