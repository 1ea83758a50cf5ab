// The row sort, dialog placement, the report font check and typed times.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "grid/ExchangeSort.h"
#include "grid/GridPaint.h"
#include "platform/Cp1252.h"
#include "platform/Runtime.h"

namespace tavrin {

// ---------------------------------------------------------------- row sort

namespace {

// A fixed text's bytes, zero bytes read as blanks.
template <std::size_t N>
std::string Bytes(const FixedText<N>& t)
{
    std::string s(reinterpret_cast<const char*>(t.bytes.data()), N);
    std::replace(s.begin(), s.end(), '\0', ' ');
    return s;
}

template <std::size_t N>
std::string UpperBytes(const FixedText<N>& t)
{
    QString s = t.raw();
    s.replace(QChar(0), QLatin1Char(' '));
    const QByteArray b = StringToCp1252(s.toUpper());
    std::string out(b.constData(), static_cast<std::size_t>(b.size()));
    out.resize(N, ' ');
    return out;
}

bool Blank(const std::string& s)
{
    return s.find_first_not_of(' ') == std::string::npos;
}

// Character codes compared as unsigned bytes.
bool Greater(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = std::memcmp(a.data(), b.data(), n);
    return c > 0 || (c == 0 && a.size() > b.size());
}

struct SortRow {
    std::string name;      // 20 bytes
    std::string position;  // upper-cased, 10 bytes
};

}  // namespace

Status GridPaint::SortEmployeeRows(int mode, int lo, int hi)
{
    files_.ScheduleModified = true;
    lo = std::max(lo, 1);
    hi = std::min(hi, kSlots);
    EmployeeTable& emp = files_.EmpTable;
    auto& rowMap = files_.ScheduleProps.RowMap;

    if ((mode == 1 || mode == 2) && lo < hi) {
        VbArray<SortRow, 1, kSlots> keys;
        for (int r = lo; r <= hi; ++r) keys[r] = {Bytes(emp.Name[r]), UpperBytes(emp.Position[r])};

        const auto mustFollow = [&keys, mode](int i, int j) {
            const SortRow& a = keys[i];
            const SortRow& b = keys[j];
            const bool blankA = Blank(a.name);
            const bool blankB = Blank(b.name);
            if (blankA && !blankB) return true;
            if (blankB) return false;
            if (mode == 1) return Greater(a.name, b.name);
            // A row without a name counts as blank here too, even when it has a position:
            // otherwise two rows could each be asked to follow the other and blank rows would
            // end up inside the block.
            return Greater(a.position + a.name, b.position + b.name);
        };
        const auto exchange = [&](int i, int j) {
            std::swap(keys[i], keys[j]);
            std::swap(emp.Name[i], emp.Name[j]);
            std::swap(emp.Position[i], emp.Position[j]);
            std::swap(emp.PayType[i], emp.PayType[j]);
            std::swap(emp.PayRate[i], emp.PayRate[j]);
            std::swap(rowMap[i], rowMap[j]);
        };

        ExchangeSort(lo, hi, mustFollow, exchange);
    }
    return files_.WriteRecord(FileNo::Employees, 1, emp);
}

// ---------------------------------------------------------------- dialog placement

namespace {

QRect ScreenRect(QWidget* w)
{
    QScreen* s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

// A window that has not been shown yet is given the size it will be shown with, so that it is
// placed by that size and not by the default size of a new widget.
void TakeShownSize(QWidget* w)
{
    if (!w->isVisible() && !w->testAttribute(Qt::WA_Resized)) w->adjustSize();
}

}  // namespace

void GridPaint::CenterFormOnScreen(QWidget* window)
{
    if (!window) return;
    host_.CancelToolTip();
    host_.SetBusy(true);
    TakeShownSize(window);
    const QRect screen = ScreenRect(window);
    const QRect frame = window->frameGeometry();
    const int top = Runtime::CInt(screen.height() * TPPY / 2.0 - frame.height() * TPPY / 2.0);
    const int left = Runtime::CInt(screen.width() * TPPX / 2.0 - frame.width() * TPPX / 2.0);
    window->move(Runtime::CInt(static_cast<double>(left) / TPPX), Runtime::CInt(static_cast<double>(top) / TPPY));
    host_.SetBusy(false);
}

void GridPaint::CenterFormOnMainForm(QWidget* window)
{
    if (!window) return;
    QWidget* main = panes_.MainForm;
    if (!main) {
        CenterFormOnScreen(window);
        return;
    }
    host_.SetBusy(true);
    TakeShownSize(window);
    const QRect m = main->frameGeometry();
    const QRect w = window->frameGeometry();
    const int top = m.y() * TPPY + Runtime::CInt(m.height() * TPPY / 2.0 - w.height() * TPPY / 2.0);
    const int left = m.x() * TPPX + Runtime::CInt(m.width() * TPPX / 2.0 - w.width() * TPPX / 2.0);
    window->move(Runtime::CInt(static_cast<double>(left) / TPPX), Runtime::CInt(static_cast<double>(top) / TPPY));
    host_.SetBusy(false);
}

void GridPaint::PositionDialogOverForm(QWidget* owner, QWidget* dialog)
{
    if (!owner || !dialog) return;
    host_.CancelToolTip();
    host_.SetBusy(true);
    TakeShownSize(dialog);
    const QRect o = owner->frameGeometry();
    const QRect d = dialog->frameGeometry();
    const QRect screen = ScreenRect(owner);
    QWidget* main = panes_.MainForm ? panes_.MainForm : owner;
    const QRect m = main->frameGeometry();

    const int ownerTop = o.y() * TPPY, ownerLeft = o.x() * TPPX;
    const int dlgH = d.height() * TPPY, dlgW = d.width() * TPPX;
    const int mainH = m.height() * TPPY, mainW = m.width() * TPPX;
    int top = ownerTop + Runtime::CInt(o.height() * TPPY / 4.0);
    int left = ownerLeft + Runtime::CInt(o.width() * TPPX / 4.0);
    const auto centreInMainSize = [&]() {
        top = Runtime::CInt(mainH / 2.0 - dlgH / 2.0);
        left = Runtime::CInt(mainW / 2.0 - dlgW / 2.0);
    };
    if (top + dlgH > screen.height() * TPPY || left + dlgW > screen.width() * TPPX) centreInMainSize();
    if (main->isMaximized() && (top + dlgH > mainH || left + dlgW > mainW)) centreInMainSize();
    dialog->move(Runtime::CInt(static_cast<double>(left) / TPPX), Runtime::CInt(static_cast<double>(top) / TPPY));
    host_.SetBusy(false);
}

// ---------------------------------------------------------------- small helpers

bool GridPaint::CheckReportFontInstalled()
{
    for (const QString& name : fonts_.InstalledFamilies()) {
        if (name.toUpper().contains(QLatin1String("ARIAL"))) return false;
    }
    files_.Msg().beep();
    files_.Msg().show(QStringLiteral("The default font ") + QStringLiteral("ARIAL") +
                          QStringLiteral(" used by Tavrin for all reports has been removed from your system.  Please "
                                         "re-install this font."),
                      Mb::Exclamation, QStringLiteral("Error"));
    return true;
}

QString GridPaint::NormalizeTimeText(const QString& text)
{
    QString t = text.toUpper();
    if (t.size() < 3 && !t.contains(QLatin1Char(':')) && !t.contains(QLatin1Char('A')) &&
        !t.contains(QLatin1Char('P'))) {
        t += QStringLiteral(":00");
    }
    return t;
}

}  // namespace tavrin
