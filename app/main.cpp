#include "canvas/main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plumbrook"));
    // Closing the window only hides it; the process ends through "退出软件".
    QApplication::setQuitOnLastWindowClosed(false);

    Plumbrook::MainWindow window;
    window.show();
    return app.exec();
}
