#pragma once
// File dialogs that answer from a script and record what they were asked.

#include "platform/FileDialogs.h"

#include <deque>
#include <vector>

namespace tavrin::test {

class FakeFileDialogs final : public FileDialogs {
public:
    // The next answer: a path, or nullopt for Cancel.
    void Answer(std::optional<QString> path) { answers_.push_back(std::move(path)); }
    std::optional<QString> Open(const FileDialogRequest& r) override { return Take(r); }
    std::optional<QString> SaveAs(const FileDialogRequest& r) override { return Take(r); }
    std::vector<FileDialogRequest> asked;

private:
    std::optional<QString> Take(const FileDialogRequest& r)
    {
        asked.push_back(r);
        if (answers_.empty()) return std::nullopt;
        auto a = answers_.front();
        answers_.pop_front();
        return a;
    }
    std::deque<std::optional<QString>> answers_;
};

}  // namespace tavrin::test
