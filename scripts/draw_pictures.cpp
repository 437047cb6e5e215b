// Draws the program's own built-in pictures into the folder given on the
// command line. Run: QT_QPA_PLATFORM=offscreen build/bin/draw_pictures resources/pictures
// scripts/draw_pictures.sh also passes a second folder for the GIF pictures' sources.
// With --icons THEME_DIR it draws the icons a desktop shows instead (packaging/icons/hicolor).
#include "component_pictures.h"
#include "program_icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2 || (argc < 3 && qstrcmp(argv[1], "--icons") == 0)) {
        std::fprintf(stderr, "usage: draw_pictures OUTPUT_DIR [GIF_SOURCES_DIR]\n"
                             "       draw_pictures --icons THEME_DIR\n");
        return 64;
    }
    if (qstrcmp(argv[1], "--icons") == 0)
        return drawThemeIcons(QDir(QString::fromLocal8Bit(argv[2]))) ? 0 : 1;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    bool ok = true;
    ok &= programIcon(64).save(out.filePath(QStringLiteral("icon.png")));
    ok &= drawComponentPictures(out, argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    return ok ? 0 : 1;
}
