// The updater the designer starts from "检测更新": it checks the maker's version file and
// points the user at the download page. It changes no file.
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
    window.show();
    window.check();
    return app.exec();
}
