// The longest stall of the UI thread's event loop while an editor's preview
// download waits on a loopback server that answers after 5 seconds, against the
// same event loop left idle for as long.
#include "bench_setup.h"
#include "stall_watch.h"
#include "canvas/design_canvas.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/preview_download.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/raw_http_server.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace Plumbrook;

namespace {

constexpr auto kServerDelay = std::chrono::milliseconds(5000);

// Runs the event loop until `done` holds (or a minute passes) and returns the
// longest gap between two ticks of a 1 ms timer, in milliseconds.
double longestStallMs(const std::function<bool()> &done)
{
    StallWatch watch;
    watch.runUntil(done);
    return watch.longestMs();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    MainWindow window;
    if (!BenchSetup::showOnScreen(window))
        qWarning("The window was never shown");
    DesignCanvas *canvas = window.canvas();
    const int row = Test::addPicture(canvas, KindTable::nameOf(KindTable::Kind::Picture), makeFramePicture(20, 20, 0, 0),
                                                0, 100, 100);
    const QString id = canvas->table()->cell(row, ComponentTable::Id);

    const QByteArray picture = makeFramePicture(100, 100, 0x336699, 0x336699);
    Test::RawHttpServer server("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: "
                                   + QByteArray::number(picture.size()) + "\r\nConnection: close\r\n\r\n"
                                   + picture,
                               kServerDelay);

    QElapsedTimer waited;
    waited.start();
    PreviewDownload::start(canvas, id, server.url(QStringLiteral("/picture.png")));
    const double stall = longestStallMs([] { return PreviewDownload::pending() == 0; });
    const double downloadMs = waited.elapsed();

    QElapsedTimer idleClock;
    idleClock.start();
    const double idle = longestStallMs([&] { return idleClock.elapsed() >= downloadMs; });

    std::printf("preview download from a 5 s server: longest UI stall %.1f ms over %.0f ms "
                "(idle event loop: %.1f ms)\n", stall, downloadMs, idle);
    std::printf("BENCH|longest UI stall, preview download waiting 5 s (< 50 ms)|%.1f ms|idle event loop %.1f ms\n",
                stall, idle);
    return stall < 50.0 && downloadMs >= 4900 ? 0 : 1;
}
