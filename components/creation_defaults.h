#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace Plumbrook {

// What a new component of each kind starts with: its size, its built-in
// picture and the texts written into its row, plus the sample addresses
// those texts point at.
namespace CreationDefaults {

// Sample content on the marketplace's hosts that new components point at. The
// flash movie is the first preset effect (PresetUrls) and the carousel's samples
// live with its settings file (CarouselSettings).
QString itemId();
QString itemPageUrl();          // ends in "id=" + itemId()
QString imageUrl();             // 图片
QString swapFrontUrl();         // 换图
QString swapHoverUrl();
QString zoomImageUrl();         // 放大
QString videoPlayerUrl();
QString countdownBackgroundUrl();
QString favouriteBadgeUrl();
QString shareIconUrl();
QString qrImageUrl();           // query pairs joined by "&amp;"
QString cartIconUrl();
QString followIconUrl();
QString avatarUrl();
QString groupBadgeUrl();

struct KindDefaults
{
    QString kind;      // kind name written to 备注
    QString caption;   // palette button caption
    QString button;    // palette button's objectName
    QString picture;   // built-in picture file, empty when the kind has none of its own
    int width = 0;
    int height = 0;
    QList<std::pair<int, QString>> cells;   // column → text, written after the add
};

// Every kind in palette order (left column before right, top to bottom).
const QList<KindDefaults> &all();
// nullptr for a kind name the palette does not create (the arrows, unknown texts).
const KindDefaults *find(const QString &kind);

inline constexpr int ArrowSize = 40;
QString leftArrowPicture();
QString rightArrowPicture();

} // namespace CreationDefaults
} // namespace Plumbrook
