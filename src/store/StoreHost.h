#pragma once
// What the store asks of the main window while it opens and closes a schedule.

#include <QString>
#include <cstdint>

namespace tavrin {

class StoreHost {
public:
    virtual ~StoreHost() = default;
    // Caption and check mark of the View menu's item for format 1..5.
    virtual void SetFormatMenuItem(int format, const QString& caption, bool checked) = 0;
    // The captions naming the current format: the View menu's "Edit Schedule Format (...)" item
    // and the Report menu's item for the current format.
    virtual void SetCurrentFormatCaptions(const QString& editCaption, const QString& reportCaption) = 0;
    // Background colour (0x00BBGGRR) of the two column-heading panels.
    virtual void SetColumnHeadingColour(std::uint32_t colour) = 0;
    // Lays the window out for the current format.
    virtual void ApplyScheduleFormat() = 0;
    // Lets pending window events run.
    virtual void ProcessEvents() = 0;
};

// A host that shows nothing: for work without a window.
class NullStoreHost final : public StoreHost {
public:
    void SetFormatMenuItem(int, const QString&, bool) override {}
    void SetCurrentFormatCaptions(const QString&, const QString&) override {}
    void SetColumnHeadingColour(std::uint32_t) override {}
    void ApplyScheduleFormat() override {}
    void ProcessEvents() override {}
};

}  // namespace tavrin
