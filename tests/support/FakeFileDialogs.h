#pragma once
// File dialogs that answer from a script and record what they were asked.

#include "platform/FileDialogs.h"

#include <deque>
#include <vector>

namespace tavrin::test {

class FakeFileDialogs final : public FileDialogs {
public:
    // The next answer: a path, or nullopt for Cancel (also when the script has run out).
    void Answer(const std::optional<QString>& path) { answers_.push_back({!path.has_value(), path.value_or(QString())}); }
    std::optional<QString> Open(const FileDialogRequest& r) override { return Take(r); }
    std::optional<QString> SaveAs(const FileDialogRequest& r) override { return Take(r); }
    std::vector<FileDialogRequest> asked;

    // The font dialog: the next scripted choice, or the preset (a cancel) when none is left.
    void AnswerFont(const FontChoice& c) { fonts_.push_back(c); }
    FontChoice Font(const FontChoice& preset) override
    {
        fontPresets.push_back(preset);
        if (fonts_.empty()) return preset;
        const FontChoice c = fonts_.front();
        fonts_.pop_front();
        return ClampFontChoice(c);
    }
    std::vector<FontChoice> fontPresets;

private:
    struct Scripted {
        bool cancel;
        QString path;
    };
    std::optional<QString> Take(const FileDialogRequest& r)
    {
        asked.push_back(r);
        if (answers_.empty()) return std::nullopt;
        const Scripted a = answers_.front();
        answers_.pop_front();
        if (a.cancel) return std::nullopt;
        return a.path;
    }
    std::deque<Scripted> answers_;
    std::deque<FontChoice> fonts_;
};

}  // namespace tavrin::test
