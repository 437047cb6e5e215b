#include "canvas/interface_fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace Plumbrook {

void InterfaceFonts::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
#ifdef Q_OS_WIN
    // Windows has the face, or one of its own that it puts in its place.
    return;
#endif

    // Where the face the controls name is missing, fontconfig would answer each text
    // with a Latin face and search every font for the Chinese in it: dear on the first
    // window, and two faces in one line. A Chinese face draws both, as the named one
    // does where it is installed. The families are taken as listed, since asking for a
    // missing one by name has fontconfig look for an alias of it.
    const QStringList families = QFontDatabase::families();
    const QString controls = QStringLiteral("微软雅黑");
    if (families.contains(controls))
        return;
    const QStringList standIns = {
        QStringLiteral("Microsoft YaHei"),     QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),  QStringLiteral("Noto Sans SC"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
    };
    QStringList present;
    for (const QString &family : standIns) {
        if (families.contains(family))
            present.append(family);
    }
    if (present.isEmpty())
        return;
    QFont::insertSubstitutions(controls, present);
    // The controls that name no face (menus, tabs, the table) in the same one.
    QFont font = QApplication::font();
    font.setFamilies(present);
    QApplication::setFont(font);
}

} // namespace Plumbrook
