#include "app/MainForm.h"

#include "app/ButtonPictures.h"
#include "app/Pager.h"
#include "app/SelPaste.h"
#include "platform/SiblingLink.h"
#include "app/ShellDialogs.h"
#include "analysis/ProjCost.h"
#include "grid/GridPaint.h"
#include "platform/AppPaths.h"
#include "platform/MsgBox.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "platform/ScrollBar.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "store/SchedFiles.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavrin {

namespace {

// Control sizes in pixels of the screen; the tool panel holds two rows of controls.
constexpr int kButton = 26;
constexpr int kRow1Top = 2;
constexpr int kRow2Top = 31;
constexpr int kComboHeight = 22;
constexpr int kPanelHeight = kRow2Top + kComboHeight + 2;

// Seconds on a monotonic clock: tool tips fall due on it, also across midnight.
double Seconds()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed() / 1000.0 + 1.0;
}

QLabel* MakePanel(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setGeometry(x, y, w, h);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QPixmap& picture, int x, int y)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(QIcon(picture));
    b->setIconSize(picture.size());
    b->setGeometry(x, y, kButton, kButton);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

MainForm::MainForm(MainFormServices services, const AppMain::CommandLine& commandLine, QWidget* parent)
    : QMainWindow(parent),
      s_(services),
      files_(services.files),
      msg_(services.msg),
      gridOwner_(std::make_unique<GridPaint>(services.files, *this, services.fonts)),
      grid_(*gridOwner_),
      rec_(std::make_unique<PreviewRec>(services.files.WorkDir)),
      print_(std::make_unique<PrintServices>(services.printer, *rec_, services.fonts, services.msg, services.dialogs))
{
    print_->Window = this;
    print_->Files = &files_;
    print_->Grid = &grid_;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tavrin"));
    setWindowIcon(ButtonPictures::ProgramIcon());
    LowCpuMode = commandLine.LowCpuMode;
    CmdLineFile = commandLine.CmdLineFile;
    BuildControls();
    BuildMenus();
    ConnectEditing();
    files_.SetHost(this);
    LoadForm();
}

MainForm::~MainForm() { files_.SetHost(nullptr); }

// ---------------------------------------------------------------- building the window

