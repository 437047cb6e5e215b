#pragma once

#include "codegen/module_generator.h"
#include "model/component_table.h"
#include "model/kind_table.h"

namespace Plumbrook {

// What a kind's fill rule reads: its own row, the rest of the table and the outside sources.
struct FillContext
{
    const ComponentTable &table;
    int row;
    const GenerationSources &sources;

    QString cell(ComponentTable::Column column) const { return table.cell(row, column); }
    int cellInt(ComponentTable::Column column) const { return table.cellInt(row, column); }
};

using FillRule = QString (*)(const FillContext &context);

// Fill rules by kind; each returns the kind's template with its own placeholders filled.
namespace FillRules {

FillRule of(KindTable::Kind kind);

QString image(const FillContext &c);
QString hotspot(const FillContext &c);
QString swap(const FillContext &c);
QString zoom(const FillContext &c);
QString text(const FillContext &c);
QString favourite(const FillContext &c);
QString share(const FillContext &c);
QString qrCode(const FillContext &c);
QString cart(const FillContext &c);
QString like(const FillContext &c);
QString follow(const FillContext &c);
QString wangwangGroup(const FillContext &c);
QString video(const FillContext &c);
QString flash(const FillContext &c);

QString customerService(const FillContext &c);
QString countdown(const FillContext &c);
QString search(const FillContext &c);
QString carousel(const FillContext &c);

} // namespace FillRules
} // namespace Plumbrook
