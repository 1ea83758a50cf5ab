#include "printing/SortSel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

#include "grid/ExchangeSort.h"
#include "platform/Cp1252.h"
#include "platform/Runtime.h"
#include "printing/RptText.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

std::array<int, 5> SortKeysOf(const ReportSettingsRecord& r)
{
    std::array<int, 5> keys{};
    for (int k = 0; k < 5; ++k) {
        const int code = r.Options[10 + k];
        keys[static_cast<std::size_t>(k)] = code >= SortNone && code <= SortExplanation ? code : SortNone;
    }
    return keys;
}

bool SortActive(const ReportSettingsRecord& r)
{
    for (int code : SortKeysOf(r)) {
        if (code != SortNone) return true;
    }
    return false;
}

namespace {

const QByteArray kZ("Z");

// A text made once, when first wanted.
template <class Make>
const QByteArray& Once(std::optional<QByteArray>& kept, Make make)
{
    if (!kept) kept = make();
    return *kept;
}

}  // namespace

struct SortKeySource::Made {
    std::array<std::optional<QByteArray>, kSlots + 1> positions;  // by display row
    std::array<std::optional<QByteArray>, 100> shifts;           // by user shift code
    std::array<std::optional<QByteArray>, 100> startTimes;
    std::array<std::optional<QByteArray>, 256> explanations;  // by explanation code
};

std::vector<QByteArray> SortKeySource::Names() const
{
    std::vector<QByteArray> names(kSlots + 1);
    for (int row = 1; row <= kSlots; ++row) {
        const QString name = Runtime::Trim(emp->Name[row].str());
        names[static_cast<std::size_t>(row)] =
            StringToCp1252(nameStyle < 0 ? name : RptText::FormatPersonName(name, nameStyle));
    }
    return names;
}

QByteArray SortKeySource::KeyText(int row, const DayRecord& day, const std::vector<QByteArray>& names) const
{
    if (!made_) made_ = std::make_shared<Made>();
    Made& m = *made_;
    QByteArray text;
    text.reserve(64);
    const int slot = props->RowMap[row];
    const bool hasSlot = IsSlot(slot);
    const int s1 = hasSlot ? day.Shift1Code[slot] : 0;
    const bool userShift = s1 >= 1 && s1 <= 99;
    const auto code = static_cast<std::size_t>(s1);
    for (int key : keys) {
        switch (key) {
            case SortName:
                text += names[static_cast<std::size_t>(row)];
                break;
            case SortPosition:
                text += Once(m.positions[static_cast<std::size_t>(row)],
                             [&] { return StringToCp1252(Runtime::Trim(emp->Position[row].str())); });
                break;
            case SortShift:
                text += userShift ? Once(m.shifts[code],
                                         [&] { return StringToCp1252(Runtime::Trim((*shifts)[s1].Description.str())); })
                                  : kZ;
                break;
            case SortStartTime:
                text += userShift ? Once(m.startTimes[code],
                                         [&] {
                                             const OleDate t = (*shifts)[s1].StartTime;
                                             return QStringLiteral("%1:%2")
                                                 .arg(Runtime::Hour(t), 2, 10, QLatin1Char('0'))
                                                 .arg(Runtime::Minute(t), 2, 10, QLatin1Char('0'))
                                                 .toLatin1();
                                         })
                                  : kZ;
                break;
            case SortExplanation: {
                const int e = hasSlot ? day.ExplanationCode[slot] : 0;
                text += e > 0 && explanationText
                            ? Once(m.explanations[static_cast<std::size_t>(e)],
                                   [&] { return StringToCp1252(Runtime::Trim(explanationText(e))); })
                            : kZ;
                break;
            }
            default:
                break;
        }
    }
    return text;
}

int ListWidgetSortable::Count() const
{
    return list_.count();
}

int ListWidgetSortable::RowAt(int pos) const
{
    return list_.item(pos - 1)->data(Qt::UserRole).toInt();
}

void ListWidgetSortable::Swap(int p, int q)
{
    QListWidgetItem* a = list_.item(p - 1);
    QListWidgetItem* b = list_.item(q - 1);
    const QString text = a->text();
    const QVariant data = a->data(Qt::UserRole);
    const bool selected = a->isSelected();
    a->setText(b->text());
    a->setData(Qt::UserRole, b->data(Qt::UserRole));
    a->setSelected(b->isSelected());
    b->setText(text);
    b->setData(Qt::UserRole, data);
    b->setSelected(selected);
}

void RowsSortable::Swap(int p, int q)
{
    std::swap(rows_[static_cast<std::size_t>(p - 1)], rows_[static_cast<std::size_t>(q - 1)]);
}

namespace {

// The rank of each text among them (equal texts, equal ranks). Comparing ranks answers every
// comparison as comparing the texts would, so the exchanges, and the order, are the same.
std::vector<int> RanksOf(const std::vector<QByteArray>& texts)
{
    const std::size_t n = texts.size();
    std::vector<std::size_t> byText(n);
    for (std::size_t k = 0; k < n; ++k) byText[k] = k;
    std::sort(byText.begin(), byText.end(), [&texts](std::size_t a, std::size_t b) { return texts[a] < texts[b]; });
    std::vector<int> rank(n);
    int r = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0 && texts[byText[k - 1]] < texts[byText[k]]) ++r;
        rank[byText[k]] = r;
    }
    return rank;
}

// Sorts positions first..last by their ranks; rank[p - first] is the rank of the entry now at
// position p and moves with its entry.
void SortByRank(SortableList& list, int first, int last, std::vector<int>& rank)
{
    const auto at = [&rank, first](int pos) -> int& { return rank[static_cast<std::size_t>(pos - first)]; };
    ExchangeSort(
        first, last, [&at](int i, int j) { return at(i) > at(j); },
        [&](int i, int j) {
            list.Swap(i, j);
            std::swap(at(i), at(j));
        });
}

