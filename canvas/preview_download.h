#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace Plumbrook {

class DesignCanvas;
class PictureCache;

// Fetches an editor's preview picture off the user-interface thread and puts it
// on the edited component's canvas object when it arrives.
namespace PreviewDownload {

// A blocking fetch of one URL returning the body (empty on failure).
using Fetch = std::function<QByteArray(const QString &url)>;

// Returns at once. The fetch (by default the plain download through the disk cache,
// whose copy is shown at once and asked about in the background) runs on a worker
// thread; its body, whatever it is, becomes the picture of the canvas object
// with `componentId` through DesignCanvas::setObjectPicture, on the canvas's
// thread. A component deleted meanwhile, or a canvas destroyed, is skipped, and
// of several downloads for one component only the latest started one lands. The
// object is marked as showing `url` from the start.
void start(DesignCanvas *canvas, const QString &componentId, const QString &url,
           Fetch fetch = {});

// How the kind's preview pictures are fetched: by site request without the site's
// cookies where the kind says so, otherwise empty: the plain download through the cache.
Fetch fetchOf(const QString &kind);

// The disk cache plain downloads go through (by default the per-user one; none: null).
void setDiskCache(PictureCache *cache);
PictureCache *diskCache();
// Addresses are asked about again when next shown (the cache was emptied).
void forgetRevalidations();
// `url` is asked about again when next shown: the user gave it once more.
void forgetRevalidation(const QString &url);

// Downloads on their way are skipped when they arrive: the design they were
// started for was replaced as a whole, and its ids may name other components now.
void discardPending();

// Downloads started and not yet delivered or skipped (for tests and shutdown).
int pending();

// The body last downloaded from `url` in this run, or empty; undo and redo show
// pictures from here instead of fetching them again.
QByteArray cached(const QString &url);
// Keeps `bytes` as the body of `url` for cached().
void remember(const QString &url, const QByteArray &bytes);

// The bytes of a local file address ("file:///…"), read on the calling thread; empty when
// it is no local file, unreadable, or larger than a download may be.
QByteArray readLocalFile(const QString &url);

} // namespace PreviewDownload
} // namespace Plumbrook
