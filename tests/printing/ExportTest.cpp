// Delimited-text export: the text of a run, its delivery and the Export dialog.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "PrintoutFixture.h"
#include "platform/Cp1252.h"
#include "platform/SysIo.h"

namespace tavrin::test {
namespace {

using Outcome = SchedulePrintout::Outcome;

TextExport::Options MakeOptions(std::initializer_list<int> set, bool comma = true)
{
    TextExport::Options o;
    for (int k : set) o[k] = 1;
    o[ExportOpt::Comma] = comma ? 1 : 0;
    return o;
}

// ---------------------------------------------------------------- the text

TEST(TextExportTest, FieldsAndLines)
{
    struct Case {
        const char* what;
        std::initializer_list<int> options;
        bool comma;
        std::function<void(TextExport&)> write;
        const char* text;
    };
    const Case cases[] = {
        {"comma: commas become points",
         {5},
         true,
         [](TextExport& t) {
             t.AppendTextField(QStringLiteral("Smith, J"), -1);
             t.AppendTextField(QStringLiteral("D,1"), 4);
             t.FlushTextLine();
         },
         "Smith. J,D.1\r\n"},
        {"tab: commas stay",
         {5},
         false,
         [](TextExport& t) {
             t.AppendTextField(QStringLiteral("Smith, J"), -1);
             t.AppendTextField(QStringLiteral("D,1"), 4);
             t.FlushTextLine();
         },
         "Smith, J\tD,1\r\n"},
        {"stacked: a line per column, placeholders for the name",
         {1, 5, 9, 14},
         true,
         [](TextExport& t) {
             t.AppendTextField(QStringLiteral("Ann"), -1);
             t.AppendTextField(QStringLiteral("RN"), -1);
             t.AppendTextField(QStringLiteral("D"), 4);
             t.AppendTextField(QStringLiteral("E"), 8);
             t.AppendTextField(QString(), 4);
             t.AppendTextField(QStringLiteral("N"), 8);
             t.FlushTextLine();
             t.EndRecord();
         },
         "Ann,RN,D,\r\n.,.,E,N\r\n\r\n"},
        {"stacked with one content item is flat",
         {5, 14},
         true,
         [](TextExport& t) {
             t.AppendTextField(QStringLiteral("Ann"), -1);
             t.AppendTextField(QStringLiteral("D"), 4);
             t.FlushTextLine();
         },
         "Ann,D\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextExport t(MakeOptions(c.options, c.comma));
        c.write(t);
        EXPECT_EQ(t.TextOut, QString::fromLatin1(c.text));
    }
}

// ---------------------------------------------------------------- runs

class ExportTest : public PrintoutFixture {
protected:
    QString Export(std::initializer_list<int> options, bool comma = true)
    {
        ReportSettingsRecord& block = files->ScheduleProps.ReportSettings[kExportSettingsBlock];
        block.Options = MakeOptions(options, comma);
        TextExport text(block.Options);
        EXPECT_EQ(Run(rows, false, &text), Outcome::Done);
        return text.TextOut;
    }
    std::vector<int> rows{1, 2, 3, 4, 5, 6};
};

TEST_F(ExportTest, GoldenExportsOfBothLayouts)
{
    SmallSchedule();
    struct Variant {
        const char* name;
        std::initializer_list<int> options;
        bool comma;
    };
    const Variant variants[] = {
        {"comma, flat", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true},
        {"comma, flat, separate records", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15}, true},
        {"tab, flat", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, false},
        {"tab, flat, separate records", {2, 5, 9, 15}, false},
        {"comma, stacked", {1, 2, 3, 5, 9, 14}, true},
        {"comma, stacked, separate records", {1, 2, 3, 5, 9, 14, 15}, true},
        {"tab, stacked", {3, 4, 5, 6, 14}, false},
        {"tab, stacked, separate records", {3, 4, 5, 6, 14, 15}, false},
    };
    QString all;
    for (const Variant& v : variants) {
        all += QStringLiteral("== ") + QString::fromLatin1(v.name) + QStringLiteral(" ==\r\n");
        all += Export(v.options, v.comma);
    }
    // Nothing is shown and preview mode is off after an export.
    EXPECT_EQ(shownPages, 0);
    EXPECT_FALSE(rec.PreviewMode);
    ExpectMatchesGolden(StringToCp1252(all), Golden("export_small.txt"));
}

TEST_F(ExportTest, NumberingAndHeadingLines)
{
    SetName(1, QStringLiteral("Ann Baker"));
    rows = {1};
    const QStringList lines = Export({5, 6}).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    QString numbers;
    QString dates = QStringLiteral("Name");
    for (int d = 0; d < 7; ++d) {
        numbers += QStringLiteral(",1,2");
        const QString date = Runtime::FormatDate(OleDates::FromYmd(2024, 1, 7) + d, files->DateFormat);
        dates += QLatin1Char(',') + date + QLatin1Char(',') + date;
    }
    EXPECT_EQ(lines[0], numbers);
    EXPECT_EQ(lines[1], dates);
    // An empty day: empty fields for shift and start.
    EXPECT_EQ(lines[2], QStringLiteral("Ann Baker") + QStringLiteral(",,").repeated(7));
}

TEST_F(ExportTest, OmittedDaysQueriesAndBlankSchedules)
{
    SmallSchedule();
    rows = {1};
    files->CurrentFormat.PrintSettings.Options[1] = 1;  // no Saturdays
    // On-call and shift: "0" for an empty day; Saturday has no fields anywhere.
    QStringList lines = Export({4, 5}).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral(",1,2").repeated(6));
    EXPECT_EQ(lines[2], QStringLiteral("Ann Baker,0,D,0,D,0,,0,D,0,,0,"));

