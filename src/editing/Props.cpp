#include "editing/Props.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

QString TrimNulls(QString s)
{
    s.replace(QChar(0), QLatin1Char(' '));
    return Runtime::Trim(s);
}

bool IsProgramFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

std::optional<OleDate> DateIn(const QLineEdit* box)
{
    const std::optional<OleDate> d = Runtime::ParseDate(box->text());
    if (!d) return std::nullopt;
    return std::floor(*d);
}

}  // namespace

QString RemovedDaysText(OleDate s, OleDate e, OleDate ns, OleDate ne, const QString& dateFormat)
{
    const auto date = [&dateFormat](OleDate d) { return Runtime::FormatDate(d, dateFormat); };
    const auto range = [&date](OleDate a, OleDate b) { return date(a) + QStringLiteral(" to ") + date(b); };
    // No old day is kept: the whole period goes.
    if (ns > e || ne < s) return range(s, e);
    QString text;
    if (ns > s) text = range(s, ns - 1);
    if (ne < e) {
        if (!text.isEmpty()) text += QStringLiteral(" and ");
        text += range(ne + 1, e);
    }
    return text;
}

Props::Props(SchedFiles& files, GridPaint& grid, MsgBox& msg, FileDialogs& dialogs, bool forNewSchedule,
             QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), dialogs_(dialogs), forNew_(forNewSchedule)
{
    setObjectName(QStringLiteral("Props"));
    setModal(true);

    const auto box = [this](QLineEdit*& b, const char* name, int limit) {
        b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(limit);
    };
    box(StartDate, "StartDate", 20);
    box(EndDate, "EndDate", 20);
    box(PassWord, "PassWord", 10);
    box(Password2, "Password2", 10);
    // The read-only password is carried through but cannot be edited.
    Label5 = new QLabel(QStringLiteral("Read-Only Access Password"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->hide();
    Password2->hide();

    auto* week = new QGroupBox(QStringLiteral("Beginning Day of Week"), this);
    auto* weekLayout = new QVBoxLayout(week);
    weekdays_ = new QButtonGroup(this);
    const char* days[7] = {"&Sunday", "&Monday", "&Tuesday", "&Wednesday", "T&hursday", "&Friday", "S&aturday"};
    for (int i = 0; i < 7; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(days[i]), week);
        b->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        weekdays_->addButton(b, i);
        weekLayout->addWidget(b);
        Option1[static_cast<std::size_t>(i)] = b;
    }

    SSFrame1 = new QGroupBox(QStringLiteral("Crewbook Location"), this);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    Label4 = new QLabel(SSFrame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setMinimumWidth(260);
    Command1 = new QPushButton(QStringLiteral("Connect..."), SSFrame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto* crew = new QHBoxLayout(SSFrame1);
    crew->addWidget(Label4, 1);
    crew->addWidget(Command1);

    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Start Date:"), StartDate);
    form->addRow(QStringLiteral("End Date:"), EndDate);
    form->addRow(QStringLiteral("Read/Write Access Password:"), PassWord);
    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(week);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SSFrame1);
    layout->addLayout(buttons);

    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return CheckStartDate(); });
    checks_->Add(EndDate, [this] { return CheckEndDate(); });
    const auto upper = [](QLineEdit* b) {
        b->setText(b->text().toUpper());
        return true;
    };
    checks_->Add(PassWord, [this, upper] { return upper(PassWord); });
    checks_->Add(Password2, [this, upper] { return upper(Password2); });
    checks_->Exempt(ButtonCancel);

    connect(weekdays_, &QButtonGroup::idClicked, this, &Props::Option1_Click);
    connect(Command1, &QPushButton::clicked, this, &Props::Command1_Click);
    connect(ButtonOK, &QPushButton::clicked, this, &Props::ButtonOK_Click);
    connect(ButtonCancel, &QPushButton::clicked, this, &Props::ButtonCancel_Click);

    // Opening.
    SchedulePropertiesRecord& p = files_.ScheduleProps;
    const QString path = TrimNulls(p.SiblingAppPath.str());
    if (!IsProgramFile(path)) {
        p.SiblingAppPath = kApplicationNotFound;
        files_.ScheduleModified = true;
    }
    Label4->setText(Runtime::Trim(p.SiblingAppPath.str()));
    setWindowTitle(QStringLiteral("Set File Properties [ ") + files_.SchedStem + QStringLiteral(" ]"));
    DialogCancelled = false;
    // A stored weekday outside 1..7 is kept unless one is chosen.
    weekday_ = p.FirstDayOfWeek;
    if (weekday_ >= 1 && weekday_ <= 7) Option1[static_cast<std::size_t>(weekday_ - 1)]->setChecked(true);
    PassWord->setText(Runtime::RTrim(p.ReadWritePassword.str()));
    Password2->setText(Runtime::RTrim(p.ReadOnlyPassword.str()));
    StartDate->setText(Runtime::FormatDate(std::floor(OleDates::Clamped(p.PeriodStart)), files_.DateFormat));
    EndDate->setText(Runtime::FormatDate(std::floor(OleDates::Clamped(p.PeriodEnd)), files_.DateFormat));
    startAtOpen_ = StartDate->text();
    endAccepted_ = EndDate->text();
}

void Props::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    grid_.CenterFormOnMainForm(this);
}

void Props::Option1_Click(int i)
{
    if (i < 0 || i > 6) return;
    weekday_ = i + 1;
    files_.ScheduleModified = true;
}

