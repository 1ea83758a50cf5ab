// Any bytes as the HTML template of published pages, made into the first, middle and last page
// of a three-page report and into a one-page report, with a title that needs escaping and names
// that need encoding. Every line of a page must end in CR LF.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "printing/PublishFiles.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray templ = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const auto& [page, count] : {std::pair{1, 3}, std::pair{2, 3}, std::pair{3, 3}, std::pair{1, 1}}) {
        PageHtml p;
        p.Page = page;
        p.PageCount = count;
        p.Title = QStringLiteral("Night & Day <\"Staff\"> 'A' \u00e9");
        p.Picture = QStringLiteral("s#%&'{}^`%1.gif").arg(page);
        p.Next = page < count ? QStringLiteral("s#%&'{}^`%1.htm").arg(page + 1) : QString();
        p.Prev = page > 1 ? QStringLiteral("s#%&'{}^`%1.htm").arg(page - 1) : QString();
        p.ButtonPrev = QStringLiteral("QV_BUT_P.GIF");
        p.ButtonNext = QStringLiteral("qv_but_n.gif");
        const QByteArray out = BuildPageHtml(templ, p);
        for (qsizetype i = 0; i < out.size(); ++i) {
            const bool crOk = out[i] != '\r' || (i + 1 < out.size() && out[i + 1] == '\n');
            const bool lfOk = out[i] != '\n' || (i > 0 && out[i - 1] == '\r');
            if (!crOk || !lfOk) std::abort();
        }
        if (!out.isEmpty() && !out.endsWith("\r\n")) std::abort();
    }
    return 0;
}
