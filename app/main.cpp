#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "model/background_work.h"
#include "net/announcements.h"
#include "net/update_check.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Ends the process without the libraries' own teardown. On Windows a name lookup the
// network library left running can hold a lock that teardown then waits for, for ever.
[[noreturn]] void endNow(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef Q_OS_WIN
    TerminateProcess(GetCurrentProcess(), UINT(code));
#endif
    std::_Exit(code);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumbrook"));
    QApplication::setApplicationVersion(Plumbrook::UpdateCheck::kVersion.mid(1));
    // Closing the window only hides it; the process ends through "退出软件".
    QApplication::setQuitOnLastWindowClosed(false);

    // A design file to open, as a file manager passes it on a double-click.
    QCommandLineParser parser;
    parser.setApplicationDescription(Plumbrook::UpdateCheck::kProductName);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("设计文件 (*.plbd)"),
                                 QStringLiteral("[file]"));
    // For checks of an installed copy: after the first turn of the event loop, print the
    // design file that is open (an empty line for none) and the status line, then leave
    // as "退出软件" does.
    QCommandLineOption quitAfterStart(QStringLiteral("quit-after-start"));
    quitAfterStart.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(quitAfterStart);
    parser.process(app);

    int code = 0;
    {
        // The announcements arrive while the window is being built.
        Plumbrook::Announcements::startRead();
        Plumbrook::MainWindow window;
        window.show();
        const QString fileToOpen = parser.positionalArguments().isEmpty()
            ? QString()
            : QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
        window.fileMenu()->startSession(fileToOpen);
        if (fileToOpen.isEmpty())
            window.showInitialModule();
        else
            window.fileMenu()->openFile(fileToOpen);

        if (parser.isSet(quitAfterStart)) {
            QTimer::singleShot(0, &window, [&window] {
                const QString report = window.fileMenu()->currentPath() + u'\n' + window.statusText() + u'\n';
                std::fputs(report.toUtf8().constData(), stdout);
                std::fflush(stdout);
                window.exitProgram();
            });
        }
        code = app.exec();
        // A write stuck on a slow disk must not hold the process: what it was writing is
        // recovered from the last autosave at the next start.
        if (!Plumbrook::BackgroundWork::waitForIdle(200))
            endNow(code);
    }
#ifdef Q_OS_WIN
    // What the window's going wrote is written; nothing the libraries do after is needed.
    Plumbrook::BackgroundWork::waitForIdle(200);
    endNow(code);
#endif
    return code;
}
