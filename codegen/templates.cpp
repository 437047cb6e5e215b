#include "codegen/templates.h"

#include "model/service_addresses.h"
#include "model/text_ops.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace Plumbrook::Templates {

namespace {

QHash<QString, QString> loadAll()
{
    // The files name each outside service by a bracketed phrase so that they
    // read as plain markup; the addresses live in one header.
    const QList<QPair<QString, QString>> services = {
        {QStringLiteral("[marketplace site]"), ServiceAddresses::kMarketplaceSite},
        {QStringLiteral("[Wangwang service]"), ServiceAddresses::kMessengerService},
        {QStringLiteral("[plug-in download site]"), ServiceAddresses::kFlashPlayerSite},
        {QStringLiteral("[fixed hotspot picture URL]"), ServiceAddresses::kHotspotPicture},
    };
    QHash<QString, QString> all;
    const QDir dir(QStringLiteral(":/templates"));
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QString text = QString::fromUtf8(file.readAll());
        for (const auto &[marker, address] : services)
            TextOps::replaceIn(text, marker, address);
        all.insert(name, text);
    }
    return all;
}

} // namespace

const QString &text(const QString &name)
{
    static const QHash<QString, QString> all = loadAll();
    static const QString empty;
    const auto it = all.constFind(name);
    return it == all.constEnd() ? empty : *it;
}

} // namespace Plumbrook::Templates
