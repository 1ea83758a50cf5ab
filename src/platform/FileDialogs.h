#pragma once
// The Open and Save As file dialogs as the program asks for them.

#include <QString>
#include <optional>

class QWidget;

namespace tavrin {

class FontService;

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

// A font as the font dialog offers and returns it, by the names schedules store ("Arial").
struct FontChoice {
    QString name;
    double size = 8;  // points
    bool bold = false;
    bool italic = false;
    bool operator==(const FontChoice&) const = default;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nullopt when cancelled.
    virtual std::optional<QString> Open(const FileDialogRequest& r) = 0;
    virtual std::optional<QString> SaveAs(const FileDialogRequest& r) = 0;
    // The font dialog, preset with a font; sizes are held to 4..17 points. A cancelled dialog
    // returns the preset.
    virtual FontChoice Font(const FontChoice& preset) = 0;
};

// The real dialogs, on QFileDialog.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    // Font families are offered and read back through this service, so that a stand-in family
    // comes back under the classic name it stands for.
    void setFontService(const FontService* fonts) { fonts_ = fonts; }
    std::optional<QString> Open(const FileDialogRequest& r) override;
    std::optional<QString> SaveAs(const FileDialogRequest& r) override;
    FontChoice Font(const FontChoice& preset) override;

private:
    QWidget* parent_;
    const FontService* fonts_ = nullptr;
};

// A font dialog's choice held to the sizes the program offers (4..17 points).
FontChoice ClampFontChoice(FontChoice c);

// "Schedule Files (*.qrd)|*.qrd|All Files(*.*)|*.*" as Qt name filters, each pattern in both
// cases ("*.qrd *.QRD").
QStringList QtNameFilters(const QString& filter);

}  // namespace tavrin
