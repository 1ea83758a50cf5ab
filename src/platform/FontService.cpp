#include "platform/FontService.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <cmath>

namespace tavrin {

FontService::FontService(int dpi) : dpi_(dpi > 0 ? dpi : 96)
{
    const auto add = [this](const char* name, const char* family, std::vector<double> points) {
        Face f{QString::fromLatin1(name), QString::fromLatin1(family), std::move(points)};
        faces_[f.name.toUpper()] = f;
    };
    // Bitmap faces: only their own sizes.
    add("MS Sans Serif", "Liberation Sans", {8, 10, 12, 14, 18, 24});
    add("Small Fonts", "Liberation Sans", {2, 3, 4, 5, 6, 7});
    add("MS Serif", "Liberation Serif", {6, 7, 8, 10, 12, 14, 18, 24});
    // Metric-compatible stand-ins of the scalable classics.
    add("Arial", "Liberation Sans", {});
    add("Helvetica", "Liberation Sans", {});
    add("Times New Roman", "Liberation Serif", {});
    add("Times", "Liberation Serif", {});
    add("Courier New", "Liberation Mono", {});
    add("Courier", "Liberation Mono", {});
}

void FontService::SetFaceSizes(const QString& face, std::vector<double> points)
{
    auto it = faces_.find(face.trimmed().toUpper());
    if (it != faces_.end()) it->second.points = std::move(points);
}

const FontService::Face* FontService::FindFace(const QString& name) const
{
    auto it = faces_.find(name.toUpper());
    if (it == faces_.end()) return nullptr;
    if (!QFontDatabase::hasFamily(it->second.family)) return nullptr;
    return &it->second;
}

int FontService::PixelsFor(double points) const
{
    const long px = std::lround(points * dpi_ / 72.0);
    return px < 1 ? 1 : static_cast<int>(px);
}

Result<ScreenFont> FontService::Resolve(const FontSpec& request) const
{
    const QString name = request.name.trimmed();
    if (name.isEmpty()) return Status::error(QStringLiteral("No font name was given."));
    return ResolveFace(request, name, FindFace(name));
}

std::optional<ScreenFont> FontService::ResolveInstalled(const FontSpec& request) const
{
    const QString name = request.name.trimmed();
    if (name.isEmpty()) return std::nullopt;
    const Face* face = FindFace(name);
    if (!face && !QFontDatabase::hasFamily(name)) return std::nullopt;
    Result<ScreenFont> r = ResolveFace(request, name, face);
    if (!r) return std::nullopt;
    return std::move(r.value());
}

Result<ScreenFont> FontService::ResolveFace(const FontSpec& request, const QString& name, const Face* face) const
{
    if (!std::isfinite(request.size) || request.size <= 0 || request.size > 2048) {
        return Status::error(QStringLiteral("Font size %1 is outside the usable range.").arg(request.size));
    }

    ScreenFont out;
    int px = PixelsFor(request.size);
    QString family = name;
    if (face) {
        family = face->family;
        out.name = face->name;
        if (!face->points.empty()) {
            // The nearest size the face offers; the smaller one on a tie.
            int best = PixelsFor(face->points.front());
            for (double p : face->points) {
                const int cand = PixelsFor(p);
                if (std::abs(cand - px) < std::abs(best - px) ||
                    (std::abs(cand - px) == std::abs(best - px) && cand < best)) {
                    best = cand;
                }
            }
            px = best;
        }
    }

    QFont f(family);
    f.setPixelSize(px);
    f.setBold(request.bold);
    f.setItalic(request.italic);
    // Screen fonts are drawn crisp, pixel for pixel, as the bitmap faces they stand for.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    if (out.name.isEmpty()) out.name = QFontInfo(f).family();

    out.font = f;
    out.pixelSize = px;
    out.size = std::round(px * 72.0 / dpi_ * 100.0) / 100.0;
    out.bold = request.bold;
    out.italic = request.italic;
    return out;
}

bool FontService::Has(const QString& name) const
{
    const QString n = name.trimmed();
    if (n.isEmpty()) return false;
    return FindFace(n) != nullptr || QFontDatabase::hasFamily(n);
}

ScreenFont FontService::DefaultFont() const
{
    Result<ScreenFont> r = Resolve({QStringLiteral("MS Sans Serif"), 8, false, false});
    return r ? *r : ScreenFont{};
}

QString FontService::ClassicName(const QString& family) const
{
    // The scalable classic each family is first known as; the bitmap faces are never offered back.
    static const char* const preferred[] = {"Arial", "Times New Roman", "Courier New"};
    for (const char* name : preferred) {
        const Face* face = FindFace(QString::fromLatin1(name));
        if (face && face->family.compare(family, Qt::CaseInsensitive) == 0) return face->name;
    }
    return family;
}

QStringList FontService::InstalledFamilies() const
{
    QStringList names = QFontDatabase::families();
    for (const auto& [key, face] : faces_) {
        if (QFontDatabase::hasFamily(face.family) && !names.contains(face.name)) names << face.name;
    }
    return names;
}

}  // namespace tavrin