    // Query in Omit mode: Ann's Day cells do not match Evening and give empty fields.
    EveningQuery();
    files->CurrentFormat.PrintQueryNumber = 1;
    files->CurrentFormat.NonMatchingCellsMode = 0;
    lines = Export({4, 5}).split(QStringLiteral("\r\n"));
    // Every day of hers but the empty Friday is left out; Saturday has no fields.
    EXPECT_EQ(lines[2], QStringLiteral("Ann Baker,,,,,,,,,,,0,"));
    files->CurrentFormat.NonMatchingCellsMode = 1;  // Dull exports the values
    lines = Export({4, 5}).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[2], QStringLiteral("Ann Baker,0,D,0,D,0,,0,D,0,,0,"));

    printout.reset();
    const QString blank = [&] {
        ReportSettingsRecord& block = files->ScheduleProps.ReportSettings[kExportSettingsBlock];
        block.Options = MakeOptions({1, 4, 5});
        TextExport text(block.Options);
        EXPECT_EQ(Run(rows, false, &text, true), Outcome::Done);
        return text.TextOut;
    }();
    EXPECT_TRUE(blank.endsWith(QStringLiteral("\r\nAnn Baker,RN\r\n"))) << blank.toStdString();
}

TEST_F(ExportTest, DeliveryToFileAndClipboard)
{
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("José.csv"));
    const QString text = QStringLiteral("Name,José\r\nÅsa,D\r\n");
    ASSERT_TRUE(DeliverExportText(text, true, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Name,Jos\xe9\r\n\xc5sa,D\r\n\r\n"));

    ASSERT_TRUE(DeliverExportText(text, false, QString()));
    EXPECT_EQ(QApplication::clipboard()->text(), text);

    // A file that cannot be written is reported with the system's reason.
    const Status s = DeliverExportText(text, true, out.filePath(QStringLiteral("missing/x.csv")));
    EXPECT_FALSE(s);
    EXPECT_EQ(s.message(), QStringLiteral("Cannot write ") + out.filePath(QStringLiteral("missing/x.csv")) +
                               QStringLiteral(": No such file or directory"));

    f.close();
    // A disk that is full or fails keeps the old file as it was and leaves nothing beside it,
    // however small the text (a stream's buffer would hide a failed write of it).
    const struct {
        SysIo::Fault::Call call;
        int err;
        bool shortWrite;
    } faults[] = {{SysIo::Fault::Call::Write, ENOSPC, false},
                  {SysIo::Fault::Call::Write, ENOSPC, true},
                  {SysIo::Fault::Call::Sync, ENOSPC, false},
                  {SysIo::Fault::Call::Sync, EIO, false}};
    for (const auto& fault : faults) {
        Status failed;
        {
            SysIo::Fault disk(fault.call, 1, fault.err, fault.shortWrite);
            failed = DeliverExportText(QStringLiteral("New,Line\r\n"), true, path);
        }
        EXPECT_EQ(failed.message(), QStringLiteral("Cannot write ") + path + QStringLiteral(": ") +
                                        QString::fromLocal8Bit(std::strerror(fault.err)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("Name,Jos\xe9\r\n\xc5sa,D\r\n\r\n"));
        f.close();
        EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("José.csv")});
    }
}

