#include "support/RecordingDump.h"

#include <QStringList>

#include "platform/WorkFile.h"
#include "printing/PreviewRec.h"

namespace tavrin::test {

QString DumpText(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('"'))
            out += QStringLiteral("\\\"");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString DumpNumber(double v)
{
    return QString::number(v, 'g', 12);
}

QString DumpColour(std::uint32_t colour)
{
    return QStringLiteral("0x%1")
        .arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

QString DumpRecording(const QString& workDir)
{
    PreviewRec names(workDir);
    WorkFile commands;
    WorkFile texts;
    if (!commands.open(names.CommandPath(), int(PreviewCommandRecord::Size)) || !texts.open(names.TextPath(), 1)) {
        return QStringLiteral("<no recording>");
    }
    QStringList lines;
    for (std::int64_t n = 1; n <= commands.recordCount();) {
        const std::vector<PreviewCommandRecord> page = ReadPreviewPage(commands, n);
        if (page.empty()) break;
        for (const PreviewCommandRecord& r : page) {
            const auto nums = [](std::initializer_list<std::int32_t> v) {
                QStringList out;
                for (std::int32_t x : v) out << QString::number(x);
                return out.join(QLatin1Char(' '));
            };
            switch (r.Command) {
                case Pv::FontSize:
                    lines << QStringLiteral("FontSize ") + nums({r.Value});
                    break;
                case Pv::DrawText:
                    lines << QStringLiteral("DrawText ") + nums({r.A, r.B, r.C, r.D, r.Value}) + QLatin1Char(' ') +
                                 DumpText(ReadPreviewText(texts, r));
                    break;
                case Pv::FontBold:
                    lines << QStringLiteral("FontBold ") + nums({r.Value});
                    break;
                case Pv::FontItalic:
                    lines << QStringLiteral("FontItalic ") + nums({r.Value});
                    break;
                case Pv::ForeColor:
                    lines << QStringLiteral("ForeColor ") + DumpColour(static_cast<std::uint32_t>(r.Value));
                    break;
                case Pv::DrawWidth:
                    lines << QStringLiteral("DrawWidth ") + nums({r.Value});
                    break;
                case Pv::FilledBox:
                    lines << QStringLiteral("FilledBox ") + nums({r.A, r.C, r.B, r.D, r.Value});
                    break;
                case Pv::Line:
                    lines << QStringLiteral("Line ") + nums({r.A, r.C, r.B, r.D});
                    break;
                case Pv::Box:
                    lines << QStringLiteral("Box ") + nums({r.A, r.C, r.B, r.D});
                    break;
                case Pv::NewPage:
                    lines << QStringLiteral("NewPage");
                    break;
                case Pv::EndDocument:
                    lines << QStringLiteral("EndDoc");
                    break;
                case Pv::PrintText:
                    lines << QStringLiteral("Print ") + nums({r.A, r.C}) + QLatin1Char(' ') +
                                 DumpText(ReadPreviewText(texts, r));
                    break;
                case Pv::Ellipse:
                    lines << QStringLiteral("Ellipse ") + nums({r.A, r.B, r.C, r.D, r.Value});
                    break;
                default:
                    lines << QStringLiteral("Code ") + nums({r.Command, r.A, r.B, r.C, r.D, r.Value});
                    break;
            }
        }
        n += static_cast<std::int64_t>(page.size());
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tavrin::test
