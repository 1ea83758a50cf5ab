#include "app/EditLists.h"

#include "platform/Runtime.h"

#include <algorithm>

namespace tavrin {

namespace {

void SortIgnoringCase(std::vector<ListItem>::iterator first, std::vector<ListItem>::iterator last)
{
    std::stable_sort(first, last, [](const ListItem& a, const ListItem& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
}

}  // namespace

HotKeyTable LoadHotKeyArray(const ShiftTableArray& shifts, const ExplanationTable& explanations)
{
    HotKeyTable t;
    t.fill(0);
    for (int i = 1; i <= kUserShifts; ++i) {
        const int q = shifts[i].QuickKey;
        if (IsQuickKey(q)) t[q] = i;
    }
    for (int i = 1; i <= kExplanations; ++i) {
        const int q = explanations.QuickKey[i];
        if (IsQuickKey(q)) t[q] = -i;
    }
    return t;
}

int HotKeyEntry(const HotKeyTable& table, int keyCode, bool shift)
{
    if (keyCode <= 0 || keyCode >= 91) return 0;
    return table[shift ? keyCode + 100 : keyCode];
}

std::vector<ListItem> ShiftListItems(const ShiftTableArray& shifts)
{
    std::vector<ListItem> items;
    for (int i = 1; i <= kUserShifts; ++i) {
        const QString desc = shifts[i].Description.str();
        const QString trimmed = Runtime::Trim(desc);
        if (trimmed.isEmpty() || trimmed == QLatin1String("undefined")) continue;
        items.push_back({desc.leftJustified(15, QLatin1Char(' ')), i});
    }
    SortIgnoringCase(items.begin(), items.end());
    if (items.empty()) items.push_back({QStringLiteral("undefined"), 1});
    return items;
}

std::vector<ListItem> ExplanationListItems(const ExplanationTable& explanations)
{
    std::vector<ListItem> items;
    items.push_back({QStringLiteral("None"), 0});
    for (int i = 1; i <= kExplanations; ++i) {
        const QString desc = Runtime::RTrim(explanations.Description[i].str());
        if (Runtime::Trim(desc).isEmpty() || desc == QLatin1String("undefined")) continue;
        items.push_back({desc, i});
    }
    SortIgnoringCase(items.begin() + 1, items.end());
    return items;
}

VbArray<int, 0, 99> ExplListIndexes(const std::vector<ListItem>& items)
{
    VbArray<int, 0, 99> index;
    index.fill(0);
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (IsExplanationCode(items[k].code)) index[items[k].code] = static_cast<int>(k);
    }
    return index;
}

}  // namespace tavrin
