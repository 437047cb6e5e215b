#include "components/component_creation.h"

#include "model/design_operations.h"

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
