// A design at scale: the threads alive while the previews of 1,000 pictures
// arrive, and putting 10,000 components (500 of every kind, 5,000 of them
// previewed) into the window, with the longest stall of the UI thread while their
// pictures come in.
// The picture server runs in a child process, so that its threads are not counted.
#include "bench_setup.h"
#include "stall_watch.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/preview_download.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/design_file.h"

#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

using namespace Plumbrook;

namespace {

constexpr auto kServerDelay = std::chrono::milliseconds(50);

int serve()
{
    const QByteArray png = makeFramePicture(24, 24, 0x3366CC, 0x3366CC);
    httplib::Server server;
    server.Get(".*", [&png](const httplib::Request &, httplib::Response &response) {
        std::this_thread::sleep_for(kServerDelay);
        response.set_content(png.toStdString(), "image/png");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::printf("%d\n", port);
    std::fflush(stdout);
    // Ends with the parent: its end of the pipe closes.
    std::thread watch([&server] {
        char c;
        while (std::fread(&c, 1, 1, stdin) == 1) {
        }
        server.stop();
    });
    server.listen_after_bind();
    watch.join();
    return 0;
}

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

struct Watch
{
    double firstTurnMs = 0;      // the first turn after the design was put in
    double longestStallMs = 0;   // every turn after it
    int mostThreads = 0;
};

// Runs the event loop until `done` holds (or two minutes pass), noting the longest
// gap between two ticks of a 1 ms timer and the most threads alive.
// The first turn of the event loop after a design is put in draws it and runs what the
// load posted: part of opening, measured apart from the arrivals that follow.
Watch watchUntil(const std::function<bool()> &done)
{
    Watch watch;
    {
        StallWatch first([&] { watch.mostThreads = std::max(watch.mostThreads, threadCount()); });
        first.runOneMoreTick();
        watch.firstTurnMs = first.longestMs();
    }
    StallWatch stalls([&] { watch.mostThreads = std::max(watch.mostThreads, threadCount()); });
    stalls.runUntil(done, 120000);
    watch.longestStallMs = stalls.longestMs();
    return watch;
}

int previewCount(const DesignFile::Design &design)
{
    int count = 0;
    for (int row = 1; row < design.rows.size(); ++row) {
        // The carousels here are numbered by their rows.
        if (!DesignLoader::previewUrl(design.rows.at(row), design.carousels.value(row)).isEmpty())
            ++count;
    }
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "--serve") == 0)
        return serve();

    QApplication app(argc, argv);
    QTemporaryDir programDir;
    ProgramDir::setOverride(programDir.path());

    QProcess server;
    server.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--serve")});
    if (!server.waitForReadyRead(10000))
        return 1;
    const QString base = QStringLiteral("http://127.0.0.1:") + QString::fromLatin1(server.readLine().trimmed());

    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    DesignCanvas *canvas = window.canvas();

    // 1,000 pictures.
    const DesignFile::Design pictures =
        BenchSetup::largeDesign(1000, {.previewBase = base, .picturesOnly = true});
    const int before = threadCount();
    QElapsedTimer timer;
    timer.start();
    BenchSetup::loadAndWait(canvas, pictures);
    const double picturesLoadMs = timer.nsecsElapsed() / 1e6;
    const Watch picturesWatch = watchUntil([] { return PreviewDownload::pending() == 0; });
    std::printf("opening 1,000 picture components: at most %d threads alive (%d before)\n",
                picturesWatch.mostThreads, before);
    std::printf("BENCH|most threads alive opening 1,000 picture components|%d|%d before opening\n",
                picturesWatch.mostThreads, before);

    // 10,000 components.
    const DesignFile::Design large = BenchSetup::largeDesign(500, {.previewBase = base});
    timer.restart();
    BenchSetup::loadAndWait(canvas, large);
    const double openMs = timer.nsecsElapsed() / 1e6;
    const Watch largeWatch = watchUntil([] { return PreviewDownload::pending() == 0; });
    const double arrivedS = timer.nsecsElapsed() / 1e9;
    std::printf("putting %d components (%d previews) into the window: %.0f ms, its first turn of the "
                "event loop %.1f ms; the pictures arrived within %.1f s, the UI thread stalling at "
                "most %.1f ms after that first turn, %d threads at most\n",
                int(large.rows.size() - 1), previewCount(large), openMs, largeWatch.firstTurnMs,
                arrivedS, largeWatch.longestStallMs, largeWatch.mostThreads);
    std::printf("BENCH|put a 10000-component design into the window (no file read)|%.0f ms|"
                "1000 picture components %.0f ms\n", openMs, picturesLoadMs);
    std::printf("BENCH|longest UI stall while 5000 pictures arrive|%.1f ms|1000 pictures %.1f ms\n",
                largeWatch.longestStallMs, picturesWatch.longestStallMs);
    std::printf("BENCH|first turn of the event loop after putting 10000 components in|%.1f ms|"
                "1000 picture components %.1f ms\n",
                largeWatch.firstTurnMs, picturesWatch.firstTurnMs);
    std::printf("BENCH|most threads alive while 5000 pictures arrive|%d|-\n", largeWatch.mostThreads);

    server.closeWriteChannel();
    server.waitForFinished(5000);
    return 0;
}
