#include "support/FakeMsgBox.h"

namespace tavrin::test {

int FakeMsgBox::show(const QString& prompt, int flags, const QString& title)
{
    shown.push_back({prompt, flags, title.isEmpty() ? QStringLiteral("Tavrin") : title});
    if (onShow) onShow(shown.back());
    if (!answers_.empty()) {
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    switch (flags & 7) {
    case Mb::OKCancel: return Mb::OK;
    case Mb::AbortRetryIgnore: return Mb::Abort;
    case Mb::YesNoCancel:
    case Mb::YesNo: return Mb::Yes;
    case Mb::RetryCancel: return Mb::Retry;
    default: return Mb::OK;
    }
}

}  // namespace tavrin::test
