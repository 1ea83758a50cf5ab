#include "printing/Export.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FileReplace.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool HasNonBlank(const QString& s)
{
    return std::any_of(s.cbegin(), s.cend(), [](QChar c) { return c != QLatin1Char(' '); });
}

// A text fits a fixed field when it survives the code page and is no longer than the field.
template <std::size_t N>
bool FitsField(const QString& text)
{
    const QByteArray bytes = StringToCp1252(text);
    return static_cast<std::size_t>(bytes.size()) <= N && Cp1252ToString(bytes) == text;
}

}  // namespace

// ---------------------------------------------------------------- the text

TextExport::TextExport(const Options& options) : options_(options)
{
    for (int k = ExportOpt::kFirstContent; k <= ExportOpt::kLastContent; ++k) contentItems_ += Option(k) ? 1 : 0;
    Reset();
}

void TextExport::Reset()
{
    // One content item stacked is the flat layout.
    StackedColumns = Option(ExportOpt::Stacked) && contentItems_ >= 2;
    TextOut.clear();
    for (QString& s : ColumnSlots) s.clear();
    FirstFieldOnLine = true;
    FieldSeparator = options_[ExportOpt::Comma] == 1 ? QLatin1Char(',') : QLatin1Char('\t');
}

QString TextExport::ReplaceFieldCommas(const QString& text) const
{
    if (FieldSeparator != QLatin1Char(',') || !text.contains(QLatin1Char(','))) return text;
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return t;
}

void TextExport::AddToSlot(int slot, const QString& text)
{
    QString& s = ColumnSlots[static_cast<std::size_t>(slot)];
    if (HasNonBlank(s)) s += FieldSeparator;
    s += text;
}

void TextExport::AppendTextField(const QString& text, int column)
{
    const QString field = ReplaceFieldCommas(text);
    if (!StackedColumns) {
        if (!FirstFieldOnLine) TextOut += FieldSeparator;
        TextOut += field;
        FirstFieldOnLine = false;
        return;
    }
    FirstFieldOnLine = false;
    if (column >= 1 && column <= 11) {
        AddToSlot(column, field);
        return;
    }
    if (column != -1) return;
    // Name and position start the first content line; the other lines get a placeholder.
    bool first = true;
    for (int slot = 1; slot <= 11; ++slot) {
        if (!Option(slot + 1)) continue;
        AddToSlot(slot, first ? field : QStringLiteral("."));
        first = false;
    }
}

void TextExport::FlushTextLine()
{
    FirstFieldOnLine = true;
    if (!StackedColumns) {
        TextOut += kCrLf;
        return;
    }
    for (int slot = 1; slot <= 11; ++slot) {
        QString& s = ColumnSlots[static_cast<std::size_t>(slot)];
        if (HasNonBlank(s)) {
            TextOut += s;
            TextOut += kCrLf;
        }
        s.clear();
    }
}

void TextExport::EndRecord()
{
    // After the last of the employee's lines, in both layouts.
    TextOut += kCrLf;
    FirstFieldOnLine = true;
}

Status DeliverExportText(const QString& text, bool toFile, const QString& path)
{
    if (!toFile) {
        QClipboard* clip = QApplication::clipboard();
        clip->clear();
        clip->setText(text);
        return {};
    }
    return WriteWholeFile(path, StringToCp1252(text + kCrLf));
}

// ---------------------------------------------------------------- the dialog