// The names a sort's key texts use: the caller's, else made here when a key is the name.
std::vector<QByteArray> NamesToMake(const SortKeySource& src)
{
    const bool byName = std::find(src.keys.begin(), src.keys.end(), int(SortName)) != src.keys.end();
    return byName && !src.names ? src.Names() : std::vector<QByteArray>();
}

}  // namespace

void SortNameBlock(SortableList& list, const SortKeySource& src, const DayRecord& day, int first, int last)
{
    if (first >= last) return;
    // The day does not change during a sort, so each entry's key text is made once and replaced
    // by its rank among the block's texts.
    const auto n = static_cast<std::size_t>(last - first + 1);
    const std::vector<QByteArray> made = NamesToMake(src);
    const std::vector<QByteArray>& names = src.names ? *src.names : made;
    std::vector<QByteArray> texts(n);
    for (std::size_t k = 0; k < n; ++k) {
        const int row = list.RowAt(first + static_cast<int>(k));
        if (IsSlot(row)) texts[k] = src.KeyText(row, day, names);
    }
    std::vector<int> rank = RanksOf(texts);
    SortByRank(list, first, last, rank);
}

DaySort::DaySort(const SortableList& list, const SortKeySource& src, const DayRecord& day)
    : emp_(*src.emp), rank_(kSlots + 1)
{
    // Every entry's key text ranked among all of the list's: the ranks of any block compare as
    // its texts do.
    const std::vector<QByteArray> made = NamesToMake(src);
    const std::vector<QByteArray>& names = src.names ? *src.names : made;
    std::vector<QByteArray> texts(kSlots + 1);
    for (int pos = 1; pos <= list.Count(); ++pos) {
        const int row = list.RowAt(pos);
        if (IsSlot(row)) texts[static_cast<std::size_t>(row)] = src.KeyText(row, day, names);
    }
    rank_ = RanksOf(texts);
}

void DaySort::Apply(SortableList& list) const
{
    const auto nameByte = [&](int pos) {
        const int row = list.RowAt(pos);
        return IsSlot(row) ? emp_.Name[row].bytes[0] : std::uint8_t{0};
    };
    const auto sortBlock = [&](int first, int last) {
        if (first >= last) return;
        std::vector<int> rank(static_cast<std::size_t>(last - first + 1));
        for (int p = first; p <= last; ++p) {
            const int row = list.RowAt(p);
            rank[static_cast<std::size_t>(p - first)] = rank_[static_cast<std::size_t>(IsSlot(row) ? row : 0)];
        }
        SortByRank(list, first, last, rank);
    };
    // The used length: up to the last entry with a name.
    int n = list.Count();
    for (int p = list.Count(); p >= 1; --p) {
        if (nameByte(p) > 32) {
            n = p;
            break;
        }
    }
    int blockStart = 1;
    for (int p = 1; p <= n; ++p) {
        if (nameByte(p) == '/') {
            if (p - 1 >= blockStart) sortBlock(blockStart, p - 1);
            blockStart = p + 1;
        }
    }
    if (n >= blockStart) sortBlock(blockStart, n);
}

void SortListOnDay(SortableList& list, const SortKeySource& src, const DayRecord& day)
{
    DaySort(list, src, day).Apply(list);
}

Status SortListForDay(SchedFiles& files, SortableList& list, const SortKeySource& src, OleDate d)
{
    const OleDate start = std::floor(OleDates::Clamped(files.ScheduleProps.PeriodStart));
    const OleDate end = std::floor(OleDates::Clamped(files.ScheduleProps.PeriodEnd));
    d = std::floor(d);
    if (d < start || d > end) return {};
    TAVRIN_TRY(files.ReadRecord(FileNo::Days, static_cast<std::int64_t>(d - start) + 1, files.DayBuf));
    SortListOnDay(list, src, files.DayBuf);
    return {};
}

SortSel::SortSel(SchedFiles& files, const ReportSettingsRecord& settings, QWidget* parent)
    : QDialog(parent), RptSettingsEdit(settings), files_(files)
{
    setObjectName(QStringLiteral("SortSel"));
    setWindowTitle(QStringLiteral("Sort Order"));
    setModal(true);

    static const char* const kOrdinals[] = {"1st", "2nd", "3rd", "4th", "5th"};
    static const char* const kKeys[] = {"[none]", "Name", "Position", "Shift", "Start Time", "Explanation"};
    auto* grid = new QGridLayout;
    for (int k = 0; k < 5; ++k) {
        auto* label = new QLabel(QString::fromLatin1(kOrdinals[k]), this);
        label->setObjectName(QStringLiteral("Label1(%1)").arg(k));
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("Combo1(%1)").arg(k));
        for (const char* key : kKeys) combo->addItem(QString::fromLatin1(key));
        const int code = SortKeysOf(RptSettingsEdit)[static_cast<std::size_t>(k)];
        combo->setCurrentIndex(code);
        grid->addWidget(label, k, 0);
        grid->addWidget(combo, k, 1);
        Label1[static_cast<std::size_t>(k)] = label;
        Combo1[static_cast<std::size_t>(k)] = combo;
    }
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command5 = new QPushButton(QStringLiteral("Cancel"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command5);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &SortSel::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &SortSel::Command5_Click);
}

void SortSel::Command1_Click()
{
    files_.ScheduleModified = true;
    for (int k = 0; k < 5; ++k) {
        RptSettingsEdit.Options[10 + k] = static_cast<Int16>(Combo1[static_cast<std::size_t>(k)]->currentIndex());
    }
    accept();
}

void SortSel::Command5_Click()
{
    DialogCancelled = true;
    reject();
}

}  // namespace tavrin
