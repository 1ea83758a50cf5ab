#include "printing/PublishFiles.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/AppPaths.h"
#include "platform/Cp1252.h"

namespace tavrin {

// ---------------------------------------------------------------- places

PublishPlaces PublishPlaces::ForProgram()
{
    PublishPlaces p;
    p.ProgramFolder = AppPaths::ProgramFolder();
    p.ResourceFolder = AppPaths::ResourceFolder();
    p.UserDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return p;
}

bool PublishPlaces::ProgramFolderWritable() const
{
    return ::access(QFile::encodeName(ProgramFolder).constData(), W_OK | X_OK) == 0;
}

QString PublishPlaces::DefaultFolder() const
{
    return (ProgramFolderWritable() ? ProgramFolder : UserDataFolder) + QStringLiteral("/INTERNET/");
}

QString PublishPlaces::FallbackFolder() const
{
    return ProgramFolderWritable() ? ProgramFolder + QLatin1Char('/') : DefaultFolder();
}

QString PublishPlaces::TemplatePath() const
{
    return ResourceFolder + QLatin1Char('/') + QLatin1String(PublishNames::kTemplateName);
}

QString PublishPlaces::ButtonPath(bool next) const
{
    return ResourceFolder + QLatin1Char('/') +
           QLatin1String(next ? PublishNames::kButtonNext : PublishNames::kButtonPrev);
}

// ---------------------------------------------------------------- names

namespace PublishNames {

namespace {

const QString& AllowedPrefixChars()
{
    static const QString chars = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890_-!@#$%^&()_-~`{}'");
    return chars;
}

// The files of a folder (not subfolders), symbolic links to files included.
QStringList FolderFiles(const QString& folder)
{
    if (folder.isEmpty()) return {};
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

bool IsButtonPicture(const QString& name)
{
    return name.compare(QLatin1String(kButtonPrev), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String(kButtonNext), Qt::CaseInsensitive) == 0;
}

}  // namespace

int PageDigits(int pageCount)
{
    if (pageCount <= 1) return 0;
    int digits = 0;
    for (int n = pageCount; n > 0; n /= 10) ++digits;
    return digits;
}

int PrefixLimit(int pageCount)
{
    return std::max(1, 8 - PageDigits(pageCount));
}

QString FilterPrefix(const QString& text, int limit)
{
    QString out;
    for (const QChar c : text) {
        if (out.size() >= limit) break;
        const QChar u = c.toUpper();
        if (AllowedPrefixChars().contains(u)) out += u;
    }
    return out;
}

QString PageFile(const QString& prefix, int page, int pageCount, bool upper, bool html)
{
    QString name = upper ? prefix.toUpper() : prefix.toLower();
    if (page > 1) name += QStringLiteral("%1").arg(page, PageDigits(pageCount), 10, QLatin1Char('0'));
    const QString ext = html ? QStringLiteral(".htm") : QStringLiteral(".gif");
    return name + (upper ? ext.toUpper() : ext);
}

QString ButtonName(bool next, bool upper)
{
    const QString name = QLatin1String(next ? kButtonNext : kButtonPrev);
    return upper ? name : name.toLower();
}

QStringList FileList(const QString& prefix, int pageCount, bool upper, bool withButtons)
{
    QStringList list;
    for (int p = 1; p <= pageCount; ++p) {
        list << PageFile(prefix, p, pageCount, upper, true) << PageFile(prefix, p, pageCount, upper, false);
    }
    if (withButtons) list << ButtonName(false, upper) << ButtonName(true, upper);
    return list;
}

bool HasButtonPictures(const QString& folder)
{
    const QStringList files = FolderFiles(folder);
    return std::any_of(files.begin(), files.end(), [](const QString& f) {
        return f.size() == 12 && f.startsWith(QLatin1String("qv_but_"), Qt::CaseInsensitive) &&
               f.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
    });
}

QString FindInFolder(const QString& folder, const QString& name)
{
    const QStringList files = FolderFiles(folder);
    // The exact spelling first, should the folder hold more than one.
    if (files.contains(name)) return name;
    for (const QString& f : files) {
        if (f.compare(name, Qt::CaseInsensitive) == 0) return f;
    }
    return {};
}

void EraseFolder(const QString& folder)
{
    for (const QString& f : FolderFiles(folder)) {
        const bool page = f.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
                          f.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
        if (page && !IsButtonPicture(f)) QFile::remove(folder + f);
    }
}

}  // namespace PublishNames

// ---------------------------------------------------------------- the HTML of a page

namespace {

QByteArray EscapedText(const QString& text)
{
    QString t;
    t.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '&':
                t += QStringLiteral("&amp;");
                break;
            case '<':
                t += QStringLiteral("&lt;");
                break;
            case '>':
                t += QStringLiteral("&gt;");
                break;
            case '"':
                t += QStringLiteral("&quot;");
                break;
            case '\'':
                t += QStringLiteral("&#39;");
                break;
            default:
                t += c;
        }
    }
    return StringToCp1252(t);
}

// Names are made of the prefix's characters, digits and the extension; those that would end or
// change a link are encoded.
QByteArray EncodedName(const QString& name)
{
    const QByteArray bytes = StringToCp1252(name);
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
            case '#':
            case '%':
            case '&':
            case '\'':
            case '{':
            case '}':
            case '^':
            case '`':
                out += '%';
                out += QByteArray::number(static_cast<unsigned char>(c), 16).toUpper();
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Replaces the first occurrence of word with text; false when the line has no such word.
bool ReplaceFirst(QByteArray& line, const char* word, const QByteArray& text)
{
    const qsizetype at = line.indexOf(word);
    if (at < 0) return false;
    line.replace(at, static_cast<qsizetype>(std::strlen(word)), text);
    return true;
}

// True when the line is kept; the first rule that applies has been applied to it.
bool ApplyRules(QByteArray& line, const PageHtml& p)
{
    const bool several = p.PageCount > 1;
    if (several && line.contains("PAGERANGE")) return false;
    if (ReplaceFirst(line, "RANGETEXT", EscapedText(QStringLiteral("- page %1 of %2").arg(p.Page).arg(p.PageCount))))
        return true;
    if (ReplaceFirst(line, "SCHEDULEHEAD", EscapedText(p.Title))) return true;
    if (ReplaceFirst(line, "PAGE.GIF", EncodedName(p.Picture))) return true;
    if (ReplaceFirst(line, "NEXT.HTM", EncodedName(p.Next))) return true;
    if (ReplaceFirst(line, "PREV.HTM", EncodedName(p.Prev))) return true;
    if (!several) return true;
    if (p.Page == 1) return !line.contains("NEXTONLY");
    if (p.Page == p.PageCount) return !line.contains("PREVONLY");
    return !line.contains("NEXTPREV");
}

}  // namespace

QByteArray BuildPageHtml(const QByteArray& templ, const PageHtml& page)
{
    QByteArray out;
    out.reserve(templ.size() + 256);
    const std::pair<const char*, QByteArray> buttons[] = {
        {"qv_but_p.gif", StringToCp1252(page.ButtonPrev)},
        {"qv_but_n.gif", StringToCp1252(page.ButtonNext)},
    };
    const qsizetype size = templ.size();
    qsizetype at = 0;
    while (at < size) {
        qsizetype end = at;
        while (end < size && templ[end] != '\r' && templ[end] != '\n') ++end;
        QByteArray line = templ.mid(at, end - at);
        at = end;
        if (at < size) at += (templ[at] == '\r' && at + 1 < size && templ[at + 1] == '\n') ? 2 : 1;

        // Button references, in any letter case, take the name the published file has (toLower
        // changes ASCII letters only, so positions match).
        for (const auto& [word, name] : buttons) {
            if (name.isEmpty()) continue;
            const qsizetype i = line.toLower().indexOf(word);
            if (i >= 0) line.replace(i, static_cast<qsizetype>(std::strlen(word)), name);
        }
        if (ApplyRules(line, page)) {
            out += line;
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace tavrin
