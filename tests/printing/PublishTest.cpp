// Publishing a preview as web pages: the file names, the template, the Publish dialog, the pages
// written, the shipped button pictures, and the published pages in a real browser.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <optional>

#include "PrintFixture.h"
#include "platform/GifWriter.h"
#include "platform/Pane.h"
#include "printing/PreScreen.h"
#include "printing/Publish.h"
#include "printing/PublishFiles.h"
#include "store/SchedFiles.h"
#include "support/FileSizeLimit.h"
#include "support/GifReader.h"
#include "support/Golden.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

const QString kData = QStringLiteral(TAVRIN_TEST_DATA "/printing/publish/");
const QString kResources = QStringLiteral(TAVRIN_TEST_DATA "/../../resources/");

constexpr std::uint32_t kWhiteRgb = 0xFFFFFF;
// Box colours as recorded (0x00BBGGRR) and as a GIF gives them back (0x00RRGGBB).
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

std::uint32_t Rgb(std::uint32_t bgr)
{
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QStringList Entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// ---------------------------------------------------------------- names

TEST(PublishNamesTest, PrefixLimitAndPageDigits)
{
    struct Case {
        int pages, limit, digits;
    };
    const Case cases[] = {{1, 8, 0},   {2, 7, 1},   {9, 7, 1},   {10, 6, 2},  {99, 6, 2},
                          {100, 5, 3}, {500, 5, 3}, {501, 5, 3}, {999, 5, 3}, {1000, 4, 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(PublishNames::PrefixLimit(c.pages), c.limit) << c.pages;
        EXPECT_EQ(PublishNames::PageDigits(c.pages), c.digits) << c.pages;
    }
}

TEST(PublishNamesTest, PrefixesKeepTheAllowedCharactersUpperCased)
{
    struct Case {
        const char16_t* text;
        int limit;
        const char* prefix;
    };
    const Case cases[] = {
        {u"Staff Schedule 2/3", 8, "STAFFSCH"},
        {u"Staff Schedule 2/3", 7, "STAFFSC"},
        {u"", 8, ""},
        {u"a-b_c!d@e", 8, "A-B_C!D@"},
        {u"#$%^&()~", 8, "#$%^&()~"},
        {u"`{}'\u00e9.,*\u00df/\\", 8, "`{}'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PublishNames::FilterPrefix(QString::fromUtf16(c.text), c.limit), QString::fromLatin1(c.prefix))
            << c.prefix;
    }
}

TEST(PublishNamesTest, FileNames)
{
    const QStringList staff = PublishNames::FileList(QStringLiteral("STAFF"), 12, false, false);
    ASSERT_EQ(staff.size(), 24);
    EXPECT_EQ(staff[0], QStringLiteral("staff.htm"));
    EXPECT_EQ(staff[1], QStringLiteral("staff.gif"));
    EXPECT_EQ(staff[2], QStringLiteral("staff02.htm"));
    EXPECT_EQ(staff[23], QStringLiteral("staff12.gif"));
    EXPECT_EQ(PublishNames::FileList(QStringLiteral("RPT"), 1, false, true),
              QStringList({"rpt.htm", "rpt.gif", "qv_but_p.gif", "qv_but_n.gif"}));
    EXPECT_EQ(PublishNames::FileList(QStringLiteral("rpt"), 3, true, true),
              QStringList({"RPT.HTM", "RPT.GIF", "RPT2.HTM", "RPT2.GIF", "RPT3.HTM", "RPT3.GIF", "QV_BUT_P.GIF",
                           "QV_BUT_N.GIF"}));
    // Past 500 pages the number has as many digits as the page count.
    EXPECT_EQ(PublishNames::PageFile(QStringLiteral("A"), 7, 1000, false, true), QStringLiteral("a0007.htm"));
}

// ---------------------------------------------------------------- the template

PageHtml Page(int page, int count)
{
    PageHtml p;
    p.Page = page;
    p.PageCount = count;
    p.Title = QStringLiteral("Staff");
    p.Picture = QStringLiteral("p%1.gif").arg(page);
    p.Next = page < count ? QStringLiteral("p%1.htm").arg(page + 1) : QString();
    p.Prev = page > 1 ? QStringLiteral("p%1.htm").arg(page - 1) : QString();
    return p;
}

TEST(PageHtmlTest, TheFirstRuleOfALineAppliesAlone)
{
    struct Case {
        const char* line;
        int page, count;
        std::optional<const char*> out;  // nullopt: the line is left out
    };
    const Case cases[] = {
        {"SCHEDULEHEAD", 1, 1, "Staff"},
        {"schedulehead", 1, 1, "schedulehead"},  // words are matched in their exact case
        {"<a href=\"NEXT.HTM\"> <a href=\"PREV.HTM\">", 2, 3, "<a href=\"p3.htm\"> <a href=\"PREV.HTM\">"},
        {"RANGETEXT SCHEDULEHEAD", 2, 3, "- page 2 of 3 SCHEDULEHEAD"},
        {"PAGE.GIF PAGE.GIF", 2, 3, "p2.gif PAGE.GIF"},
        {"<a href=\"NEXT.HTM\">", 3, 3, "<a href=\"\">"},
        {"<a href=\"PREV.HTM\">", 1, 3, "<a href=\"\">"},
        {"<!-- NEXTONLY", 1, 3, std::nullopt},
        {"<!-- NEXTONLY", 2, 3, "<!-- NEXTONLY"},
        {"<!-- NEXTONLY", 3, 3, "<!-- NEXTONLY"},
        {"<!-- NEXTONLY", 1, 1, "<!-- NEXTONLY"},
        {"PREVONLY -->", 3, 3, std::nullopt},
        {"PREVONLY -->", 1, 3, "PREVONLY -->"},
        {"NEXTPREV", 2, 3, std::nullopt},
        {"NEXTPREV", 1, 3, "NEXTPREV"},
        {"NEXTPREV", 3, 3, "NEXTPREV"},
        {"NEXTPREV", 1, 2, "NEXTPREV"},
        {"PAGERANGE", 1, 3, std::nullopt},
        {"PAGERANGE", 1, 1, "PAGERANGE"},
        {"PAGERANGE RANGETEXT", 1, 1, "PAGERANGE - page 1 of 1"},
        {"PAGERANGE RANGETEXT", 1, 2, std::nullopt},
        {"NEXTONLY NEXT.HTM", 1, 3, "NEXTONLY p2.htm"},
        {"no words", 2, 3, "no words"},
    };
    for (const Case& c : cases) {
        const QByteArray out = BuildPageHtml(c.line, Page(c.page, c.count));
        const QByteArray expected = c.out ? QByteArray(*c.out) + "\r\n" : QByteArray();
        EXPECT_EQ(out, expected) << c.line << " on page " << c.page << " of " << c.count;
    }
}

TEST(PageHtmlTest, TitlesAreEscapedNamesEncodedButtonsRenamed)
{
    PageHtml p = Page(1, 2);
    p.Title = QStringLiteral("Night & Day <\"Staff\"> 'A'");
    p.Picture = QStringLiteral("s#%&'{}^`!@$()~_-2.gif");
    p.ButtonPrev = QStringLiteral("QV_BUT_P.GIF");
    p.ButtonNext = QStringLiteral("qv_but_n.gif");
    EXPECT_EQ(BuildPageHtml("<h1>SCHEDULEHEAD</h1>", p),
              "<h1>Night &amp; Day &lt;&quot;Staff&quot;&gt; &#39;A&#39;</h1>\r\n");
    EXPECT_EQ(BuildPageHtml("<img src='PAGE.GIF'>", p), "<img src='s%23%25%26%27%7B%7D%5E%60!@$()~_-2.gif'>\r\n");
    // The first reference to each button, in any case, takes the published name.
    EXPECT_EQ(BuildPageHtml("qv_but_p.gif QV_BUT_N.GIF Qv_But_P.gif", p), "QV_BUT_P.GIF qv_but_n.gif Qv_But_P.gif\r\n");
    p.ButtonNext.clear();
    EXPECT_EQ(BuildPageHtml("QV_BUT_N.GIF", p), "QV_BUT_N.GIF\r\n");
}

TEST(PageHtmlTest, LinesEndInCrLfWhateverTheTemplateUses)
{
    const PageHtml p = Page(1, 1);
    EXPECT_EQ(BuildPageHtml("a\rb\nc\r\nd", p), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(BuildPageHtml("\n\n", p), "\r\n\r\n");
    EXPECT_EQ(BuildPageHtml("\r\r\n", p), "\r\n\r\n");
    EXPECT_EQ(BuildPageHtml("", p), "");
    const QByteArray longLine = QByteArray(300000, 'x') + "SCHEDULEHEAD";
    EXPECT_EQ(BuildPageHtml(longLine, p), QByteArray(300000, 'x') + "Staff\r\n");
    // Bytes that are no text are kept as they are.
    EXPECT_EQ(BuildPageHtml(QByteArray("\x00\xff\x81", 3), p), QByteArray("\x00\xff\x81\r\n", 5));
}

// ---------------------------------------------------------------- the dialog

class PublishDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        places.ProgramFolder = root.filePath(QStringLiteral("prog"));
        places.ResourceFolder = root.filePath(QStringLiteral("res"));
        places.UserDataFolder = root.filePath(QStringLiteral("user"));
        ASSERT_TRUE(QDir().mkpath(places.ProgramFolder));
    }
    std::unique_ptr<Publish> Open(const QString& prefix = QStringLiteral("STAFF"), int pages = 3)
    {
        auto d = std::make_unique<Publish>(props, modified, places, msg, nullptr, prefix, pages);
        d->show();
        return d;
    }
    QString Default() const { return places.ProgramFolder + QStringLiteral("/INTERNET/"); }
    QString Folder(const QString& name)
    {
        const QString f = root.filePath(name) + QLatin1Char('/');
        EXPECT_TRUE(QDir().mkpath(f));
        return f;
    }

    QTemporaryDir root;
    PublishPlaces places;
    FakeMsgBox msg;
    SchedulePropertiesRecord props;
    bool modified = false;
};

TEST_F(PublishDialogTest, WithoutAFolderTheDefaultIsMadeAndKept)
{
    for (const char* stored : {"", "C:\\QORVANE\\1stTime\\"}) {
        props.PublishFolder = stored;
        modified = false;
        auto d = Open();
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Publish-STAFF"));
        EXPECT_EQ(d->Folder(), Default());
        EXPECT_TRUE(QFileInfo(Default()).isDir());
        EXPECT_EQ(props.PublishFolder.str(), Default());
        EXPECT_TRUE(modified);
        EXPECT_TRUE(d->Command3->isEnabled());
        EXPECT_EQ(d->Files(), PublishNames::FileList(QStringLiteral("STAFF"), 3, false, true));
        EXPECT_TRUE(msg.shown.empty());
    }
}

TEST_F(PublishDialogTest, TheOptionsFollowTheBoxes)
{
    props.UppercaseFileNames = 1;
    props.CropReportImages = 1;
    props.PublishFolder = Folder(QStringLiteral("out"));
    auto d = Open();
    EXPECT_TRUE(d->Check1->isChecked());
    EXPECT_TRUE(d->Check2->isChecked());
    EXPECT_EQ(d->Files().first(), QStringLiteral("STAFF.HTM"));
    modified = false;
    d->Check1->click();
    EXPECT_EQ(props.UppercaseFileNames, 0);
    EXPECT_TRUE(modified);
    EXPECT_EQ(d->Files().first(), QStringLiteral("staff.htm"));
    d->Check2->click();
    EXPECT_EQ(props.CropReportImages, 0);
    EXPECT_FALSE(d->CropImages());
}

TEST_F(PublishDialogTest, ButtonsAlreadyThereAreNotListed)
{
    const QString out = Folder(QStringLiteral("out"));
    WriteAll(out + QStringLiteral("Qv_But_X.Gif"), "GIF");
    props.PublishFolder = out;
    auto d = Open();
    EXPECT_EQ(d->Files(), PublishNames::FileList(QStringLiteral("STAFF"), 3, false, false));
}

TEST_F(PublishDialogTest, AMissingFolder)
{
    // When the dialog opens: the program folder, without asking.
    props.PublishFolder = root.filePath(QStringLiteral("gone")) + QLatin1Char('/');
    auto d = Open();
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(d->Folder(), places.ProgramFolder + QLatin1Char('/'));
    EXPECT_EQ(props.PublishFolder.str(), places.ProgramFolder + QLatin1Char('/'));

    // Typed: Yes creates it (a missing "/" is added first).
    const QString typed = root.filePath(QStringLiteral("new/sub"));
    d->Text1->setText(QStringLiteral("  ") + typed);
    msg.Answer(Mb::Yes);
    d->Text1_LostFocus();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The Directory ") + typed +
                                       QStringLiteral(" does not exist.\nDo you wish to create the directory?"));
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Directory does not exist!"));
    EXPECT_EQ(msg.shown[0].flags, Mb::YesNo + Mb::Question);
    EXPECT_TRUE(QFileInfo(typed).isDir());
    EXPECT_EQ(d->Folder(), typed + QLatin1Char('/'));
    EXPECT_EQ(props.PublishFolder.str(), typed + QLatin1Char('/'));

    // No falls back to the program folder; a blank box takes the default folder.
    d->Text1->setText(root.filePath(QStringLiteral("other")));
    msg.Answer(Mb::No);
    d->Text1_LostFocus();
    EXPECT_EQ(d->Folder(), places.ProgramFolder + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(root.filePath(QStringLiteral("other"))));
    d->Text1->setText(QStringLiteral("   "));
    d->Text1_LostFocus();
    EXPECT_EQ(d->Folder(), Default());
    EXPECT_EQ(msg.shown.size(), 2u);
}

TEST_F(PublishDialogTest, AFolderLongerThanTheFieldIsUsedButNotKept)
{
    const QString shortOne = Folder(QStringLiteral("s"));
    const QString longOne =
        Folder(QStringLiteral("a-folder-name-that-is-long-enough-to-pass-the-field/") + QString(40, QLatin1Char('x')));
    ASSERT_LE(shortOne.size(), 79);
    ASSERT_GT(longOne.size(), 79);
    props.PublishFolder = shortOne;
    auto d = Open();
    d->Text1->setText(longOne);
    d->Text1_LostFocus();
    EXPECT_EQ(d->Folder(), longOne);
    EXPECT_EQ(props.PublishFolder.str(), QString());
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(PublishDialogTest, AProgramFolderThatCannotBeWrittenGivesTheUsersFolder)
{
    // A folder that does not exist cannot be written, even by the superuser.
    places.ProgramFolder = root.filePath(QStringLiteral("installed-elsewhere"));
    const QString user = places.UserDataFolder + QStringLiteral("/INTERNET/");
    EXPECT_EQ(places.DefaultFolder(), user);
    EXPECT_EQ(places.FallbackFolder(), user);
    auto d = Open();
    EXPECT_EQ(d->Folder(), user);
    EXPECT_TRUE(QFileInfo(user).isDir());
    d->Text1->setText(root.filePath(QStringLiteral("missing")));
    msg.Answer(Mb::No);
    d->Text1_LostFocus();
    EXPECT_EQ(d->Folder(), user);
}

TEST_F(PublishDialogTest, EraseDeletesPagesButNotTheButtons)
{
    const QString out = Folder(QStringLiteral("out"));
    for (const char* name : {"a.htm", "B.GIF", "c.Htm", "QV_BUT_P.GIF", "qv_but_n.gif", "keep.txt", "page.html"})
        WriteAll(out + QLatin1String(name), "x");
    ASSERT_TRUE(QDir(out).mkdir(QStringLiteral("sub.gif")));
    props.PublishFolder = out;
    auto d = Open();
    d->Command3_Click();
    EXPECT_EQ(Entries(out), QStringList({"QV_BUT_P.GIF", "keep.txt", "page.html", "qv_but_n.gif", "sub.gif"}));
    EXPECT_FALSE(d->Command3->isEnabled());
    EXPECT_EQ(d->Files().size(), 6);
}

TEST_F(PublishDialogTest, CloseAndEscapeCancelPublishDoesNot)
{
    props.PublishFolder = Folder(QStringLiteral("out"));
    {
        auto d = Open();
        d->Command2_Click();
        EXPECT_TRUE(d->DialogCancelled);
        EXPECT_FALSE(d->isVisible());
    }
    {
        auto d = Open();
        QTest::keyClick(d.get(), Qt::Key_Escape);
        EXPECT_TRUE(d->DialogCancelled);
    }
    {
        auto d = Open();
        d->close();
        EXPECT_TRUE(d->DialogCancelled);
        EXPECT_FALSE(d->isVisible());
    }
    {
        auto d = Open();
        d->Command1_Click();
        EXPECT_FALSE(d->DialogCancelled);
        EXPECT_FALSE(d->isVisible());
    }
}

// ---------------------------------------------------------------- publishing

class PublishReportTest : public PrintFixture {
protected:
    void SetUp() override
    {
        places.ProgramFolder = root.filePath(QStringLiteral("prog"));
        places.ResourceFolder = root.filePath(QStringLiteral("res"));
        places.UserDataFolder = root.filePath(QStringLiteral("user"));
        out = root.filePath(QStringLiteral("out")) + QLatin1Char('/');
        for (const QString& f : {places.ProgramFolder, places.ResourceFolder, out}) ASSERT_TRUE(QDir().mkpath(f));
        UseTemplate(kData + QStringLiteral("template.tmp"));
        for (const char* button : {"QV_BUT_P.GIF", "QV_BUT_N.GIF"}) {
            ASSERT_TRUE(QFile::copy(kResources + QLatin1String(button),
                                    places.ResourceFolder + QLatin1Char('/') + QLatin1String(button)));
        }
        print.Files = &files;
        files.ScheduleProps.CropReportImages = 1;
    }
    void UseTemplate(const QString& path)
    {
        const QString target = places.TemplatePath();
        QFile::remove(target);
        ASSERT_TRUE(QFile::copy(path, target));
    }
    // One page per colour, each with a filled box of that colour at its own place and a line
    // under it; kNone leaves a page blank.
    void Record(const std::vector<std::uint32_t>& colours, const QString& title = QStringLiteral("Staff Schedule"))
    {
        ASSERT_TRUE(rec.OpenPreviewFiles());
        int p = 0;
        for (const std::uint32_t colour : colours) {
            if (colour != kNone) {
                const int x = 1440 + 1440 * p;
                ASSERT_TRUE(rec.PreviewFilledBox(x, 1440, x + 1440, 2160, -double(colour)));
                ASSERT_TRUE(rec.PreviewLine(x, 2400, x + 1440, 2400));
            }
            ASSERT_TRUE(rec.PreviewNewPage());
            ++p;
        }
        ASSERT_TRUE(rec.PreviewEndDocument());
        rec.ReportFontName = QStringLiteral("Arial");
        rec.ReportTitle = title;
        rec.PreviewMode = true;
    }
    std::unique_ptr<PreScreen> Open()
    {
        auto w = std::make_unique<PreScreen>(print);
        w->Places = places;
        EXPECT_TRUE(w->Load());
        w->show();
        return w;
    }
    // Publishes as the dialog's Publish button would, into `out`.
    void PublishAll(PreScreen& w, bool upper = false)
    {
        files.ScheduleProps.PublishFolder = out;
        files.ScheduleProps.UppercaseFileNames = upper ? 1 : 0;
        Publish dialog(files.ScheduleProps, files.ScheduleModified, places, msg, nullptr, w.Text1->text(), w.PageCount,
                       &w);
        w.PublishReport(dialog);
    }

    QTemporaryDir root;
    PublishPlaces places;
    QString out;
    SchedFiles files{dir.path(), msg, printer};
};

TEST_F(PublishReportTest, ThreePages)
{
    Record({kRed, kNone, kBlue}, QStringLiteral("Night & Day <\"Staff\"> 'A'"));
    auto w = Open();
    w->Text1->setText(QStringLiteral("S#%&"));
    w->VScroll2->setValue(2);
    PublishAll(*w);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_EQ(Entries(out), QStringList({"qv_but_n.gif", "qv_but_p.gif", "s#%&.gif", "s#%&.htm", "s#%&2.gif",
                                         "s#%&2.htm", "s#%&3.gif", "s#%&3.htm"}));
    for (const auto& [published, golden] : {std::pair{"s#%&.htm", "page1.htm"}, std::pair{"s#%&2.htm", "page2.htm"},
                                            std::pair{"s#%&3.htm", "page3.htm"}}) {
        ExpectMatchesGolden(ReadAll(out + QLatin1String(published)), kData + QLatin1String(golden));
    }

    // Page 1: the box at pixels 96..192 by 96..144, widened by 5 on every side.
    const GifPicture first = ReadGif(out + QStringLiteral("s#%&.gif"));
    ASSERT_TRUE(first.Ok) << first.Error.toStdString();
    EXPECT_EQ(first.Width, 192 + 5 - 91);
    EXPECT_EQ(first.Height, 160 + 5 - 91);  // the line under the box is at pixel 160
    EXPECT_EQ(first.Pixel(0, 0), kWhiteRgb);
    EXPECT_EQ(first.Pixel(5, 5), Rgb(kRed));
    EXPECT_EQ(first.Pixel(5 + 96, 5 + 48), Rgb(kRed));
    EXPECT_EQ(first.Pixel(5, 5 + 64), 0u);  // the black line
    // Page 2 has nothing drawn: the whole sheet, white.
    const GifPicture blank = ReadGif(out + QStringLiteral("s#%&2.gif"));
    ASSERT_TRUE(blank.Ok);
    EXPECT_EQ(blank.Width, 816);
    EXPECT_EQ(blank.Height, 1056);
    EXPECT_EQ(blank.Palette[0], kWhiteRgb);
    EXPECT_TRUE(std::all_of(blank.Raster.begin(), blank.Raster.end(), [](std::uint8_t v) { return v == 0; }));
    // Page 3 is cropped again.
    const GifPicture third = ReadGif(out + QStringLiteral("s#%&3.gif"));
    ASSERT_TRUE(third.Ok);
    EXPECT_EQ(third.Width, 106);
    EXPECT_EQ(third.Pixel(5, 5), Rgb(kBlue));

    for (const char* button : {"qv_but_p.gif", "qv_but_n.gif"}) {
        EXPECT_EQ(ReadAll(out + QLatin1String(button)),
                  ReadAll(places.ResourceFolder + QLatin1Char('/') + QString::fromLatin1(button).toUpper()));
    }
    // The window shows the page it showed, as it showed it.
    EXPECT_EQ(w->CurrentPage, 2);
    EXPECT_TRUE(w->FitMode);
    EXPECT_FALSE(w->Status->isVisible());
}

TEST_F(PublishReportTest, UpperCaseWithoutCroppingNextToButtonsAlreadyThere)
{
    WriteAll(out + QStringLiteral("qv_but_p.gif"), "mine");
    files.ScheduleProps.CropReportImages = 0;
    Record({kGreen}, QStringLiteral("Staff Schedule 2/3"));
    auto w = Open();
    EXPECT_EQ(w->Text1->text(), QStringLiteral("STAFFSCH"));
    PublishAll(*w, true);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    // The buttons are neither listed nor copied; the page links the one there by its own name.
    EXPECT_EQ(Entries(out), QStringList({"STAFFSCH.GIF", "STAFFSCH.HTM", "qv_but_p.gif"}));
    EXPECT_EQ(ReadAll(out + QStringLiteral("qv_but_p.gif")), "mine");
    const QByteArray html = ReadAll(out + QStringLiteral("STAFFSCH.HTM"));
    EXPECT_TRUE(html.contains("<img src=\"qv_but_p.gif\"><img src=\"QV_BUT_N.GIF\"><img src=\"qv_but_p.gif\">\r\n"));
    EXPECT_TRUE(html.contains("PAGERANGE one page only\r\n"));
    EXPECT_TRUE(html.contains("<title>SCHEDULEHEAD - page 1 of 1</title>\r\n"));
    const GifPicture picture = ReadGif(out + QStringLiteral("STAFFSCH.GIF"));
    ASSERT_TRUE(picture.Ok);
    EXPECT_EQ(picture.Width, 816);
    EXPECT_EQ(picture.Pixel(100, 100), Rgb(kGreen));
}

TEST_F(PublishReportTest, TheFirstFailureEndsThePublication)
{
    struct Case {
        const char* name;
        std::function<void()> harm;
        QString message;
        QStringList left;
    };
    const auto dirAt = [this](const char* name) { return [this, name] { QDir(out).mkdir(QLatin1String(name)); }; };
    const Case cases[] = {
        {"no template",
         [this] { QFile::remove(places.TemplatePath()); },
         QStringLiteral("Missing HTML template file QORHTML.TMP"),
         {"s.gif"}},
        {"first picture", dirAt("s.gif"), QStringLiteral("Cannot write ") + out + QStringLiteral("s.gif"), {"s.gif"}},
        {"second page",
         dirAt("s2.htm"),
         QStringLiteral("Cannot write ") + out + QStringLiteral("s2.htm"),
         {"s.gif", "s.htm", "s2.gif", "s2.htm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        UseTemplate(kData + QStringLiteral("template.tmp"));
        msg.Clear();
        Record({kRed, kGreen, kBlue});
        auto w = Open();
        w->Text1->setText(QStringLiteral("S"));
        c.harm();
        PublishAll(*w);
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, c.message);
        EXPECT_EQ(Entries(out), c.left);
        EXPECT_EQ(w->CurrentPage, 1);
        EXPECT_TRUE(w->FitMode);
        EXPECT_FALSE(w->Status->isVisible());
    }
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
}

TEST_F(PublishReportTest, AWriteCutShortKeepsTheFileItWouldHaveReplaced)
{
    files.ScheduleProps.CropReportImages = 0;
    Record({kRed});
    auto w = Open();
    w->Text1->setText(QStringLiteral("S"));
    PublishAll(*w);
    ASSERT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    const QStringList published = QDir(out).entryList(QDir::Files | QDir::Hidden);
    const QByteArray picture = ReadAll(out + QStringLiteral("s.gif"));

    // The disk is full when the page is published again.
    {
        const FileSizeLimit full(1);
        PublishAll(*w);
    }

    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Cannot write ") + out + QStringLiteral("s.gif"));
    EXPECT_EQ(ReadAll(out + QStringLiteral("s.gif")), picture);
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), published);
}

TEST_F(PublishReportTest, MissingButtonPicturesBeepAfterThePages)
{
    QFile::remove(places.ButtonPath(true));
    Record({kRed, kGreen});
    auto w = Open();
    w->Text1->setText(QStringLiteral("S"));
    PublishAll(*w);
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_EQ(msg.Last(), QStringLiteral("Button graphic files missing."));
    EXPECT_EQ(Entries(out), QStringList({"qv_but_p.gif", "s.gif", "s.htm", "s2.gif", "s2.htm"}));
}

TEST_F(PublishReportTest, ThePrefixBox)
{
    struct Case {
        int pages;
        int limit;
        const char* prefix;
    };
    for (const Case c : {Case{1, 8, "STAFFSCH"}, Case{3, 7, "STAFFSC"}, Case{10, 6, "STAFFS"}}) {
        Record(std::vector<std::uint32_t>(std::size_t(c.pages), kNone), QStringLiteral("Staff Schedule 2/3"));
        auto w = Open();
        EXPECT_EQ(w->Text1->maxLength(), c.limit);
        EXPECT_EQ(w->Text1->text(), QLatin1String(c.prefix));
    }
    auto w = Open();
    w->Text1->setText(QStringLiteral("ab c*d"));
    w->Text1_LostFocus();
    EXPECT_EQ(w->Text1->text(), QStringLiteral("ABCD"));
    w->Text1->setText(QStringLiteral("/*"));
    w->Text1_LostFocus();
    EXPECT_EQ(w->Text1->text(), QStringLiteral("RPT"));
}

TEST_F(PublishReportTest, PublishFromThePreviewWindow)
{
    Record({kRed, kGreen});
    auto w = Open();
    w->Text1->setText(QStringLiteral("ab*"));  // checked before the dialog opens
    auto publishWait = OnNextDialog<Publish>([this](Publish* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Publish-AB"));
        d->Text1->setText(out);
        d->Command1->click();
    });
    w->Command7_Click();
    EXPECT_EQ(Entries(out), QStringList({"ab.gif", "ab.htm", "ab2.gif", "ab2.htm", "qv_but_n.gif", "qv_but_p.gif"}));
    EXPECT_TRUE(files.ScheduleModified);
    EXPECT_EQ(files.ScheduleProps.PublishFolder.str(), out);

    QDir(out).removeRecursively();
    QDir().mkpath(out);
    publishWait = OnNextDialog<Publish>([](Publish* d) { d->Command2->click(); });
    w->Command7_Click();
    EXPECT_TRUE(Entries(out).isEmpty());
    EXPECT_TRUE(w->isVisible());
}

// ---------------------------------------------------------------- the shipped button pictures

// Classic raised buttons with an arrow, drawn pixel by pixel (no font, no smoothing) so that the
// same picture comes out anywhere.
QImage DrawButton(bool next)
{
    constexpr int kW = 32, kH = 24;
    QImage image(kW, kH, QImage::Format_RGB32);
    image.fill(qRgb(0xC0, 0xC0, 0xC0));
    for (int x = 0; x < kW; ++x) {
        image.setPixel(x, 0, qRgb(255, 255, 255));
        image.setPixel(x, kH - 2, qRgb(0x80, 0x80, 0x80));
        image.setPixel(x, kH - 1, qRgb(0, 0, 0));
    }
    for (int y = 0; y < kH - 1; ++y) {
        image.setPixel(0, y, qRgb(255, 255, 255));
        image.setPixel(kW - 2, y, qRgb(0x80, 0x80, 0x80));
        image.setPixel(kW - 1, y, qRgb(0, 0, 0));
    }
    image.setPixel(kW - 1, kH - 1, qRgb(0, 0, 0));
    // The arrow: a triangle 9 pixels deep and 15 high around the middle.
    for (int k = 0; k <= 8; ++k) {
        const int x = next ? 20 - k : 11 + k;
        const int half = k * 7 / 8;
        for (int y = 11 - half; y <= 11 + half; ++y) image.setPixel(x, y, qRgb(0, 0, 0x80));
    }
    return image;
}

TEST(ButtonPicturesTest, TheShippedButtonsAreTheDrawnOnes)
{
    for (const bool next : {false, true}) {
        const QString path = kResources + QLatin1String(next ? "QV_BUT_N.GIF" : "QV_BUT_P.GIF");
        const QImage drawn = DrawButton(next);
        if (qEnvironmentVariableIsSet("TAVRIN_UPDATE_GOLDEN")) {
            GifWriter gif;
            gif.SetImage(drawn);
            ASSERT_TRUE(gif.Save(path));
        }
        const GifPicture read = ReadGif(path);
        ASSERT_TRUE(read.Ok) << path.toStdString() << ": " << read.Error.toStdString();
        EXPECT_EQ(read.ToImage(), drawn) << path.toStdString();
    }
}

// ---------------------------------------------------------------- in a browser

// The region of `screen` where every pixel of `picture` is found, or a null point.
std::optional<QPoint> FindPicture(const QImage& screen, const GifPicture& picture)
{
    // Anchored on the picture's first pixel that is not white.
    int ax = -1, ay = -1;
    for (int y = 0; y < picture.Height && ax < 0; ++y)
        for (int x = 0; x < picture.Width && ax < 0; ++x)
            if (picture.Pixel(x, y) != kWhiteRgb) ax = x, ay = y;
    if (ax < 0) return std::nullopt;
    const QRgb anchor = 0xFF000000u | picture.Pixel(ax, ay);
    for (int sy = ay; sy + picture.Height - ay <= screen.height(); ++sy)
        for (int sx = ax; sx + picture.Width - ax <= screen.width(); ++sx) {
            if (screen.pixel(sx, sy) != anchor) continue;
            const QPoint origin(sx - ax, sy - ay);
            bool all = true;
            for (int y = 0; y < picture.Height && all; ++y)
                for (int x = 0; x < picture.Width && all; ++x)
                    all = (screen.pixel(origin.x() + x, origin.y() + y) & 0xFFFFFFu) == picture.Pixel(x, y);
            if (all) return origin;
        }
    return std::nullopt;
}

class BrowserTest : public PublishReportTest {
protected:
    // A screenshot of the page at url, or a null image after a failure.
    QImage Screenshot(const QString& browser, const QUrl& url)
    {
        QTemporaryDir profile;
        const QString shot = root.filePath(QStringLiteral("shot.png"));
        QFile::remove(shot);
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(browser,
                {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                 QStringLiteral("--hide-scrollbars"), QStringLiteral("--force-device-scale-factor=1"),
                 QStringLiteral("--force-color-profile=srgb"), QStringLiteral("--disable-background-networking"),
                 QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                 QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profile.path(),
                 QStringLiteral("--window-size=1000,1200"), QStringLiteral("--screenshot=") + shot,
                 url.toString(QUrl::FullyEncoded)});
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "the browser did not finish";
            return {};
        }
        QImage image(shot);
        if (image.isNull()) ADD_FAILURE() << "no screenshot: " << p.readAll().toStdString();
        return image.convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(BrowserTest, PublishedPagesShowTheirPicturesAndLinkOn)
{
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (browser.isEmpty()) GTEST_SKIP() << "chromium is not installed; the published pages were not opened";
    UseTemplate(kResources + QStringLiteral("QORHTML.TMP"));
    Record({kRed, kGreen, kBlue});
    auto w = Open();
    w->Text1->setText(QStringLiteral("W#%&"));
    PublishAll(*w);
    ASSERT_TRUE(msg.shown.empty()) << msg.Last().toStdString();

    // Page 1 from its folder: its picture and the Next button are shown.
    const QString first = out + QStringLiteral("w#%&.htm");
    const QImage shot1 = Screenshot(browser, QUrl::fromLocalFile(first));
    ASSERT_FALSE(shot1.isNull());
    const GifPicture picture1 = ReadGif(out + QStringLiteral("w#%&.gif"));
    ASSERT_TRUE(picture1.Ok);
    EXPECT_TRUE(FindPicture(shot1, picture1)) << "page 1's picture is not on the screen";
    EXPECT_TRUE(FindPicture(shot1, ReadGif(out + QStringLiteral("qv_but_n.gif")))) << "no Next button";

    // Next, as the link on page 1 names it (outside the parts left in comments).
    QString html = QString::fromLatin1(ReadAll(first));
    html.remove(QRegularExpression(QStringLiteral("<!--.*?-->"), QRegularExpression::DotMatchesEverythingOption));
    const QRegularExpressionMatch link = QRegularExpression(QStringLiteral("<a href=\"([^\"]+)\">")).match(html);
    ASSERT_TRUE(link.hasMatch()) << html.toStdString();
    const QUrl next = QUrl::fromLocalFile(first).resolved(QUrl(link.captured(1), QUrl::StrictMode));
    EXPECT_EQ(next.toLocalFile(), out + QStringLiteral("w#%&2.htm"));
    const QImage shot2 = Screenshot(browser, next);
    ASSERT_FALSE(shot2.isNull());
    const GifPicture picture2 = ReadGif(out + QStringLiteral("w#%&2.gif"));
    ASSERT_TRUE(picture2.Ok);
    EXPECT_TRUE(FindPicture(shot2, picture2)) << "page 2's picture is not on the screen";
    EXPECT_FALSE(FindPicture(shot2, picture1));
    // The middle page offers both buttons.
    EXPECT_TRUE(FindPicture(shot2, ReadGif(out + QStringLiteral("qv_but_p.gif")))) << "no Previous button";
}

}  // namespace
}  // namespace tavrin::test
