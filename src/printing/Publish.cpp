#include "printing/Publish.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "store/Records.h"

namespace tavrin {

Publish::Publish(SchedulePropertiesRecord& props, bool& modified, const PublishPlaces& places, MsgBox& msg,
                 GridPaint* grid, QString prefix, int pageCount, QWidget* parent)
    : QDialog(parent),
      props_(props),
      modified_(modified),
      places_(places),
      msg_(msg),
      grid_(grid),
      prefix_(std::move(prefix)),
      pageCount_(std::max(1, pageCount))
{
    setObjectName(QStringLiteral("Publish"));
    setModal(true);

    Frame1 = new QGroupBox(QStringLiteral("Drive/path to publish to:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Text1);

    Command3 = new QPushButton(QStringLiteral("Erase all .htm and .gif files"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    Check1 = new QCheckBox(QStringLiteral("Filenames in uppercase"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check2 = new QCheckBox(QStringLiteral("Crop report images"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Label2 = new QLabel(QStringLiteral("Files to be created:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2, QStringLiteral("Publish"), QStringLiteral("Close"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(Command3, 0, Qt::AlignLeft);
    layout->addWidget(Check1);
    layout->addWidget(Check2);
    layout->addWidget(Label2);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    resize(440, 420);

    checks_ = new BoxChecks(this);
    checks_->Add(Text1, [this] { return Text1_LostFocus(); });
    checks_->Exempt(Command2);

    connect(Text1, &QLineEdit::textChanged, this, &Publish::Text1_Change);
    connect(Check1, &QCheckBox::toggled, this, &Publish::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &Publish::Check2_Click);
    connect(Command1, &QPushButton::clicked, this, &Publish::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Publish::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Publish::Command3_Click);

    Load();
}

void Publish::Load()
{
    DialogCancelled = false;
    setWindowTitle(QStringLiteral("Publish-") + prefix_);
    if (props_.UppercaseFileNames == 1) Check1->setChecked(true);
    if (props_.CropReportImages == 1) Check2->setChecked(true);

    QString folder = props_.PublishFolder.str();
    folder.replace(QChar(0), QLatin1Char(' '));
    folder = folder.trimmed();
    if (folder.contains(QLatin1String("1STTIME"), Qt::CaseInsensitive)) {
        folder.clear();
        props_.PublishFolder.blank();
    }
    if (folder.isEmpty()) {
        folder = places_.DefaultFolder();
        QDir().mkpath(folder);
        StoreFolder(folder);
        modified_ = true;
    } else if (!folder.endsWith(QLatin1Char('/'))) {
        // Names are put straight after the folder.
        folder += QLatin1Char('/');
    }
    Text1->setText(folder);
    EnsurePublishFolder(false);
}

void Publish::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (grid_) grid_->CenterFormOnScreen(this);
}

QString Publish::Folder() const
{
    return Text1->text();
}

QStringList Publish::Files() const
{
    QStringList files;
    for (int i = 0; i < List1->count(); ++i) files << List1->item(i)->text();
    return files;
}

bool Publish::UppercaseNames() const
{
    return Check1->isChecked();
}

bool Publish::CropImages() const
{
    return props_.CropReportImages == 1;
}

void Publish::StoreFolder(const QString& folder)
{
    // A folder longer than the field (or with characters it cannot hold) is used for this
    // publication but not kept: a cut folder would name another one.
    const FixedText<79> kept(folder);
    if (kept.str() == folder) {
        props_.PublishFolder = kept;
    } else {
        props_.PublishFolder.blank();
    }
}

void Publish::EnsurePublishFolder(bool ask)
{
    QDir().mkpath(places_.DefaultFolder());
    QString folder = Text1->text();
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        bool fallBack = true;
        if (ask) {
            const int answer =
                msg_.show(QStringLiteral("The Directory ") + folder + QStringLiteral(" does not exist.") +
                              QLatin1Char('\n') + QStringLiteral("Do you wish to create the directory?"),
                          Mb::YesNo + Mb::Question, QStringLiteral("Directory does not exist!"));
            if (answer == Mb::Yes) {
                QDir().mkpath(folder);
                fallBack = false;
            }
        }
        if (fallBack) {
            const QString fallback = places_.FallbackFolder();
            StoreFolder(fallback);
            Text1->setText(fallback);
        }
    }
    RebuildList();
}

void Publish::RebuildList()
{
    SetBusyPointer(true);
    List1->clear();
    List1->addItems(PublishNames::FileList(prefix_, pageCount_, Check1->isChecked(),
                                           !PublishNames::HasButtonPictures(Text1->text())));
    SetBusyPointer(false);
}

// ---------------------------------------------------------------- events

void Publish::Text1_Change()
{
    modified_ = true;
    Command3->setEnabled(true);
}

bool Publish::Text1_LostFocus()
{
    QString folder = Text1->text().trimmed();
    if (folder.isEmpty()) {
        folder = places_.DefaultFolder();
    } else if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    StoreFolder(folder);
    Text1->setText(folder);
    EnsurePublishFolder(true);
    // The box always ends up with a folder to use.
    return true;
}

void Publish::Check1_Click(bool checked)
{
    props_.UppercaseFileNames = checked ? 1 : 0;
    modified_ = true;
    RebuildList();
}

void Publish::Check2_Click(bool checked)
{
    props_.CropReportImages = checked ? 1 : 0;
    modified_ = true;
}

void Publish::Command3_Click()
{
    PublishNames::EraseFolder(Text1->text());
    Command3->setEnabled(false);
    RebuildList();
}

void Publish::Command1_Click()
{
    if (!checks_->RunAll()) return;
    SetBusyPointer(true);
    accept();
}

void Publish::Command2_Click()
{
    reject();
}

void Publish::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
