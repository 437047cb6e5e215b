#pragma once

#include <QDir>
#include <QImage>

// The program's icon and the icon of its design files, at any square size.
QImage programIcon(int size);
QImage designFileIcon(int size);
// Both icons at every size a desktop asks for, in the folders of an icon theme:
// <N>x<N>/apps/plumbrook.png and <N>x<N>/mimetypes/application-x-plumbrook-design.png.
bool drawThemeIcons(const QDir &themeDir);
