#pragma once
// Records what the store asked the window to show.

#include "store/StoreHost.h"

#include <QString>
#include <map>

namespace tavrin::test {

class RecordingStoreHost final : public StoreHost {
public:
    void SetFormatMenuItem(int format, const QString& caption, bool checked) override
    {
        formatCaptions[format] = caption;
        formatChecked[format] = checked;
    }
    void SetCurrentFormatCaptions(const QString& edit, const QString& report) override
    {
        editCaption = edit;
        reportCaption = report;
    }
    void SetColumnHeadingColour(std::uint32_t colour) override { headingColour = colour; }
    void ApplyScheduleFormat() override { ++applied; }
    void ProcessEvents() override {}

    std::map<int, QString> formatCaptions;
    std::map<int, bool> formatChecked;
    QString editCaption, reportCaption;
    std::uint32_t headingColour = 0xFFFFFFFF;
    int applied = 0;
};

}  // namespace tavrin::test
