#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace Plumbrook {

// Everything the program knows about each kind of component, in one place: its
// name, how the palette creates it, where its preview picture comes from and
// which built-in picture it shows before that.
//
// Code generation adds how each kind's code is filled (FillRules::of), the user
// interface the editor window, both keyed by the same kind.
namespace KindTable {

enum class Kind {
    Picture, Hotspot, Swap, Zoom, Carousel, Text, Flash, Search, Video,
    Countdown, Favourite, Share, QrCode, Cart, Like, Follow, Service, ChatGroup,
};

// Where the address of a kind's preview picture is kept.
enum class PreviewSource {
    None,                  // the kind keeps its built-in picture
    Column,                // a cell of its row (previewColumn)
    FirstCarouselPicture,  // the first picture of the carousel's settings
};

struct KindInfo
{
    Kind kind;
    QString name;      // written to 备注
    QString caption;   // palette button caption
    QString button;    // palette button's objectName
    // The built-in picture file; the hotspot draws a frame instead, the text kind is a label.
    QString picture;
    int width = 0;
    int height = 0;
    QList<std::pair<int, QString>> cells;   // column → text, written after the add
    PreviewSource preview = PreviewSource::None;
    int previewColumn = -1;
    // The preview comes by site request (without the site's cookies), not plain download.
    bool previewBySiteRequest = false;
};

// Every kind in palette order (left column before right, top to bottom).
const QList<KindInfo> &all();
// nullptr for a name that is none of the kinds (a carousel's arrows, unknown texts).
const KindInfo *find(const QString &name);
const KindInfo &of(Kind kind);
inline const QString &nameOf(Kind kind) { return of(kind).name; }
bool is(const QString &name, Kind kind);
// The z-index the kind's template gives its outer element, which no row order can
// overcome; 0 for a name that is none of the kinds.
int zIndexOf(Kind kind);
int zIndexOf(const QString &name);

// The address the kind's preview picture comes from for these cells, or empty;
// `carouselSetting` answers a key of the carousel's settings.
QString previewUrl(const QStringList &cells,
                   const std::function<QString(const QString &key)> &carouselSetting);

// The frame the hotspot shows on the canvas, in 0xBBGGRR.
inline constexpr quint32 kHotspotColour = 0xFF00FF;

} // namespace KindTable
} // namespace Plumbrook