Export::Export(SchedFiles& files, FileDialogs& dialogs, QWidget* parent)
    : QDialog(parent), files_(files), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Export"));
    setWindowTitle(QStringLiteral("Export Schedule Data"));
    setModal(true);

    static const char* const kContents[12] = {"Position", "Explanation", "Note", "On-Call Status",
                                              "Shift1",   "Start1",      "End1", "Shiftlen1",
                                              "Shift2",   "Start2",      "End2", "Shiftlen2"};
    Frame1 = new QGroupBox(QStringLiteral("Contents"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* contents = new QGridLayout(Frame1);
    for (int i = 0; i < 12; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kContents[i]), Frame1);
        box->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        contents->addWidget(box, i % 6, i / 6);
        Check1[static_cast<std::size_t>(i)] = box;
    }

    Frame2 = new QGroupBox(QStringLiteral("Data Format"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* format = new QVBoxLayout(Frame2);
    Option1[1] = new QRadioButton(QStringLiteral("Comma Delimited"), Frame2);
    Option1[0] = new QRadioButton(QStringLiteral("Tab Delimited"), Frame2);
    Option1[0]->setObjectName(QStringLiteral("Option1(0)"));
    Option1[1]->setObjectName(QStringLiteral("Option1(1)"));
    format->addWidget(Option1[1]);
    format->addWidget(Option1[0]);

    Frame3 = new QGroupBox(QStringLiteral("Style"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* style = new QVBoxLayout(Frame3);
    Check2 = new QCheckBox(QStringLiteral("Stacked Columns"), Frame3);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check3 = new QCheckBox(QStringLiteral("Separate Records"), Frame3);
    Check3->setObjectName(QStringLiteral("Check3"));
    style->addWidget(Check2);
    style->addWidget(Check3);

    const auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
    };
    button(Command1, "Command1", "Export to Clipboard");
    button(Command2, "Command2", "Export to File...");
    button(Command3, "Command3", "Close");

    auto* right = new QVBoxLayout;
    right->addWidget(Frame2);
    right->addWidget(Frame3);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Frame1);
    top->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    // Loading: the controls show the options (clicked is not emitted by code).
    const ReportSettingsRecord& b = Block();
    for (int k = 1; k <= 12; ++k) Check1[static_cast<std::size_t>(k - 1)]->setChecked(b.Options[k] != 0);
    Option1[b.Options[ExportOpt::Comma] == 1 ? 1 : 0]->setChecked(true);
    Check2->setChecked(b.Options[ExportOpt::Stacked] != 0);
    Check3->setChecked(b.Options[ExportOpt::SeparateRecords] != 0);

    const auto modified = [this] { files_.ScheduleModified = true; };
    for (QCheckBox* box : Check1) connect(box, &QCheckBox::clicked, this, modified);
    for (QAbstractButton* box : {static_cast<QAbstractButton*>(Check2), static_cast<QAbstractButton*>(Check3),
                                 static_cast<QAbstractButton*>(Option1[0]), static_cast<QAbstractButton*>(Option1[1])})
        connect(box, &QAbstractButton::clicked, this, modified);
    connect(Command1, &QPushButton::clicked, this, &Export::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Export::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Export::Command3_Click);
}

ReportSettingsRecord& Export::Block()
{
    return files_.ScheduleProps.ReportSettings[kExportSettingsBlock];
}

void Export::done(int r)
{
    ReportSettingsRecord& b = Block();
    for (int k = 1; k <= 12; ++k) b.Options[k] = Check1[static_cast<std::size_t>(k - 1)]->isChecked() ? 1 : 0;
    b.Options[ExportOpt::Comma] = Option1[1]->isChecked() ? 1 : 0;
    b.Options[ExportOpt::Stacked] = Check2->isChecked() ? 1 : 0;
    b.Options[ExportOpt::SeparateRecords] = Check3->isChecked() ? 1 : 0;
    QDialog::done(r);
}

void Export::reject()
{
    DialogCancelled = true;
    TextExportMode = false;
    QDialog::reject();
}

void Export::Command1_Click()
{
    TextExportMode = true;
    TextExportToFile = 0;
    accept();
}

void Export::Command2_Click()
{
    if (!ChooseExportFile()) return;
    TextExportMode = true;
    TextExportToFile = 1;
    accept();
}

void Export::Command3_Click()
{
    reject();
}

bool Export::ChooseExportFile()
{
    const bool tab = Option1[0]->isChecked();
    FileDialogRequest r;
    r.title = QStringLiteral("Export to file...");
    r.defaultExt = tab ? QStringLiteral("txt") : QStringLiteral("csv");
    r.filter = QStringLiteral("Comma separated (*.csv)|*.csv|Text Files (*.txt)|*.txt|All Files(*.*)|*.*");
    r.filterIndex = tab ? 2 : 1;
    r.confirmOverwrite = true;

    FixedText<80>& stored = files_.ScheduleProps.ExportFileName;
    QString name = stored.str();
    name.remove(QChar(0));
    name = Runtime::Trim(name);
    if (name.isEmpty()) {
        name = tab ? QStringLiteral("*.txt") : QStringLiteral("*.csv");
        stored = name;
    }
    // The dialog opens in the stored file's folder; the program's own folder stays as it is.
    r.fileName = name;
    const std::optional<QString> chosen = dialogs_.SaveAs(r);
    if (stored.str().startsWith(QLatin1Char('*'))) stored.blank();
    if (!chosen) return false;

    ExportPath = QFileInfo(*chosen).absoluteFilePath();
    // The export always uses the whole path; the settings keep it only when it fits.
    if (FitsField<80>(ExportPath))
        stored = ExportPath;
    else
        stored.blank();
    files_.ScheduleModified = true;
    return true;
}

}  // namespace tavrin
