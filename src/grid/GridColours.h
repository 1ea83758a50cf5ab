#pragma once
// The brushes of the schedule grid, as colours (0x00BBGGRR).

#include <cstdint>

#include "store/CellCodes.h"

namespace tavrin {

// Cells that match the highlight query.
constexpr std::uint32_t kHighlightColour = Rgb(255, 255, 192);
// The platform's stock light grey: default divider and coverage colour.
constexpr std::uint32_t kGreyBrush = Rgb(192, 192, 192);
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kBlack = 0;

constexpr int kSwatches = 24;

// Colour swatch 0..23 of the divider and coverage-line properties; an index read from a file
// outside that range gives the default grey.
constexpr std::uint32_t SwatchColour(int index)
{
    constexpr std::uint32_t kSwatch[kSwatches] = {
        Rgb(0xFF, 0xFF, 0xFF), Rgb(0xE0, 0xE0, 0xE0), Rgb(0xC0, 0xC0, 0xC0), Rgb(0xFF, 0xC0, 0xC0),
        Rgb(0xFF, 0x80, 0x80), Rgb(0xC0, 0x00, 0x00), Rgb(0xFF, 0xE0, 0xC0), Rgb(0xFF, 0xC0, 0x80),
        Rgb(0xC0, 0x40, 0x00), Rgb(0xFF, 0xFF, 0xC0), Rgb(0xFF, 0xFF, 0x80), Rgb(0xC0, 0xC0, 0x00),
        Rgb(0xC0, 0xFF, 0xC0), Rgb(0x80, 0xFF, 0x80), Rgb(0x00, 0xC0, 0x00), Rgb(0xC0, 0xFF, 0xFF),
        Rgb(0x80, 0xFF, 0xFF), Rgb(0x00, 0xC0, 0xC0), Rgb(0xC0, 0xC0, 0xFF), Rgb(0x80, 0x80, 0xFF),
        Rgb(0x00, 0x00, 0xC0), Rgb(0xFF, 0xC0, 0xFF), Rgb(0xFF, 0x80, 0xFF), Rgb(0xC0, 0x00, 0xC0)};
    return index >= 0 && index < kSwatches ? kSwatch[index] : kGreyBrush;
}

// The fill of a divider row, a coverage line or a coverage title: the default grey or the
// record's swatch.
template <class D>
constexpr std::uint32_t DividerFill(const D& d)
{
    return d.UseDefaultColour == 1 ? kGreyBrush : SwatchColour(d.ColourIndex);
}

}  // namespace tavrin
