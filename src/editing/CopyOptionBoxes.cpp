#include "editing/CopyOptionBoxes.h"

#include <QCheckBox>

namespace tavrin {

namespace {

Int16 Flag(const QCheckBox* b)
{
    return b->isChecked() ? kTrue : kFalse;
}

// The five parts in the order of their boxes.
std::array<Int16*, 5> Parts(CopyMultipleOptions& o)
{
    return {&o.CopyShifts, &o.CopyTimeOff, &o.CopyExplanations, &o.CopyNotes, &o.CopyOnCall};
}

}  // namespace

bool ShowCopyOptions(CopyMultipleOptions& o, const CopyPartBoxes& parts, QCheckBox* overwrite)
{
    const std::array<Int16*, 5> flags = Parts(o);
    bool unset = o.Overwrite == 0;
    for (const Int16* f : flags) unset = unset && *f == 0;
    if (unset) {
        for (Int16* f : flags) *f = kTrue;
        o.Overwrite = kFalse;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) parts[i]->setChecked(*flags[i] != 0);
    overwrite->setChecked(o.Overwrite != 0);
    return unset;
}

void StoreCopyOptions(CopyMultipleOptions& o, const CopyPartBoxes& parts, const QCheckBox* overwrite)
{
    const std::array<Int16*, 5> flags = Parts(o);
    for (std::size_t i = 0; i < parts.size(); ++i) *flags[i] = Flag(parts[i]);
    o.Overwrite = Flag(overwrite);
}

}  // namespace tavrin
