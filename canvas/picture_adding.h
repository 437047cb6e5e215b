#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace Plumbrook {

class DesignCanvas;

// Adds a picture component with given cells, the one way pictures dropped or pasted
// onto the canvas come into the design.
namespace PictureAdding {

// A picture component ("图片", with its kind's default cells) taking `cells` (by
// ComponentTable column; 左边 and 顶边 place it on the module) and showing `bytes`, as
// one step "添加图片", or as part of the step being recorded. Returns its row.
int addPicture(DesignCanvas *canvas, const QHash<int, QString> &cells, const QByteArray &bytes);

} // namespace PictureAdding
} // namespace Plumbrook
