#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <algorithm>
#include <cmath>

#include "platform/FontService.h"
#include <QFileInfo>
#include <QMessageBox>

namespace tavrin {

QStringList QtNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p;
            if (p.toLower() != p) patterns << p.toLower();
            if (p.toUpper() != p) patterns << p.toUpper();
        }
        QString desc = parts[i];
        // The description shows its own pattern in brackets; Qt takes the patterns from there.
        const qsizetype bracket = desc.indexOf(QLatin1Char('('));
        if (bracket >= 0) desc = desc.left(bracket).trimmed();
        out << desc + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

namespace {

std::optional<QString> Run(QWidget* parent, const FileDialogRequest& r, bool save)
{
    QFileDialog dlg(parent, r.title);
    dlg.setOption(QFileDialog::DontUseNativeDialog, false);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open may name a file that does not exist yet (it is then created after a question).
    dlg.setFileMode(save || r.offerCreate ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    const QStringList filters = QtNameFilters(r.filter);
    dlg.setNameFilters(filters);
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size()) dlg.selectNameFilter(filters[r.filterIndex - 1]);
    dlg.setDefaultSuffix(r.defaultExt);
    if (!r.fileName.isEmpty()) {
        const QFileInfo fi(r.fileName);
        if (fi.path() != QLatin1String(".")) dlg.setDirectory(fi.path());
        dlg.selectFile(fi.fileName());
    }
    for (;;) {
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = dlg.selectedFiles().first();
        if (!save && r.offerCreate && !QFileInfo::exists(chosen)) {
            const auto answer = QMessageBox::question(
                &dlg, r.title,
                QFileInfo(chosen).fileName() + QStringLiteral("\nThis file does not exist.\n\nCreate the file?"));
            if (answer != QMessageBox::Yes) continue;
        }
        return chosen;
    }
}

}  // namespace

FontChoice ClampFontChoice(FontChoice c)
{
    if (!std::isfinite(c.size)) c.size = 8;
    c.size = std::clamp(c.size, 4.0, 17.0);
    return c;
}

FontChoice QtFileDialogs::Font(const FontChoice& preset)
{
    QFont initial(preset.name.trimmed());
    if (fonts_) {
        if (const auto f = fonts_->Resolve({preset.name, preset.size > 0 ? preset.size : 8, false, false})) {
            initial = QFont(f->font.family());
        }
    }
    initial.setPointSizeF(std::clamp(std::isfinite(preset.size) ? preset.size : 8.0, 4.0, 17.0));
    initial.setBold(preset.bold);
    initial.setItalic(preset.italic);

    QFontDialog dlg(initial, parent_);
    dlg.setOption(QFontDialog::DontUseNativeDialog, false);
    if (dlg.exec() != QDialog::Accepted) return preset;
    const QFont f = dlg.selectedFont();
    FontChoice out;
    out.name = fonts_ ? fonts_->ClassicName(f.family()) : f.family();
    out.size = f.pointSizeF() > 0 ? f.pointSizeF() : preset.size;
    out.bold = f.bold();
    out.italic = f.italic();
    return ClampFontChoice(out);
}

std::optional<QString> QtFileDialogs::Open(const FileDialogRequest& r) { return Run(parent_, r, false); }
std::optional<QString> QtFileDialogs::SaveAs(const FileDialogRequest& r) { return Run(parent_, r, true); }

}  // namespace tavrin
