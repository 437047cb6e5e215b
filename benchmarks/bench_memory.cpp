// Peak memory of the designer holding 1,000 components, against the empty designer.
#include "canvas/design_canvas.h"
#include "canvas/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/kind_table.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace Plumbrook;

namespace {

// The process's peak resident set, in kilobytes.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

// Each figure comes from a fresh process, so that one design's peak cannot hide the other's.
int runChild(int components, int argc, char **argv)
{
    QApplication app(argc, argv);
    MainWindow window;
    window.setScreenSizeOverride(QSize(1366, 768));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    DesignCanvas *canvas = window.canvas();
    for (int i = 0; i < components; ++i) {
        canvas->addPictureComponent(KindTable::nameOf(KindTable::Kind::Picture), makeFramePicture(20, 20, i, i), 0, 50, 24);
        canvas->pictureObjects().constLast()->move(10 + (i % 50) * 58, 10 + (i / 50) * 27);
    }
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
    std::printf("%ld\n", peakKilobytes());
    return 0;
}

double medianPeakMegabytes(const QString &self, int components)
{
    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        child.start(self, {QStringLiteral("--child"), QString::number(components)});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
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
        return runChild(std::atoi(argv[2]), argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const double full = medianPeakMegabytes(self, 1000);
    const double empty = medianPeakMegabytes(self, 0);
    std::printf("peak memory, 1000 components: %.1f MB (empty designer: %.1f MB)\n", full, empty);
    std::printf("BENCH|peak memory, 1000 components|%.1f MB|empty designer %.1f MB\n", full, empty);
    return full > 0 && empty > 0 ? 0 : 1;
}
