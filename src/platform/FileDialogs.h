#pragma once
// The Open and Save As file dialogs as the program asks for them.

#include <QString>
#include <optional>

class QWidget;

namespace tavrin {

struct FileDialogRequest {
    QString title;
    QString defaultExt;  // appended to a name typed without an extension
    QString fileName;    // initial name (may include a folder)
    // Filter pairs as "Description|pattern|Description|pattern"; patterns match in any case.
    QString filter;
    int filterIndex = 1;              // 1-based
    bool offerCreate = false;         // Open: a missing file may be chosen after confirmation
    bool confirmOverwrite = false;    // Save As: an existing file is replaced only after confirmation
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nullopt when cancelled.
    virtual std::optional<QString> Open(const FileDialogRequest& r) = 0;
    virtual std::optional<QString> SaveAs(const FileDialogRequest& r) = 0;
};

// The real dialogs, on QFileDialog.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    std::optional<QString> Open(const FileDialogRequest& r) override;
    std::optional<QString> SaveAs(const FileDialogRequest& r) override;

private:
    QWidget* parent_;
};

// "Schedule Files (*.qrd)|*.qrd|All Files(*.*)|*.*" as Qt name filters, each pattern in both
// cases ("*.qrd *.QRD").
QStringList QtNameFilters(const QString& filter);

}  // namespace tavrin