void MainForm::BuildControls()
{
    Form = new QWidget(this);
    Form->setObjectName(QStringLiteral("Form"));
    Form->setMouseTracking(true);
    Form->installEventFilter(this);
    setCentralWidget(Form);

    ToolPanel = new QFrame(Form);
    ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    ToolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ToolPanel->setGeometry(0, 0, 800, kPanelHeight);

    // The tools sit on the tool panel, so that hiding or disabling the panel takes them along.
    // Row 1: the four cell buttons overlap by one pixel, then the other tools and the panels.
    int x = 4;
    ButtonAssign = MakeButton(ToolPanel, "ButtonAssign", ButtonPictures::Assign(), x, kRow1Top);
    x += kButton - 1;
    ButtonTimeOff = MakeButton(ToolPanel, "ButtonTimeOff", ButtonPictures::TimeOff(), x, kRow1Top);
    x += kButton - 1;
    ButtonErase = MakeButton(ToolPanel, "ButtonErase", ButtonPictures::Erase(), x, kRow1Top);
    x += kButton - 1;
    ButtonCall = MakeButton(ToolPanel, "ButtonCall", ButtonPictures::OnCall(), x, kRow1Top);
    x += kButton + 8;
    ButtonCal = MakeButton(ToolPanel, "ButtonCal", ButtonPictures::ChangePage(), x, kRow1Top);
    x += kButton + 1;
    ButtonHourCov = MakeButton(ToolPanel, "ButtonHourCov", ButtonPictures::HourlyCoverage(), x, kRow1Top);
    x += kButton + 1;
    SSPanel1 = new QFrame(ToolPanel);
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    SSPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SSPanel1->setGeometry(x, kRow1Top, 18, kButton);
    SpinUp = new QToolButton(SSPanel1);
    SpinUp->setObjectName(QStringLiteral("SpinButton1Up"));
    SpinUp->setIcon(QIcon(ButtonPictures::SpinUp()));
    SpinUp->setGeometry(1, 1, 16, kButton / 2 - 1);
    SpinUp->setAutoRepeat(true);
    SpinUp->setFocusPolicy(Qt::NoFocus);
    SpinDown = new QToolButton(SSPanel1);
    SpinDown->setObjectName(QStringLiteral("SpinButton1Down"));
    SpinDown->setIcon(QIcon(ButtonPictures::SpinDown()));
    SpinDown->setGeometry(1, kButton / 2, 16, kButton / 2 - 1);
    SpinDown->setAutoRepeat(true);
    SpinDown->setFocusPolicy(Qt::NoFocus);
    x += 18 + 8;
    SSCommand2 = MakeButton(ToolPanel, "SSCommand2", ButtonPictures::HighlighterOff(), x, kRow1Top);
    x += kButton + 1;
    SSCommand1 = MakeButton(ToolPanel, "SSCommand1", ButtonPictures::Sibling(), x, kRow1Top);
    x += kButton + 8;
    TopInfoShiftHours = MakePanel(ToolPanel, "TopInfoShiftHours", x, kRow1Top, 56, kButton);
    x += 56 + 2;
    // Wide enough for two shifts with their times in the small font.
    TopInfoShiftDesc = MakePanel(ToolPanel, "TopInfoShiftDesc", x, kRow1Top, 200, kButton);
    x += 200 + 2;
    EmpRow = MakePanel(ToolPanel, "EmpRow", x, kRow1Top, 44, kButton);
    x += 44 + 2;
    DaysTagged = MakePanel(ToolPanel, "DaysTagged", x, kRow1Top, 36, kButton);
    DaysTagged->setText(QStringLiteral(" 1"));
    x += 36 + 2;
    DateOn = MakePanel(ToolPanel, "DateOn", x, kRow1Top, 120, kButton);
    x += 120 + 2;
    DateDisplay = MakePanel(ToolPanel, "DateDisplay", x, kRow1Top, 190, kButton);

    // Row 2: the shift list ends where the last of the four cell buttons ends.
    ShiftSelector = new QComboBox(ToolPanel);
    ShiftSelector->setObjectName(QStringLiteral("ShiftSelector"));
    ShiftSelector->setGeometry(ButtonAssign->x(), kRow2Top, ButtonCall->x() + ButtonCall->width() - ButtonAssign->x(),
                               kComboHeight);
    Explainations = new QComboBox(ToolPanel);
    Explainations->setObjectName(QStringLiteral("Explainations"));
    Explainations->setGeometry(ButtonCal->x(), kRow2Top, 160, kComboHeight);
    NoteCheck = new QPushButton(ToolPanel);
    NoteCheck->setObjectName(QStringLiteral("NoteCheck"));
    NoteCheck->setIcon(QIcon(ButtonPictures::CheckInactive()));
    NoteCheck->setGeometry(Explainations->x() + Explainations->width() + 4, kRow2Top, 24, kComboHeight);
    NoteX = new QPushButton(ToolPanel);
    NoteX->setObjectName(QStringLiteral("NoteX"));
    NoteX->setIcon(QIcon(ButtonPictures::XInactive()));
    NoteX->setGeometry(NoteCheck->x() + 24, kRow2Top, 24, kComboHeight);
    NotePad = new QLineEdit(ToolPanel);
    NotePad->setObjectName(QStringLiteral("NotePad"));
    NotePad->setMaxLength(60);
    NotePad->setGeometry(NoteX->x() + 24, kRow2Top, 300, kComboHeight);

    // Headers and panes; the grid painter places them.
    Label1 = MakePanel(Form, "Label1", 0, kPanelHeight, 100, 20);
    Label1->setText(QStringLiteral("Name"));
    Label2 = MakePanel(Form, "Label2", 100, kPanelHeight, 60, 20);
    Label2->setText(QStringLiteral("Position"));
    const auto pane = [this](const char* name) {
        auto* p = new Pane(Form, QString::fromLatin1(name));
        p->setMouseTracking(true);
        p->hide();
        return p;
    };
    EmpList = pane("EmpList");
    EmpPos = pane("EmpPos");
    DayRuler = pane("DayRuler");
    Grid = pane("Grid");
    Grid->setProperty("Tag", QStringLiteral("Grid"));
    Grid->setFocusPolicy(Qt::StrongFocus);
    CoverageDesc = pane("CoverageDesc");
    Coverage = pane("Coverage");
    Coverage->setProperty("Tag", QStringLiteral("Cov"));
    VScroll2 = new ScrollBar(Qt::Vertical, Form);
    VScroll2->setObjectName(QStringLiteral("VScroll2"));
    VScroll2->setRange(0, 199);
    VScroll2->resize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 200);
    VScroll2->hide();
    // The editors sit inside the name and position columns.
    EmpText = new QLineEdit(EmpList);
    EmpText->setObjectName(QStringLiteral("EmpText"));
    EmpText->setMaxLength(20);
    EmpText->hide();
    EmpText2 = new QLineEdit(EmpPos);
    EmpText2->setObjectName(QStringLiteral("EmpText2"));
    EmpText2->setMaxLength(10);
    EmpText2->hide();

    ToolTipper = new QLabel(Form);
    ToolTipper->setObjectName(QStringLiteral("ToolTipper"));
    ToolTipper->setFont(QFont(QStringLiteral("Arial"), 8));
    ToolTipper->setStyleSheet(QStringLiteral("background-color: #FFFFE1; border: 1px solid black;"));
    ToolTipper->setText(QStringLiteral("***"));
    ToolTipper->hide();
    LOADSF = MakePanel(Form, "LOADSF", 0, 0, 220, 40);
    LOADSF->setText(QStringLiteral("Loading Crewbook..."));
    LOADSF->setFrameStyle(QFrame::Panel | QFrame::Raised);
    LOADSF->setAutoFillBackground(true);
    LOADSF->hide();
    DDEThing = new QLabel(QStringLiteral("DDE"), Form);
    DDEThing->setObjectName(QStringLiteral("DDEThing"));
    DDEThing->hide();
    // Focus catcher of continuous name entry: out of sight behind the tool panel.
    Tabitha = new QLineEdit(Form);
    Tabitha->setObjectName(QStringLiteral("Tabitha"));
    Tabitha->setGeometry(0, 0, 1, 1);
    Tabitha->lower();
    Tabitha->setEnabled(false);  // enabled while a name or position is being entered
    NoBong = new QPushButton(Form);
    NoBong->setObjectName(QStringLiteral("NoBong"));
    NoBong->setGeometry(0, 0, 0, 0);
    NoBong->hide();
    ToolPanel->lower();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &MainForm::Timer1_Timer);

    // Tool tips of the controls.
    const std::pair<QWidget*, const char*> tips[] = {
        {ButtonAssign, "Assign Shift"},
        {ButtonTimeOff, "Time-Off"},
        {ButtonErase, "Erase Shift"},
        {ButtonCall, "On-Call"},
        {ButtonCal, "Change Page Tool"},
        {ButtonHourCov, "View Hourly Coverage"},
        {SSPanel1, "Move Forward/Backward One Day"},
        {SSCommand1, "Run Crewbook Application"},
        {SSCommand2, "Highlighter"},
        {TopInfoShiftHours, "Total Hours"},
        {TopInfoShiftDesc, "Cell Information"},
        {DateOn, "Selected Date"},
        {DateDisplay, "Visible Date Range"},
        {EmpRow, "Current Row"},
        {DaysTagged, "Days Selected"},
        {CoverageDesc, "Click to edit Coverage Total"},
        {DayRuler, "Click to edit Day Ruler Properties"},
        {NotePad, "Note Entry Text Box"},
        {NoteCheck, "Save Note"},
        {NoteX, "Restore Note"},
    };
    for (const auto& [w, text] : tips) SetToolTipText(w, QString::fromLatin1(text));
    for (QWidget* w : {static_cast<QWidget*>(ToolTipper), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(ToolPanel)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

QAction* MainForm::AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

void MainForm::BuildMenus()
{
    QMenuBar* bar = menuBar();
    const auto menu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto separator = [](QMenu* m, const char* name) {
        QAction* a = m->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    MenuFile = menu("MenuFile", "&File");
    File_New = AddItem(MenuFile, "File_New", QStringLiteral("&New..."));
    File_Open = AddItem(MenuFile, "File_Open", QStringLiteral("&Open..."));
    File_Close = AddItem(MenuFile, "File_Close", QStringLiteral("&Close"));
    File_Line2 = separator(MenuFile, "File_Line2");
    File_Save = AddItem(MenuFile, "File_Save", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    File_SaveAs = AddItem(MenuFile, "File_SaveAs", QStringLiteral("Save &As..."));
    File_Line1 = separator(MenuFile, "File_Line1");
    File_Print = AddItem(MenuFile, "File_Print", QStringLiteral("Print..."));
    File_PrintSetup = AddItem(MenuFile, "File_PrintSetup", QStringLiteral("Printer Setup..."));
    File_Line3 = separator(MenuFile, "File_Line3");
    File_Exit = AddItem(MenuFile, "File_Exit", QStringLiteral("E&xit"));

    MenuEdit = menu("MenuEdit", "&Edit");
    Edit_Undo = AddItem(MenuEdit, "Edit_Undo", QStringLiteral("Can't Undo"));
    Edit_Cut = AddItem(MenuEdit, "Edit_Cut", QStringLiteral("Cu&t"), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    Edit_Copy = AddItem(MenuEdit, "Edit_Copy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    Edit_Mcopy = AddItem(MenuEdit, "Edit_Mcopy", QStringLiteral("Copy &Multiple..."));
    Edit_Paste = AddItem(MenuEdit, "Edit_Paste", QStringLiteral("&Paste"), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    Edit_SelPaste = AddItem(MenuEdit, "Edit_SelPaste", QStringLiteral("Paste &Selective..."));
    Edit_Clear = AddItem(MenuEdit, "Edit_Clear", QStringLiteral("C&lear"));
    separator(MenuEdit, "Edit_Line1");
    Edit_InsertLine = AddItem(MenuEdit, "Edit_InsertLine", QStringLiteral("&Insert Row"));
    Edit_RemoveLine = AddItem(MenuEdit, "Edit_RemoveLine", QStringLiteral("Remo&ve Row"));
    Edit_Divider = AddItem(MenuEdit, "Edit_Divider", QStringLiteral("Set &Divider..."));
    separator(MenuEdit, "Edit_Line2");
    Edit_MarkName = AddItem(MenuEdit, "Edit_MarkName", QStringLiteral("&Mark Name to Relocate"));
    Edit_MoveName = AddItem(MenuEdit, "Edit_MoveName", QStringLiteral("&Relocate Name"));
    separator(MenuEdit, "Edit_Line3");
    Edit_DrawShift = AddItem(MenuEdit, "Edit_DrawShift", QStringLiteral("&Assign Shift"), QKeySequence(Qt::CTRL | Qt::Key_A));
    Edit_TimeOff = AddItem(MenuEdit, "Edit_TimeOff", QStringLiteral("Time-&Off"), QKeySequence(Qt::CTRL | Qt::Key_X));
    Edit_EraseShift =
        AddItem(MenuEdit, "Edit_EraseShift", QStringLiteral("&Erase Shift / Time-Off"), QKeySequence(Qt::CTRL | Qt::Key_E));
    Edit_OnCall = AddItem(MenuEdit, "Edit_OnCall", QStringLiteral("O&n-Call (toggle)"), QKeySequence(Qt::CTRL | Qt::Key_O));
    separator(MenuEdit, "Edit_Line4");
    Edit_MSched = AddItem(MenuEdit, "Edit_MSched", QStringLiteral("Schedule M&ultiple..."), QKeySequence(Qt::CTRL | Qt::Key_M));

    MenuView = menu("MenuView", "&View");
    View_Alpha = AddItem(MenuView, "View_Alpha", QStringLiteral("&Alphabetically by Name"));
    View_ByPos = AddItem(MenuView, "View_ByPos", QStringLiteral("Sort by &Position"));
    View_FindName = AddItem(MenuView, "View_FindName", QStringLiteral("&Find Name..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    separator(MenuView, "View_Line2");
    for (int i = 0; i < 5; ++i) {
        View_format[i] = AddItem(MenuView, "View_format", QStringLiteral("undefined"));
        View_format[i]->setObjectName(QStringLiteral("View_format(%1)").arg(i));
        View_format[i]->setCheckable(true);
        connect(View_format[i], &QAction::triggered, this, [this, i] { View_format_Click(i); });
    }
    View_Line = separator(MenuView, "View_Line");
    View_Change = AddItem(MenuView, "View_Change", QStringLiteral("&Edit Schedule Format (undefined)"));

    MenuDefine = menu("MenuDefine", "&Define");
    Define_Shifts = AddItem(MenuDefine, "Define_Shifts", QStringLiteral("&Shifts..."));
    Define_Explainations = AddItem(MenuDefine, "Define_Explainations", QStringLiteral("&Explanations..."));
    Define_Props = AddItem(MenuDefine, "Define_Props", QStringLiteral("&Properties..."));

    Menu_Reports = menu("Menu_Reports", "&Reports");
    Report_Current = AddItem(Menu_Reports, "Report_Current", QString(), QKeySequence(Qt::CTRL | Qt::Key_P));
    Report_Legend = AddItem(Menu_Reports, "Report_Legend", QStringLiteral("Legend..."));
    Report_Query = AddItem(Menu_Reports, "Report_Query", QStringLiteral("Query..."));
    Report_Personal = Menu_Reports->addMenu(QStringLiteral("Personal Schedules"));
    Report_Personal->setObjectName(QStringLiteral("Report_Personal"));
    Report_Personal_Day142 = AddItem(Report_Personal, "Report_Personal_Day142", QStringLiteral("1 to 42 Day..."));
    Report_Personal_Month = AddItem(Report_Personal, "Report_Personal_Month", QStringLiteral("Monthly Calendar..."));
    Report_Proj = AddItem(Menu_Reports, "Report_Proj", QStringLiteral("Estimated &Cost..."));
    separator(Menu_Reports, "Report_Line1");
    Report_Staff = Menu_Reports->addMenu(QStringLiteral("Staff Schedules"));
    Report_Staff->setObjectName(QStringLiteral("Report_Staff"));
    Report_Staff_Day142 = AddItem(Report_Staff, "Report_Staff_Day142", QStringLiteral("1 to 42 Day..."));
    Report_Staff_Month = AddItem(Report_Staff, "Report_Staff_Month", QStringLiteral("Monthly Calendar..."));
    Report_Staff_Group = AddItem(Report_Staff, "Report_Staff_Group", QStringLiteral("Group..."));

    Menu_Help = menu("Menu_Help", "&Help");
    Help_Contents = AddItem(Menu_Help, "Help_Contents", QStringLiteral("&Contents"));
    separator(Menu_Help, "Help_Line2");
    Help_ToolTips = AddItem(Menu_Help, "Help_ToolTips", QStringLiteral("Tool Tips"));
    Help_ToolTips->setCheckable(true);
    Help_ToolTips->setChecked(true);
    Help_ToolTips->setEnabled(false);
    separator(Menu_Help, "Help_Line");
    Help_About = AddItem(Menu_Help, "Help_About", QStringLiteral("&About..."));

    // Initial states.
    File_Close->setVisible(false);
    File_Save->setEnabled(false);
    File_SaveAs->setEnabled(false);
    File_Print->setEnabled(false);
    File_PrintSetup->setEnabled(false);
    Edit_Undo->setEnabled(false);
    Edit_Paste->setEnabled(false);
    Edit_SelPaste->setEnabled(false);
    Edit_MoveName->setEnabled(false);
    for (QMenu* m : {MenuEdit, MenuView, MenuDefine, Menu_Reports}) m->setEnabled(false);

    connect(File_New, &QAction::triggered, this, &MainForm::File_Open_Click);
    connect(File_Open, &QAction::triggered, this, &MainForm::File_Open_Click);
    connect(File_Close, &QAction::triggered, this, &MainForm::File_Close_Click);
    connect(File_Save, &QAction::triggered, this, &MainForm::File_Save_Click);
    connect(File_SaveAs, &QAction::triggered, this, &MainForm::File_SaveAs_Click);
    connect(File_Exit, &QAction::triggered, this, &MainForm::File_Exit_Click);
    connect(File_PrintSetup, &QAction::triggered, this, &MainForm::File_PrintSetup_Click);
    connect(Help_Contents, &QAction::triggered, this, &MainForm::Help_Contents_Click);
    // The help key, as Help > Contents; while the password prompt is asked it is that
    // dialog's key, and Help_Contents_Click refuses anyway.
    auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    helpKey->setObjectName(QStringLiteral("HelpKey"));
    connect(helpKey, &QShortcut::activated, this, &MainForm::Help_Contents_Click);
    connect(Help_ToolTips, &QAction::triggered, this, &MainForm::Help_ToolTips_Click);
    connect(Help_About, &QAction::triggered, this, &MainForm::Help_About_Click);

    connect(View_Change, &QAction::triggered, this, &MainForm::View_Change_Click);
    connect(Define_Shifts, &QAction::triggered, this, &MainForm::Define_Shifts_Click);
    connect(Define_Explainations, &QAction::triggered, this, &MainForm::Define_Explainations_Click);
    connect(Define_Props, &QAction::triggered, this, &MainForm::Define_Props_Click);
    connect(Report_Proj, &QAction::triggered, this, &MainForm::Report_Proj_Click);
    connect(Edit_Mcopy, &QAction::triggered, this, &MainForm::Edit_Mcopy_Click);
    connect(Edit_MSched, &QAction::triggered, this, &MainForm::Edit_MSched_Click);
    connect(Report_Query, &QAction::triggered, this, &MainForm::Report_Query_Click);
    connect(File_Print, &QAction::triggered, this, &MainForm::File_Print_Click);
    connect(Report_Current, &QAction::triggered, this, &MainForm::Report_Current_Click);
    connect(Report_Staff_Day142, &QAction::triggered, this, &MainForm::Report_Staff_Day142_Click);
    connect(Report_Staff_Month, &QAction::triggered, this, &MainForm::Report_Staff_Month_Click);
    connect(Report_Staff_Group, &QAction::triggered, this, &MainForm::Report_Staff_Group_Click);
    connect(Report_Personal_Day142, &QAction::triggered, this, &MainForm::Report_Personal_Day142_Click);
    connect(Report_Personal_Month, &QAction::triggered, this, &MainForm::Report_Personal_Month_Click);
    connect(Report_Legend, &QAction::triggered, this, &MainForm::Report_Legend_Click);
}

void MainForm::LoadForm()
{
    NoteEditing = false;
    // Maximised; without a window manager to do it, as large as the screen allows.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableGeometry().size());
    setWindowState(windowState() | Qt::WindowMaximized);
    grid_.CellWidth = (240 / grid_.TPPX) * grid_.TPPX;
    grid_.RowHeight = (250 / grid_.TPPY) * grid_.TPPY;
    GridPanes panes;
    panes.MainForm = this;
    panes.Form = Form;
    panes.ToolPanel = ToolPanel;
    panes.Explainations = Explainations;
    panes.NotePad = NotePad;
    panes.NoteX = NoteX;
    panes.NoteCheck = NoteCheck;
    panes.DateDisplay = DateDisplay;
    panes.Label1 = Label1;
    panes.Label2 = Label2;
    panes.EmpList = EmpList;
    panes.EmpPos = EmpPos;
    panes.DayRuler = DayRuler;
    panes.Grid = Grid;
    panes.CoverageDesc = CoverageDesc;
    panes.Coverage = Coverage;
    panes.VScroll2 = VScroll2;
    panes.EmpText = EmpText;
    panes.EmpText2 = EmpText2;
    grid_.SetPanes(panes);

    editor_ = std::make_unique<CellEditor>(files_, msg_, Buffers);
    // Loaded once and kept: their settings stay as the user last confirmed them.
    selPaste_ = new SelPaste(files_, this);
    pager_ = new Pager(files_, msg_, this);
    grid_.CenterFormOnScreen(pager_);
    siblingServer_ = new SiblingServer(this);
    connect(siblingServer_, &SiblingServer::ExecuteReceived, this, &MainForm::BringToFront);
    siblingServer_->Listen();

    files_.CurrentFormatNo = 1;
    files_.Set28DayFormatDefaults();
    files_.CurrentFormat.FormatName = "untitled";
    grid_.ApplyScheduleFormat();
    grid_.CenterFormOnScreen(this);
    NoScheduleOpen = true;
    // Without a schedule the tool panel does nothing; the cell tools appear with the first one.
    ToolPanel->setEnabled(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ButtonAssign, ButtonTimeOff, ButtonErase, ButtonCall, ShiftSelector}) {
        w->hide();
    }
    Timer1->start();
}

// ---------------------------------------------------------------- store and grid hosts

void MainForm::SetFormatMenuItem(int format, const QString& caption, bool checked)
{
    if (format < 1 || format > 5) return;
    View_format[format - 1]->setText(caption);
    View_format[format - 1]->setChecked(checked);
}

void MainForm::SetCurrentFormatCaptions(const QString& editCaption, const QString& reportCaption)
{
    View_Change->setText(editCaption);
    Report_Current->setText(reportCaption);
}

void MainForm::SetColumnHeadingColour(std::uint32_t colour)
{
    const QColor c = QColor::fromRgb(ToQRgb(colour));
    for (QLabel* l : {Label1, Label2}) {
        QPalette p = l->palette();
        p.setColor(QPalette::Window, c);
        l->setPalette(p);
        l->setAutoFillBackground(true);
    }
}

void MainForm::ApplyScheduleFormat() { grid_.ApplyScheduleFormat(); }

void MainForm::ProcessEvents() { QCoreApplication::processEvents(); }

bool MainForm::IsMinimised() const { return isMinimized(); }

QString MainForm::SchedStem() const { return files_.SchedStem; }

int MainForm::ExplListIndex(int code) const
{
    const auto it = explListIndex_.find(code);
    return it == explListIndex_.end() ? 0 : it->second;
}

QString MainForm::ExplanationListText(int code) const
{
    const auto it = explListText_.find(code);
    return it == explListText_.end() ? QString() : it->second;
}

void MainForm::SetCaption(const QString& caption) { setWindowTitle(caption); }

void MainForm::SetBusy(bool busy)
{
    // One setting, not a stack: nested long operations end with the normal pointer.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainForm::SetRowScroll(int largeChange, int maximum)
{
    const QSignalBlocker block(VScroll2);
    VScroll2->setPageStep(largeChange);
    VScroll2->setMaximum(maximum);
}

void MainForm::SetRowScrollValue(int value)
{
    const QSignalBlocker block(VScroll2);
    VScroll2->setValue(value);
}

void MainForm::SetPanelText(InfoPanel panel, const QString& text)
{
    QLabel* l = nullptr;
    switch (panel) {
    case InfoPanel::DaysTagged: l = DaysTagged; break;
    case InfoPanel::DateOn: l = DateOn; break;
    case InfoPanel::DateDisplay: l = DateDisplay; break;
    case InfoPanel::EmpRow: l = EmpRow; break;
    case InfoPanel::TopInfoShiftDesc: l = TopInfoShiftDesc; break;
    case InfoPanel::TopInfoShiftHours: l = TopInfoShiftHours; break;
    }
    if (l) l->setText(text);
}

void MainForm::SetShiftDescSmallFont(bool small)
{
    if (!small) {
        TopInfoShiftDesc->setFont(DateOn->font());
        return;
    }
    // A narrow face, so that two shifts with their times fit the panel: "Small Fonts" on a
    // screen of 15 twips per pixel, else the panel's own font at that size.
    QFont f = DateOn->font();
    f.setPointSize(7);
    if (grid_.TPPX == 15) {
        if (const auto narrow = s_.fonts.Resolve({QStringLiteral("Small Fonts"), 7})) f = narrow->font;
    }
    TopInfoShiftDesc->setFont(f);
}

void MainForm::SetUndoItem(bool enabled, const QString& caption)
{
    Edit_Undo->setEnabled(enabled);
    Edit_Undo->setText(caption);
}

void MainForm::SelectExplanationIndex(int index)
{
    if (index >= 0 && index < Explainations->count()) Explainations->setCurrentIndex(index);
}

void MainForm::SetNotePadText(const QString& text) { NotePad->setText(text); }
void MainForm::SetNotePadEnabled(bool enabled) { NotePad->setEnabled(enabled); }

void MainForm::SetNotePadBackground(std::uint32_t colour)
{
    // Every cell tagged sets it: only a change costs a repaint.
    if (NotePad->palette().color(QPalette::Base) == QColor::fromRgb(ToQRgb(colour))) return;
    QPalette p = NotePad->palette();
    p.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(colour)));
    NotePad->setPalette(p);
}

void MainForm::SetListsEnabled(bool enabled)
{
    Explainations->setEnabled(enabled);
    ShiftSelector->setEnabled(enabled);
}

void MainForm::SetNoteButtons(NoteButtonLook look)
{
    // Every cell tagged sets them: only a change draws the pictures and repaints.
    const NoteButtonsShown shown =
        look == NoteButtonLook::Requirement ? NoteButtonsShown::Requirement : NoteButtonsShown::Note;
    if (shown == noteButtonsShown_) return;
    noteButtonsShown_ = shown;
    if (look == NoteButtonLook::Requirement) {
        NoteX->setIcon(QIcon());
        NoteX->setText(QStringLiteral("+"));
        NoteCheck->setIcon(QIcon());
        NoteCheck->setText(QStringLiteral("-"));
        SetToolTipText(NotePad, QStringLiteral("Requirement Entry Box"));
        SetToolTipText(NoteCheck, QStringLiteral("Subtract 1 from Requirements"));
        SetToolTipText(NoteX, QStringLiteral("Add 1 to Requirements"));
    } else {
        NoteX->setText(QString());
        NoteX->setIcon(QIcon(ButtonPictures::XInactive()));
        NoteCheck->setText(QString());
        NoteCheck->setIcon(QIcon(ButtonPictures::CheckInactive()));
        SetToolTipText(NotePad, QStringLiteral("Note Entry Text Box"));
        SetToolTipText(NoteCheck, QStringLiteral("Save Note"));
        SetToolTipText(NoteX, QStringLiteral("Restore Note"));
    }
}

void MainForm::CancelToolTip() { ToolTipDue = 0; }

// ---------------------------------------------------------------- tool tips

void MainForm::SetToolTipText(QWidget* w, const QString& text)
{
    if (!toolTips_.count(w)) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    toolTips_[w] = text;
}

QString MainForm::ToolTipTextFor(QWidget* w) const
{
    const auto it = toolTips_.find(w);
    return it == toolTips_.end() ? QString() : it->second;
}

void MainForm::ShowToolTip(QWidget* control, const QString& text, int xTw, int yTw)
{
    if (files_.ScheduleProps.ToolTipsOff == 1) return;
    const int tppX = grid_.TPPX;
    const int tppY = grid_.TPPY;
    const QString tag = control->property("Tag").toString();
    const bool isPane = tag == QLatin1String("Grid") || tag == QLatin1String("Cov");
    if (!isPane && yTw < 4 * tppY) {
        ToolTipDue = 0;
        return;
    }
    // Over the grid panes and the name column the tip follows the pointer: below it by the
    // tip's own height; elsewhere it goes below the control.
    const bool followsPointer = isPane || control == EmpList;
    const auto place = [&] {
        ToolTipper->adjustSize();
        const QPoint origin = control->mapTo(Form, QPoint(0, 0));
        const int height = followsPointer ? ToolTipper->height() : control->height();
        ToolTipper->move(origin.x() + 1 + xTw / tppX, origin.y() + height + 2 + yTw / tppY);
        ToolTipper->raise();
    };
    if (ToolTipper->text().trimmed() != text) {
        ToolTipper->setText(QLatin1Char(' ') + text + QLatin1Char(' '));
        place();
    } else if (ToolTipper->isHidden()) {
        place();
    }
    if (ToolTipDue == 0) ToolTipDue = Seconds() + 1.0;
}

void MainForm::UpdateToolTip()
{
    if (files_.ScheduleProps.ToolTipsOff == 1) return;
    if (ToolTipDue == 0) {
        if (ToolTipper->isVisible()) {
            ToolTipper->hide();
            ToolTipper->setText(QStringLiteral("***"));
            ToolTipper->resize(1, ToolTipper->height());
        }
        return;
    }
    if (ToolTipper->x() + ToolTipper->width() > Form->width()) ToolTipper->move(Form->width() - ToolTipper->width(), ToolTipper->y());
    if (ToolTipper->y() + ToolTipper->height() > Form->height()) {
        ToolTipper->move(ToolTipper->x(), Form->height() - 3 * ToolTipper->height());
    }
    if (Seconds() >= ToolTipDue && ToolTipper->isHidden()) {
        ToolTipper->show();
        ToolTipper->raise();
    }
}

bool MainForm::eventFilter(QObject* watched, QEvent* e)
{
    if (FilterWheelEvent(watched, e)) return true;
    // The name, position and coverage panes are watched for the wheel alone.
    if (watched == EmpList || watched == EmpPos || watched == Coverage) return QMainWindow::eventFilter(watched, e);
    if (FilterEditingEvent(watched, e)) return true;
    auto* w = qobject_cast<QWidget*>(watched);
    // The "Name" header opens Find Name.
    if (w == Label1 && e->type() == QEvent::MouseButtonPress && !NoScheduleOpen) {
        View_FindName_Click();
        return true;
    }
    if (w && e->type() == QEvent::MouseMove) {
        // A move over a control on the tool panel reaches the panel too; it is the control's.
        if (w == ToolPanel && ToolPanel->childAt(static_cast<QMouseEvent*>(e)->position().toPoint())) {
            return QMainWindow::eventFilter(watched, e);
        }
        if (w == ToolPanel || w == NotePad) {
            SpinUpCount = 0;
            SpinDownCount = 0;
        }
        if (w == ToolPanel || w == Form) Tabitha->setEnabled(false);
        if (w == ToolTipper || w == Label1 || w == Label2 || w == ToolPanel) {
            CancelToolTip();
        } else {
            const QString text = ToolTipTextFor(w);
            if (!text.isEmpty()) {
                const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
                // The day ruler's tip is withdrawn near its right end.
                if (w == DayRuler && DayRuler->width() * grid_.TPPX - p.x() * grid_.TPPX < 150) {
                    CancelToolTip();
                } else {
                    ShowToolTip(w, text, p.x() * grid_.TPPX, p.y() * grid_.TPPY);
                }
            }
        }
    } else if (w && e->type() == QEvent::Leave && toolTips_.count(w)) {
        ToolTipDue = 0;
    }
    return QMainWindow::eventFilter(watched, e);
}

// ---------------------------------------------------------------- window states

void MainForm::ApplyEditingState()
{
    for (QWidget* w : {static_cast<QWidget*>(ButtonAssign), static_cast<QWidget*>(ButtonTimeOff),
                       static_cast<QWidget*>(ButtonErase), static_cast<QWidget*>(ButtonCall),
                       static_cast<QWidget*>(ShiftSelector)}) {
        w->setVisible(true);
    }
    MenuEdit->menuAction()->setVisible(true);
    MenuDefine->menuAction()->setVisible(true);
    for (QAction* a : {File_New, File_Close, File_Save, File_SaveAs, File_Line2, View_Change, View_Line}) a->setVisible(true);
    File_PrintSetup->setEnabled(false);
    Explainations->setEnabled(true);
    NotePad->setReadOnly(false);
    NoteX->setEnabled(true);
    NoteCheck->setEnabled(true);
    EmpList->setEnabled(true);
    EmpPos->setEnabled(true);
    if (NoScheduleOpen) {
        for (QWidget* w : {static_cast<QWidget*>(ToolPanel), static_cast<QWidget*>(EmpList),
                           static_cast<QWidget*>(EmpPos), static_cast<QWidget*>(Grid), static_cast<QWidget*>(VScroll2),
                           static_cast<QWidget*>(Explainations), static_cast<QWidget*>(NotePad),
                           static_cast<QWidget*>(CoverageDesc), static_cast<QWidget*>(Coverage)}) {
            w->setEnabled(true);
        }
        SetRowScrollValue(0);
        NoScheduleOpen = false;
    }
}

void MainForm::ShowScheduleControls()
{
    for (QWidget* w : {static_cast<QWidget*>(Explainations), static_cast<QWidget*>(NotePad),
                       static_cast<QWidget*>(NoteX), static_cast<QWidget*>(NoteCheck), static_cast<QWidget*>(DayRuler),
                       static_cast<QWidget*>(Grid), static_cast<QWidget*>(Coverage), static_cast<QWidget*>(CoverageDesc),
                       static_cast<QWidget*>(EmpList), static_cast<QWidget*>(EmpPos), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(ToolPanel), static_cast<QWidget*>(VScroll2)}) {
        w->setVisible(true);
    }
    if (files_.CurrentFormat.HidePositionColumn) {
        EmpPos->hide();
        Label2->hide();
    }
    MenuView->menuAction()->setVisible(true);
    Menu_Reports->menuAction()->setVisible(true);
    for (QAction* a : {File_Close, File_Save, File_SaveAs, File_Print, File_PrintSetup}) a->setEnabled(true);
}

void MainForm::GoToClosedState()
{
    {
        const QSignalBlocker b1(ShiftSelector);
        const QSignalBlocker b2(Explainations);
        ShiftSelector->clear();
        Explainations->clear();
    }
    currentShiftCode_ = 0;
    for (QWidget* w : {static_cast<QWidget*>(Explainations), static_cast<QWidget*>(NotePad),
                       static_cast<QWidget*>(NoteX), static_cast<QWidget*>(NoteCheck), static_cast<QWidget*>(DayRuler),
                       static_cast<QWidget*>(Grid), static_cast<QWidget*>(Coverage), static_cast<QWidget*>(CoverageDesc),
                       static_cast<QWidget*>(EmpList), static_cast<QWidget*>(EmpPos), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(ToolPanel), static_cast<QWidget*>(VScroll2)}) {
        w->setVisible(false);
    }
    for (QMenu* m : {MenuEdit, MenuView, Menu_Reports, MenuDefine}) m->menuAction()->setVisible(false);
    for (QAction* a : {File_Close, File_Save, File_SaveAs, File_Print, File_PrintSetup, Help_ToolTips}) a->setEnabled(false);
    NotePad->clear();
    setWindowTitle(QStringLiteral("Tavrin"));
    NoScheduleOpen = true;
    grid_.ScheduleClosed = true;
}

void MainForm::DisableIt()
{
    for (QWidget* w : {static_cast<QWidget*>(ToolPanel), static_cast<QWidget*>(EmpList), static_cast<QWidget*>(EmpPos),
                       static_cast<QWidget*>(Grid), static_cast<QWidget*>(VScroll2), static_cast<QWidget*>(CoverageDesc),
                       static_cast<QWidget*>(Coverage), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Explainations), static_cast<QWidget*>(NotePad)}) {
        w->setEnabled(false);
    }
}

void MainForm::EnabledIt()
{
    for (QWidget* w : {static_cast<QWidget*>(ToolPanel), static_cast<QWidget*>(EmpList), static_cast<QWidget*>(EmpPos),
                       static_cast<QWidget*>(Grid), static_cast<QWidget*>(VScroll2), static_cast<QWidget*>(CoverageDesc),
                       static_cast<QWidget*>(Coverage), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Explainations), static_cast<QWidget*>(NotePad)}) {
        w->setEnabled(true);
    }
    // After an open that failed with no schedule before, the tools stay unavailable.
    ToolPanel->setEnabled(!NoScheduleOpen);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::KillTextBoxes()
{
    for (QLineEdit* e : {EmpText, EmpText2}) {
        e->hide();
        e->clear();
    }
    if (Grid->isVisible()) Grid->setFocus();
}

bool MainForm::ReadHighlightQuery()
{
    const int q = CheckedQueryNo(files_.ScheduleProps.HighlightQuery);
    return q > 0 && files_.ReadRecord(FileNo::Queries, q, files_.QueryBuf);
}

void MainForm::UpdateHighLighter()
{
    if (CheckedQueryNo(files_.ScheduleProps.HighlightQuery) > 0) {
        if (!ReadHighlightQuery()) return;
        SSCommand2->setIcon(QIcon(ButtonPictures::HighlighterOn()));
        SetToolTipText(SSCommand2, QStringLiteral("Highlighter [") + Runtime::Trim(files_.QueryBuf.Title.str()) +
                                       QStringLiteral("]"));
    } else {
        SSCommand2->setIcon(QIcon(ButtonPictures::HighlighterOff()));
        SetToolTipText(SSCommand2, QStringLiteral("Highlighter"));
    }
    Help_ToolTips->setChecked(files_.ScheduleProps.ToolTipsOff != 1);
}

// ---------------------------------------------------------------- window events

void MainForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    ToolPanel->resize(Form->width(), ToolPanel->height());
    grid_.LayoutAndRedrawSchedule();
}

void MainForm::paintEvent(QPaintEvent* e)
{
    QMainWindow::paintEvent(e);
    // Whatever another command left in the shared buffer, the grid's next drawing highlights by
    // the highlight query. Only the buffer: the button does not change here.
    ReadHighlightQuery();
}

void MainForm::Timer1_Timer()
{
    if (ComboDropPending) {
        ComboDropPending = false;
        Explainations->showPopup();
    }
    UpdateToolTip();
}

void MainForm::View_format_Click(int index)
{
    if (index < 0 || index > 4) return;
    if (index + 1 == files_.CurrentFormatNo) {
        View_format[index]->setChecked(true);  // choosing the current format changes nothing
        return;
    }
    if (Grid->isVisible()) Grid->setFocus();
    EmpText->hide();
    EmpText2->hide();
    for (QAction* a : View_format) a->setChecked(false);
    View_format[index]->setChecked(true);
    files_.CurrentFormatNo = index + 1;
    const QString name = Runtime::Trim(View_format[index]->text());
    View_Change->setText(QStringLiteral("Edit Schedule Format (") + name + QStringLiteral(")"));
    Report_Current->setText(name);
    const Status loaded = files_.LoadCurrentFormat();
    if (!loaded) {
        ReportStoreError(loaded);
        return;
    }
    grid_.ApplyScheduleFormat();
    grid_.LayoutAndRedrawSchedule();
    files_.ScheduleModified = true;
}

void MainForm::Help_Contents_Click()
{
    if (!HelpAvailable) return;
    auto* dlg = new QDialog(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setObjectName(QStringLiteral("HelpViewer"));
    dlg->setWindowTitle(QStringLiteral("Tavrin Help"));
    auto* layout = new QVBoxLayout(dlg);
    auto* browser = new QTextBrowser(dlg);
    QFile f(HelpFile());
    if (f.open(QIODevice::ReadOnly)) {
        browser->setHtml(QString::fromUtf8(f.readAll()));
    } else {
        browser->setPlainText(QStringLiteral("The help file ") + HelpFile() + QStringLiteral(" cannot be read."));
    }
    layout->addWidget(browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
    connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    layout->addWidget(buttons);
    dlg->resize(640, 560);
    dlg->show();
}

QString MainForm::HelpFile() const { return AppPaths::ResourceFolder() + QStringLiteral("/Tavrin.HLP"); }

void MainForm::Help_ToolTips_Click()
{
    CancelToolTip();
    files_.ScheduleModified = true;
    files_.ScheduleProps.ToolTipsOff = files_.ScheduleProps.ToolTipsOff != 1 ? 1 : 0;
    Help_ToolTips->setChecked(files_.ScheduleProps.ToolTipsOff != 1);
}

void MainForm::Help_About_Click()
{
    About about(this);
    about.exec();
}

void MainForm::Report_Proj_Click()
{
    CancelToolTip();
    SetBusy(true);
    // Without the report font the report is not offered.
    if (grid_.CheckReportFontInstalled()) {
        SetBusy(false);
        return;
    }
    ProjCost dlg(files_, grid_, *print_, this);
    dlg.LoadForm();
    dlg.exec();
    SetBusy(false);
}

void MainForm::ReportStoreError(const Status& s)
{
    msg_.beep();
    msg_.show(s.message(), Mb::Exclamation, QStringLiteral("Error"));
}

}  // namespace tavrin
