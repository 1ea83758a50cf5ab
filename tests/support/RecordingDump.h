#pragma once
// The text form of a preview recording, one line per command record, and of the fake printer's
// calls, for golden files:
//
//   FontSize 8                     FontBold -1 / 0          FontItalic -1 / 0
//   DrawText l t r b flags "text"  (device pixels)          ForeColor 0x0000FF (0x00BBGGRR)
//   DrawWidth 3                    NewPage                  EndDoc
//   Line x1 y1 x2 y2               Box x1 y1 x2 y2          FilledBox x1 y1 x2 y2 colour (twips)
//   Print x y "text"               Ellipse l t r b colour   Code n a b c d value (unknown code)
//
// Texts are quoted with \\, \", \r and \n escaped. Filled boxes and ellipses of a recording
// carry the signed fill colour (a shade positive, an own colour negated); the printer's the
// colour itself.

#include <QString>
#include <cstdint>

namespace tavrin::test {

QString DumpText(const QString& text);
QString DumpNumber(double v);
QString DumpColour(std::uint32_t colour);

// The dump of the recording in a working folder ("Preview.RP1" and "Preview.RP2").
QString DumpRecording(const QString& workDir);

}  // namespace tavrin::test
