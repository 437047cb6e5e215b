#include "codegen/module_generator.h"

#include "codegen/fill_context.h"
#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"

#include <QHash>
#include <QRandomGenerator>

#include <memory>

namespace Plumbrook {

const QString ModuleGenerator::kLayerClassList =
    QStringLiteral("most-footer footer-more-trigger address-all-close");

namespace {

const QString kCrLf = QStringLiteral("\r\n");

GenerationSources withDefaults(const ComponentTable &table, GenerationSources sources)
{
    // A design's carousels are its own, whatever the settings files say now.
    if (!sources.carouselSetting && DesignDocument::of(table)) {
        const DesignDocument *document = DesignDocument::of(table);
        sources.carouselSetting = [document](int number, const QString &key) {
            return document->carouselValue(number, key);
        };
    }
    if (!sources.carouselSetting) {
        // Each carousel's file is read once for the whole module, not once for each key.
        auto read = std::make_shared<QHash<int, QHash<QString, QString>>>();
        sources.carouselSetting = [read](int number, const QString &key) {
            auto it = read->find(number);
            if (it == read->end()) {
                QHash<QString, QString> values;
                for (const auto &[name, value] : CarouselSettings::readAll(number))
                    values.insert(name, value);
                it = read->insert(number, values);
            }
            const auto found = it->constFind(key);
            return found != it->cend() ? *found : CarouselSettings::read(number, key);
        };
    }
    if (!sources.randomDigit)
        sources.randomDigit = [] { return int(QRandomGenerator::global()->bounded(10)); };
    return sources;
}

// Moves the module's outer bottom edge by `shrink` pixels: the first two
// heights of the wrapper are those of its two outermost elements.
void applyShrink(QString &code, int shrink)
{
    if (shrink == 0)
        return;
    const QString height = TextOps::between(code, QStringLiteral("height:"), QStringLiteral("px"));
    const qint64 adjusted = qint64(TextOps::toInt(height)) + shrink;
    TextOps::replaceIn(code, QStringLiteral("height:") + height,
                       QStringLiteral("height:") + QString::number(adjusted), 2);
}

} // namespace

ModuleGenerator::ModuleGenerator(const ComponentTable &table, GenerationSources sources)
    : mTable(table)
    , mSources(withDefaults(table, std::move(sources)))
{
}

QString ModuleGenerator::generatorNotice()
{
    return QStringLiteral("本代码由Plumbrook自由布局一键生成！（") + QStringLiteral(PLUMBROOK_SITE_HOST)
        + QStringLiteral("）");
}

QString ModuleGenerator::componentCode(int row) const
{
    const KindTable::KindInfo *kind = KindTable::find(mTable.cell(row, ComponentTable::Kind));
    if (!kind)
        return {};
    return FillRules::of(kind->kind)(FillContext{mTable, row, mSources});
}

QString ModuleGenerator::placedComponentCode(int row) const
{
    QString component = componentCode(row);
    TextOps::replaceIn(component, QStringLiteral("{top}"), mTable.cell(row, ComponentTable::Top), 1);
    TextOps::replaceIn(component, QStringLiteral("{left}"), mTable.cell(row, ComponentTable::Left), 1);
    TextOps::replaceIn(component, QStringLiteral("{width}"), mTable.cell(row, ComponentTable::Width), 5);
    TextOps::replaceIn(component, QStringLiteral("{height}"), mTable.cell(row, ComponentTable::Height), 5);
    return component;
}

QString ModuleGenerator::finishedComponentCode(int row) const
{
    QString component = placedComponentCode(row);
    if (mTable.cell(0, ComponentTable::BgCode) == QStringLiteral("0"))
        TextOps::replaceIn(component, kLayerClassList, QStringLiteral("sn-simple-logo"));
    return component;
}

QString ModuleGenerator::generate(const QString &shrink) const
{
    QString code = mTable.cell(0, ComponentTable::Other4);
    TextOps::replaceIn(code, QStringLiteral("{data-title}"), generatorNotice(), 1);
    applyShrink(code, TextOps::toInt(shrink));

    // The common substitutions touch only the component's own code, so the
    // work grows with the design, never with the text built so far.
    for (int row = 1;; ++row) {
        if (mTable.cell(row, ComponentTable::Kind).isEmpty())
            break;
        code += placedComponentCode(row);
        code += kCrLf;
    }

    // Counting the occurrences and replacing that many is replacing them all.
    if (mTable.cell(0, ComponentTable::BgCode) == QStringLiteral("0"))
        TextOps::replaceIn(code, kLayerClassList, QStringLiteral("sn-simple-logo"));

    code += kCrLf;
    code += QStringLiteral("</div></div></div>");
    return code;
}

} // namespace Plumbrook
