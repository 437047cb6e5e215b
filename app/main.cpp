#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "net/announcements.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumbrook"));
    // Closing the window only hides it; the process ends through "退出软件".
    QApplication::setQuitOnLastWindowClosed(false);

    // The announcements arrive while the window is being built.
    Plumbrook::Announcements::startRead();
    Plumbrook::MainWindow window;
    window.show();
    window.fileMenu()->startSession();
    return app.exec();
}
