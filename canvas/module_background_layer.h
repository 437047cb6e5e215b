#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace Plumbrook {

class DesignCanvas;

// Renders the module background object from the module record: a colour block of
// the module's size or the downloaded background picture, fetched in the background.
class ModuleBackgroundLayer
{
public:
    // Snapshots the module record, starts one worker and returns at once. The
    // worker only downloads and decodes; the picture, the record's size cells, the
    // object's position and the status texts are written on the canvas's thread;
    // `applied` runs there right after them.
    static void render(DesignCanvas *canvas, const std::function<void()> &applied = {});

    // The URL the picture is fetched from, or an empty text when the record's
    // picture names no URL and the colour block is drawn instead.
    static QString fetchUrl(const QString &picture);

    // Workers started whose results have not yet been applied.
    static int runningWorkers();

    // Keeps the picture shown now as the one of the module record's current cells.
    static void remember(DesignCanvas *canvas);
    // Shows the picture kept or rendered for the module record's cells, at once and
    // in place of any still on its way; false when there is none.
    static bool showCached(DesignCanvas *canvas);
    // The canvas took another design: workers started for it until now are only kept
    // when they arrive, so that the old design's module cannot land on the new one.
    static void forgetRunning(DesignCanvas *canvas);

private:
    // The module record's cells the rendering starts from.
    struct Request
    {
        QString picture;
        QString width;
        QString height;
        QString colour;
    };

    static Request requestOf(const DesignCanvas *canvas);
    static QString keyOf(const Request &request);

    // The picture of a request, decoded; null when it cannot be had. Blocking.
    static QImage producePicture(const Request &request);
    static void apply(DesignCanvas *canvas, const QImage &picture);
};

} // namespace Plumbrook
