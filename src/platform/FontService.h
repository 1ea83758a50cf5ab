#pragma once
// Screen fonts by the names schedules store ("MS Sans Serif", "Small Fonts", "Arial", ...).
//
// Names resolve through fontconfig. A classic name with a stand-in installed here (Liberation
// Sans for Arial and the two bitmap faces, Liberation Serif and Mono for Times New Roman and
// Courier New) is reported as obtained under the requested name, so the program's font checks
// see what they expect. Sizes are realised in whole pixels of the screen, and the two bitmap
// faces only offer their own sizes; the size reported is the one obtained (8 points of
// "MS Sans Serif" at 96 DPI read back as 8.25).

#include <QFont>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

#include "platform/Result.h"

namespace tavrin {

// A font as asked for.
struct FontSpec {
    QString name;
    double size = 8;  // points
    bool bold = false;
    bool italic = false;
};

// A font as obtained: the Qt font to draw with and the name and size the program reads back.
struct ScreenFont {
    QFont font;
    QString name;
    double size = 8;
    bool bold = false;
    bool italic = false;
    int pixelSize = 11;
};

class FontService {
public:
    // dpi: the screen's logical dots per inch (vertical), 96 when not given.
    explicit FontService(int dpi = 0);

    int Dpi() const { return dpi_; }

    // The font obtained for a request. An empty name or a size outside 0 < size <= 2048 is an
    // error, as the platform's font call reports one; any other name gets a font.
    Result<ScreenFont> Resolve(const FontSpec& request) const;
    // True when a font of this name can be had: an installed family, or a classic name whose
    // stand-in is installed. Resolve gives any name a font; the printer accepts only these.
    bool Has(const QString& name) const;
    // Resolve for a name Has accepts, the name looked up once; nothing when Has refuses it or
    // Resolve fails.
    std::optional<ScreenFont> ResolveInstalled(const FontSpec& request) const;
    // The font used where nothing else was asked for: 8-point "MS Sans Serif".
    ScreenFont DefaultFont() const;

    // The point sizes a bitmap face offers (replaces the face's list; tests use it to model a
    // display where "Small Fonts" only has 6 points). An empty list makes the face scalable.
    void SetFaceSizes(const QString& face, std::vector<double> points);

    // The classic name a family stands in for ("Liberation Sans" is "Arial"), else the family.
    QString ClassicName(const QString& family) const;

    // Names of the installed screen fonts, with the classic names whose stand-ins are
    // installed.
    QStringList InstalledFamilies() const;

private:
    struct Face {
        QString name;                // spelling reported
        QString family;              // family drawn with
        std::vector<double> points;  // bitmap sizes; empty = scalable
    };
    const Face* FindFace(const QString& name) const;
    // Resolve with the request's trimmed name and the face found for it.
    Result<ScreenFont> ResolveFace(const FontSpec& request, const QString& name, const Face* face) const;
    int PixelsFor(double points) const;

    int dpi_;
    std::map<QString, Face> faces_;  // by upper-cased name
};

}  // namespace tavrin
