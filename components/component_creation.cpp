#include "components/component_creation.h"

#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/creation_defaults.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/frame_picture.h"
#include "model/kind_table.h"

#include <QFile>

namespace Plumbrook::ComponentCreation {

QByteArray builtinPicture(const QString &fileName)
{
    if (fileName.isEmpty())
        return {};
    QFile file(QStringLiteral(":/pictures/") + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int create(DesignDocument *document, const QString &kind, const QPoint &at)
{
    return DesignOperations::add(document, kind, at);
}

} // namespace Plumbrook::ComponentCreation
