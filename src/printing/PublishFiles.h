#pragma once
// The files of a published report: per page an HTML file made from the template "QORHTML.TMP"
// and a GIF picture, named after a short prefix, plus the two navigation button pictures. These
// are the rules the Publish dialog and the preview window share; they take data, never widgets.
//
// Folder names end with "/". Names in a folder are matched whatever their letter case.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavrin {

// Where publishing finds its template and buttons and where it publishes by default.
struct PublishPlaces {
    QString ProgramFolder;   // without a trailing "/"
    QString ResourceFolder;  // the template and the button pictures shipped with the program
    QString UserDataFolder;  // the user's own data folder, without a trailing "/"

    // The running program's folders.
    static PublishPlaces ForProgram();

    // "INTERNET/" in the program folder, or in the user's data folder when the program folder
    // cannot be written.
    QString DefaultFolder() const;
    // Where a folder that does not exist falls back to: the program folder, or the default
    // folder when the program folder cannot be written.
    QString FallbackFolder() const;
    QString TemplatePath() const;
    // The shipped previous (next = false) or next button picture.
    QString ButtonPath(bool next) const;

private:
    bool ProgramFolderWritable() const;
};

namespace PublishNames {

inline constexpr char kTemplateName[] = "QORHTML.TMP";
inline constexpr char kButtonPrev[] = "QV_BUT_P.GIF";
inline constexpr char kButtonNext[] = "QV_BUT_N.GIF";

// Digits of the page number in page names: none for one page, else as many as the page count
// has (1 for 2 to 9 pages, 2 for 10 to 99, 3 for 100 to 999).
int PageDigits(int pageCount);
// The longest prefix, so that prefix and page number never pass 8 characters (at least 1).
int PrefixLimit(int pageCount);
// Each character upper-cased and kept when it is one of the allowed set, up to limit characters.
QString FilterPrefix(const QString& text, int limit);

// The HTML (html = true) or picture file of page p.
QString PageFile(const QString& prefix, int page, int pageCount, bool upper, bool html);
// The dialog's list: HTML and picture file of each page, then the two buttons when wanted.
QStringList FileList(const QString& prefix, int pageCount, bool upper, bool withButtons);
// A button picture's name in the chosen letter case.
QString ButtonName(bool next, bool upper);

// True when the folder holds a file matching "qv_but_?.gif" in any letter case.
bool HasButtonPictures(const QString& folder);
// The spelling on disk of a file of the folder that matches name in any letter case; "" when
// there is none.
QString FindInFolder(const QString& folder, const QString& name);
// Deletes every .htm and .gif file of the folder (any letter case) but the two button pictures;
// files that cannot be deleted are left.
void EraseFolder(const QString& folder);

}  // namespace PublishNames

// One page's HTML from the template.
struct PageHtml {
    int Page = 1;
    int PageCount = 1;
    QString Title;
    QString Picture;  // this page's picture file
    QString Next;     // the next page's HTML file, "" on the last page
    QString Prev;     // the previous page's HTML file, "" on the first page
    // How the button pictures are named in the published folder; a template's reference to a
    // button, in any letter case, is written so (nothing changes where these are empty).
    QString ButtonPrev;
    QString ButtonNext;
};

// The template's lines (ended by CR, LF or CR LF) turned into the page: on each line the first
// rule that applies, and only that one, is applied; every line kept ends with CR LF. The
// template's bytes are kept as they are; the title goes in as Windows-1252 with & < > " '
// escaped, file names with # % & ' { } ^ and ` percent-encoded.
QByteArray BuildPageHtml(const QByteArray& templ, const PageHtml& page);

}  // namespace tavrin