bool Props::CheckStartDate()
{
    const std::optional<OleDate> d = DateIn(StartDate);
    if (!d) {
        msg_.beep();
        msg_.show(QStringLiteral("The date entered ") + StartDate->text() + QStringLiteral(" is not a valid date."),
                  Mb::Exclamation, QStringLiteral("Error"));
        StartDate->setText(startAtOpen_);
        return false;
    }
    StartDate->setText(Runtime::FormatDate(*d, files_.DateFormat));
    return true;
}

bool Props::CheckEndDate()
{
    const std::optional<OleDate> d = DateIn(EndDate);
    if (!d) {
        msg_.beep();
        msg_.show(QStringLiteral("The date entered ") + EndDate->text() + QStringLiteral(" is not a valid date."),
                  Mb::Exclamation, QStringLiteral("Error"));
        EndDate->setText(endAccepted_);
        return false;
    }
    if (!ValidateFileDates()) {
        EndDate->setText(endAccepted_);
        return false;
    }
    EndDate->setText(Runtime::FormatDate(*d, files_.DateFormat));
    endAccepted_ = EndDate->text();
    return true;
}

bool Props::ValidateFileDates()
{
    const std::optional<OleDate> s = DateIn(StartDate);
    const std::optional<OleDate> e = DateIn(EndDate);
    if (!s || !e) return false;
    const double days = *e - *s + 1;
    const auto refuse = [this](const QString& text) {
        msg_.beep();
        msg_.show(text, Mb::Exclamation, QStringLiteral("Error"));
        return false;
    };
    if (days < 42) return refuse(QStringLiteral("File must contain at least 42 days."));
    // Day numbers are Integers in the files.
    if (days > kMaxPeriodDays) return refuse(QStringLiteral("File cannot contain more than 32767 days."));
    return true;
}

void Props::ButtonOK_Click()
{
    // Enter on OK moves no focus: the boxes are checked here (which also upper-cases the
    // passwords), and no date is read that has not passed its check.
    // The password is asked for at every open: one stored with "?" in it could not be typed.
    if (!checks_->RunAll() || !AcceptStorableText(PassWord, msg_)) return;
    if (!ValidateFileDates()) {
        EndDate->setFocus();
        return;
    }
    NewPeriodStart = *DateIn(StartDate);
    NewPeriodEnd = *DateIn(EndDate);

    SchedulePropertiesRecord& p = files_.ScheduleProps;
    if (!forNew_) {
        const OleDate s = std::floor(OleDates::Clamped(p.PeriodStart));
        const OleDate e = std::floor(OleDates::Clamped(p.PeriodEnd));
        if (NewPeriodStart != s || NewPeriodEnd != e) {
            const QString lost = RemovedDaysText(s, e, NewPeriodStart, NewPeriodEnd, files_.DateFormat);
            if (!lost.isEmpty()) {
                msg_.beep();
                const int answer =
                    msg_.show(QStringLiteral("This change will cause information from ") + lost +
                                  QStringLiteral(" to be removed from the file..."),
                              Mb::OKCancel + Mb::Information + Mb::DefaultButton2, QStringLiteral("Please Note..."));
                if (answer != Mb::OK) {
                    StartDate->setFocus();
                    return;
                }
            }
        }
    }

    const QString password = PassWord->text().toUpper();
    const QString readOnly = Password2->text().toUpper();
    // A new weekday or password is a change to save like any other.
    if (weekday_ != p.FirstDayOfWeek || password != Runtime::RTrim(p.ReadWritePassword.str()) ||
        readOnly != Runtime::RTrim(p.ReadOnlyPassword.str())) {
        files_.ScheduleModified = true;
    }
    p.FirstDayOfWeek = static_cast<Int16>(weekday_);
    p.ReadWritePassword = password;
    p.ReadOnlyPassword = readOnly;
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void Props::ButtonCancel_Click()
{
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void Props::reject()
{
    if (!closing_) ButtonCancel_Click();
}

void Props::StorePath(const QString& path)
{
    QString stored = TrimNulls(path);
    // A path the field cannot hold whole would name another file.
    if (!IsProgramFile(stored) || !QFileInfo(stored).fileName().toUpper().contains(QStringLiteral("CB2_APP")) ||
        stored.size() > 100 || !UnstorableCharacters(stored).empty()) {
        stored = kApplicationNotFound;
    }
    files_.ScheduleProps.SiblingAppPath = stored;
    Label4->setText(Runtime::Trim(stored));
    files_.ScheduleModified = true;
}

void Props::Command1_Click()
{
    const QString stored = TrimNulls(files_.ScheduleProps.SiblingAppPath.str());
    const QFileInfo info(stored);
    QString folder =
        stored.isEmpty() || stored == Runtime::Trim(kApplicationNotFound) ? QString() : info.absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    FileDialogRequest r;
    r.title = QStringLiteral("Connect Crewbook");
    r.filter = QStringLiteral("Crewbook (CB2_APP*)|CB2_APP*|All Files(*.*)|*");
    r.fileName = folder + QLatin1Char('/') + (IsProgramFile(stored) ? info.fileName() : QString());
    const std::optional<QString> chosen = dialogs_.Open(r);
    if (!chosen) return;  // a cancelled dialog changes nothing
    StorePath(*chosen);
}

}  // namespace tavrin
