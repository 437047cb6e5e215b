// The updater the designer starts from "检测更新": it checks the maker's version file,
// points the user at the download page and, where the program's folder may be written,
// replaces the program with the newer version in place.
#include "net/updater_token.h"
#include "tools/updater/updater_window.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.at(1) != Plumbrook::updaterToken()) {
        std::fputs("This updater is started by the designer's \"检测更新\".\n", stderr);
        return 2;
    }
    // The designer starts it in the folder it wrote gx.ini into, which is the updater's
    // own folder unless the updater came installed in a folder of its own.
    const QString settingsPath = QDir::current().filePath(QStringLiteral("gx.ini"));
    Plumbrook::Updater::UpdaterWindow window(Plumbrook::Updater::readUpdateSettings(settingsPath));
    // For shops that keep many machines up to date from a script: install what is newer,
    // then leave with 0 when up to date or updated.
    if (arguments.contains(QStringLiteral("--unattended"))) {
        window.setUnattended(true);
        QObject::connect(&window, &Plumbrook::Updater::UpdaterWindow::concluded, &app,
                         [](bool ok) { QCoreApplication::exit(ok ? 0 : 1); });
    }
    window.show();
    window.check();
    return app.exec();
}
