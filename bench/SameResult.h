#pragma once
// The checks that a benchmark and its baseline did the same work, made once outside the timed
// region: the same pixels, the same bytes, the same preview records. A benchmark whose two sides
// differ fails with where they differ.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QString>
#include <list>
#include <span>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "printing/PreviewRec.h"

namespace tavrin::bench {

// Fails the benchmark, saying how the two sides differ.
inline void FailDiffering(benchmark::State& state, const QString& difference)
{
    // The benchmark keeps the message's address until it reports.
    static std::list<std::string> messages;
    messages.push_back("the program and the baseline differ: " + difference.toStdString());
    state.SkipWithError(messages.back().c_str());
    SidesDiffered() = true;
}

// Where two pictures differ: empty when every pixel is the same.
inline QString PictureDifference(const QImage& program, const QImage& baseline)
{
    const QImage a = program.convertToFormat(QImage::Format_RGB32);
    const QImage b = baseline.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size()) {
        return QStringLiteral("the pictures differ in size: %1 x %2 against %3 x %4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    }
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (pa[x] != pb[x]) return QStringLiteral("the pictures differ first at pixel %1, %2").arg(x).arg(y);
        }
    }
    return {};
}

// Where two byte strings differ: empty when they are the same.
inline QString BytesDifference(const QByteArray& program, const QByteArray& baseline, const QString& what)
{
    if (program == baseline) return {};
    qsizetype at = 0;
    while (at < program.size() && at < baseline.size() && program[at] == baseline[at]) ++at;
    return QStringLiteral("%1: %2 bytes against %3, first different at byte %4")
        .arg(what)
        .arg(program.size())
        .arg(baseline.size())
        .arg(at);
}

// Where two PDF files differ, page by page as poppler draws them at 150 dots per inch without
// smoothing: empty when every page has the same pixels. Without poppler nothing can be
// compared, which counts as a difference.
inline QString PdfDifference(const QString& program, const QString& baseline)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) return QStringLiteral("pdftoppm is not installed: the PDF files cannot be compared");
    QTemporaryDir dir;
    const auto pages = [&](const QString& pdf, const QString& stem) {
        QProcess::execute(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("150"),
                                     QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
                                     QStringLiteral("no"), pdf, dir.filePath(stem)});
        QStringList out;
        for (const QString& f : QDir(dir.path()).entryList({stem + QStringLiteral("*.png")}, QDir::Files, QDir::Name))
            out << dir.filePath(f);
        return out;
    };
    const QStringList a = pages(program, QStringLiteral("program"));
    const QStringList b = pages(baseline, QStringLiteral("baseline"));
    if (a.isEmpty() || a.size() != b.size()) return QStringLiteral("%1 pages against %2").arg(a.size()).arg(b.size());
    for (qsizetype p = 0; p < a.size(); ++p) {
        const QString difference = PictureDifference(QImage(a[p]), QImage(b[p]));
        if (!difference.isEmpty()) return QStringLiteral("page %1: ").arg(p + 1) + difference;
    }
    return {};
}

// Where two preview recordings (command file and text file each) differ, comparing what each
// command says: its code, the fields it sets and its text. Empty when they are the same.
inline QString RecordingDifference(const QByteArray& programCommands, const QByteArray& programTexts,
                                   const QByteArray& baselineCommands, const QByteArray& baselineTexts)
{
    const auto records = [](const QByteArray& bytes) {
        constexpr auto size = static_cast<qsizetype>(PreviewCommandRecord::Size);
        std::vector<PreviewCommandRecord> out;
        for (qsizetype at = 0; at + size <= bytes.size(); at += size) {
            PreviewCommandRecord r;
            Decode(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()) + at,
                                                 PreviewCommandRecord::Size),
                   r);
            out.push_back(r);
        }
        return out;
    };
    const auto text = [](const QByteArray& texts, const PreviewCommandRecord& r) {
        return r.TextLen > 0 ? texts.mid(r.TextPos - 1, r.TextLen) : QByteArray();
    };
    const std::vector<PreviewCommandRecord> a = records(programCommands);
    const std::vector<PreviewCommandRecord> b = records(baselineCommands);
    for (std::size_t k = 0; k < a.size() && k < b.size(); ++k) {
        const PreviewCommandRecord& p = a[k];
        const PreviewCommandRecord& q = b[k];
        bool same = p.Command == q.Command;
        if (same) {
            switch (p.Command) {
                case Pv::DrawText:
                case Pv::PrintText:
                    same = p.A == q.A && p.B == q.B && p.C == q.C && p.D == q.D && p.Value == q.Value &&
                           text(programTexts, p) == text(baselineTexts, q);
                    break;
                case Pv::Line:
                case Pv::Box:
                    same = p.A == q.A && p.B == q.B && p.C == q.C && p.D == q.D;
                    break;
                case Pv::FilledBox:
                case Pv::Ellipse:
                    same = p.A == q.A && p.B == q.B && p.C == q.C && p.D == q.D && p.Value == q.Value;
                    break;
                case Pv::NewPage:
                case Pv::EndDocument:
                    break;
                default:
                    same = p.Value == q.Value;
                    break;
            }
        }
        if (!same) {
            return QStringLiteral("record %1: command %2 (%3, %4, %5, %6, %7, \"%8\") against command %9 (%10, %11, "
                                  "%12, %13, %14, \"%15\")")
                .arg(k + 1)
                .arg(p.Command)
                .arg(p.A)
                .arg(p.B)
                .arg(p.C)
                .arg(p.D)
                .arg(p.Value)
                .arg(QString::fromLatin1(text(programTexts, p)))
                .arg(q.Command)
                .arg(q.A)
                .arg(q.B)
                .arg(q.C)
                .arg(q.D)
                .arg(q.Value)
                .arg(QString::fromLatin1(text(baselineTexts, q)));
        }
    }
    if (a.size() != b.size()) return QStringLiteral("%1 records against %2").arg(a.size()).arg(b.size());
    return {};
}

}  // namespace tavrin::bench
