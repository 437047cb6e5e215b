// Peak memory of the designer holding 1,000 components and while opening a file of
// 10,000 components, against the empty designer.
#include "bench_setup.h"
#include "canvas/file_menu.h"
#include "canvas/preview_download.h"
#include "model/program_dir.h"
#include "model/background_work.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace Plumbrook;

namespace {

// What a child process holds when its peak is read.
enum class Load {
    Empty,
    Pictures,      // 1,000 picture components added one by one
    LargeFile,     // a file of 10,000 components of every kind opened, its previews arrived
};

// Each figure comes from a fresh process, so that one design's peak cannot hide the other's.
int runChild(Load load, int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    MainWindow window;
    window.fileMenu()->setDataDir(dir.path());
    if (!BenchSetup::showOnScreen(window))
        return 1;
    if (load == Load::Pictures)
        BenchSetup::addPictureGrid(window.canvas(), 1000);
    if (load == Load::LargeFile) {
        const QString path = dir.filePath(QStringLiteral("large.plbd"));
        if (!DesignFile::writeFile(path, BenchSetup::largeDesign(500)))
            return 1;
        // The previews bench_scale's server sends, at once and without a server.
        const QByteArray preview = makeFramePicture(24, 24, 0x3366CC, 0x3366CC);
        window.fileMenu()->setPreviewFetch([preview](const QString &) { return preview; });
        if (!window.fileMenu()->openFile(path))
            return 1;
        while (window.fileMenu()->openingProgress() || PreviewDownload::pending() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
    const long peak = BenchSetup::peakKilobytes();
    // Opening writes the carousels' settings files on the files lane: they are to be
    // written before their folder and the process go.
    window.fileMenu()->finishWrites();
    BackgroundWork::waitForIdle();
    std::printf("%ld\n", peak);
    std::fflush(stdout);
    return 0;
}

double medianPeakMegabytes(const QString &self, Load load)
{
    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        child.start(self, {QStringLiteral("--child"), QString::number(int(load))});
        if (!child.waitForFinished(300000) || child.exitCode() != 0)
            return -1;
        peaks.push_back(child.readAllStandardOutput().trimmed().toDouble() / 1024.0);
    }
    std::sort(peaks.begin(), peaks.end());
    return peaks[peaks.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(Load(std::atoi(argv[2])), argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const double full = medianPeakMegabytes(self, Load::Pictures);
    const double empty = medianPeakMegabytes(self, Load::Empty);
    const double large = medianPeakMegabytes(self, Load::LargeFile);
    std::printf("peak memory, 1000 components: %.1f MB; opening a file of 10000 components: %.1f MB "
                "(empty designer: %.1f MB)\n", full, large, empty);
    std::printf("BENCH|peak memory, 1000 components|%.1f MB|empty designer %.1f MB\n", full, empty);
    std::printf("BENCH|peak memory while opening 10000 components|%.1f MB|empty designer %.1f MB; "
                "goal 300 MB\n", large, empty);
    return full > 0 && empty > 0 && large > 0 ? 0 : 1;
}
