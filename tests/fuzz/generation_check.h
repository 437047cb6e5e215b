#pragma once

#include "fuzz_input.h"

#include "codegen/module_generator.h"
#include "model/component_table.h"

#include <QStringList>

namespace Plumbrook::Fuzz {

// Generates the module code of a table with carousel settings taken from
// `settings`, and checks what must hold for any design.
inline void generateAndCheck(const ComponentTable &table, const QStringList &settings,
                             const QString &shrink)
{
    GenerationSources sources;
    sources.randomDigit = [] { return 7; };
    sources.carouselSetting = [settings](int number, const QString &key) {
        if (settings.isEmpty())
            return QString();
        // A stable pick of one of the given values for every key.
        uint hash = uint(number);
        for (const QChar c : key)
            hash = hash * 31 + c.unicode();
        return settings.at(qsizetype(hash % uint(settings.size())));
    };
    const ModuleGenerator generator(table, sources);
    const QString code = generator.generate(shrink);
    check(code.endsWith(QStringLiteral("\r\n</div></div></div>")),
          "the module code ends with the closing text");
    for (int row = 0; row <= table.count(); ++row)
        (void)generator.componentCode(row);
}

} // namespace Plumbrook::Fuzz