// ---------------------------------------------------------------- the dialog

class ExportDialogTest : public ExportTest {
protected:
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kExportSettingsBlock]; }
};

TEST_F(ExportDialogTest, OptionsAreWrittenBackHoweverItCloses)
{
    struct Case {
        const char* how;
        std::function<void(tavrin::Export&)> close;
        bool cancelled;
        bool exportMode;
    };
    const Case cases[] = {
        {"Close", [](tavrin::Export& d) { d.Command3->click(); }, true, false},
        {"Esc", [](tavrin::Export& d) { d.reject(); }, true, false},
        {"close box", [](tavrin::Export& d) { d.close(); }, true, false},
        {"Export to Clipboard", [](tavrin::Export& d) { d.Command1->click(); }, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Block().Options = MakeOptions({2, 5}, true);
        files->ScheduleModified = false;
        tavrin::Export dlg(*files, dialogs);
        EXPECT_TRUE(dlg.Check1[1]->isChecked());
        EXPECT_TRUE(dlg.Option1[1]->isChecked());
        EXPECT_FALSE(files->ScheduleModified);
        dlg.show();
        dlg.Check1[0]->click();   // Position on
        dlg.Option1[0]->click();  // Tab
        dlg.Check2->click();      // Stacked
        EXPECT_TRUE(files->ScheduleModified);
        c.close(dlg);
        EXPECT_EQ(dlg.DialogCancelled, c.cancelled);
        EXPECT_EQ(dlg.TextExportMode, c.exportMode);
        EXPECT_EQ(Block().Options[1], 1);
        EXPECT_EQ(Block().Options[2], 1);
        EXPECT_EQ(Block().Options[ExportOpt::Comma], 0);
        EXPECT_EQ(Block().Options[ExportOpt::Stacked], 1);
    }
}

TEST_F(ExportDialogTest, ChoosingTheFile)
{
    Block().Options[ExportOpt::Comma] = 1;
    tavrin::Export dlg(*files, dialogs);
    dlg.show();
    // Cancelled: the dialog stays open, nothing is asked for, the proposal is forgotten.
    dialogs.Answer(std::nullopt);
    dlg.Command2->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.TextExportMode);
    ASSERT_EQ(dialogs.asked.size(), 1u);
    const FileDialogRequest r = dialogs.asked[0];
    EXPECT_EQ(r.title, QStringLiteral("Export to file..."));
    EXPECT_EQ(r.defaultExt, QStringLiteral("csv"));
    EXPECT_EQ(r.filter, QStringLiteral("Comma separated (*.csv)|*.csv|Text Files (*.txt)|*.txt|All Files(*.*)|*.*"));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.fileName, QStringLiteral("*.csv"));
    EXPECT_TRUE(r.confirmOverwrite);
    EXPECT_EQ(files->ScheduleProps.ExportFileName.str(), QString());

    // Tab separated proposes a text file; a chosen file is kept, in full, and asked for.
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("week.txt"));
    dlg.Option1[0]->click();
    dialogs.Answer(path);
    files->ScheduleModified = false;
    dlg.Command2->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.TextExportMode);
    EXPECT_EQ(dlg.TextExportToFile, 1);
    EXPECT_EQ(dlg.ExportPath, path);
    EXPECT_EQ(dialogs.asked[1].defaultExt, QStringLiteral("txt"));
    EXPECT_EQ(dialogs.asked[1].filterIndex, 2);
    EXPECT_EQ(dialogs.asked[1].fileName, QStringLiteral("*.txt"));
    EXPECT_EQ(files->ScheduleProps.ExportFileName.str(), path);
    EXPECT_TRUE(files->ScheduleModified);

    // The next time the stored file is proposed.
    tavrin::Export again(*files, dialogs);
    dialogs.Answer(std::nullopt);
    again.Command2->click();
    EXPECT_EQ(dialogs.asked[2].fileName, path);
}

TEST_F(ExportDialogTest, PathsLongerThanTheFieldAreUsedButNotKept)
{
    QTemporaryDir out;
    const QString folder = out.filePath(QString(90, QLatin1Char('d')));
    const QString path = folder + QStringLiteral("/week.csv");
    tavrin::Export dlg(*files, dialogs);
    dialogs.Answer(path);
    dlg.Command2->click();
    EXPECT_EQ(dlg.ExportPath, path);
    EXPECT_EQ(files->ScheduleProps.ExportFileName.str(), QString());
}

}  // namespace
}  // namespace tavrin::test
