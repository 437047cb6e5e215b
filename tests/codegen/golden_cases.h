#pragma once

#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace Plumbrook::Test {

// One folder of tests/data/generation: a design, its command-line options
// and the module code expected from it.
struct GoldenCase
{
    QString dir;

    static QStringList names()
    {
        return QDir(testDataPath(QStringLiteral("generation"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    static GoldenCase named(const QString &name)
    {
        return {testDataPath(QStringLiteral("generation/") + name)};
    }

    QString designPath() const { return dir + QStringLiteral("/design.json"); }
    QStringList arguments() const
    {
        QFile file(dir + QStringLiteral("/args"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // The shrink text generation receives for these options.
    QString shrink() const
    {
        const QStringList args = arguments();
        const qsizetype at = args.indexOf(QStringLiteral("--shrink"));
        const QString field = at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
        return field.isEmpty() ? QStringLiteral("auto") : field + QStringLiteral("px");
    }
    QByteArray expected() const
    {
        QFile file(dir + QStringLiteral("/expected.html"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The zoom kind's class names are drawn at random on every generation.
inline QString withoutRandomNames(QString code)
{
    static const QRegularExpression name(QStringLiteral("Kai_[0-9]{4}"));
    return code.replace(name, QStringLiteral("Kai_####"));
}

} // namespace Plumbrook::Test
