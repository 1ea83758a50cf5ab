#include "platform/BoxChecks.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>
#include <algorithm>

namespace tavrin {

BoxChecks::BoxChecks(QWidget* dialog) : QObject(dialog), dialog_(dialog) {}

void BoxChecks::Add(QWidget* box, Check check)
{
    entries_.push_back({box, std::move(check)});
    box->installEventFilter(this);
}

void BoxChecks::Exempt(QWidget* w) { exempt_.emplace_back(w); }

BoxChecks::Entry* BoxChecks::Find(QObject* box)
{
    for (Entry& e : entries_) {
        if (e.box == box) return &e;
    }
    return nullptr;
}

bool BoxChecks::RunEntry(Entry& e)
{
    if (busy_ || !e.box) return true;
    busy_ = true;
    const bool ok = e.check();
    if (!ok && e.box) e.box->setFocus(Qt::OtherFocusReason);
    busy_ = false;
    return ok;
}

bool BoxChecks::Run(QWidget* box)
{
    Entry* e = Find(box);
    return e ? RunEntry(*e) : true;
}

bool BoxChecks::RunAll()
{
    // A check that is already showing its message has not accepted its box yet.
    if (busy_) return false;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!RunEntry(entries_[i])) return false;
    }
    return true;
}

bool BoxChecks::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusOut && !busy_) {
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        QWidget* next = QApplication::focusWidget();
        const bool otherWindow = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                                 next == nullptr || next->window() != dialog_->window();
        const bool exempt =
            std::any_of(exempt_.begin(), exempt_.end(), [next](const QPointer<QWidget>& w) { return w == next; });
        if (!otherWindow && !exempt) {
            if (Entry* entry = Find(watched)) RunEntry(*entry);
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace tavrin
