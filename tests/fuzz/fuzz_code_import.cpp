// The module code reader over arbitrary bytes: it reports what it could not
// read, and what it read generates code that reads back to the same design.
#include "fuzz_input.h"

#include "codegen/code_reader.h"
#include "codegen/module_generator.h"
#include "model/component_table.h"

using namespace Plumbrook;

namespace {

QString generate(const DesignFile::Design &design)
{
    ComponentTable table;
    table.replaceRows(design.rows);
    GenerationSources sources;
    sources.randomDigit = [] { return 3; };
    sources.carouselSetting = [&design](int number, const QString &key) {
        for (const auto &[name, value] : design.carousels.value(number)) {
            if (name == key)
                return value;
        }
        return QString();
    };
    return ModuleGenerator(table, sources)
        .generate(design.shrink.isEmpty() ? QStringLiteral("auto") : design.shrink + QStringLiteral("px"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> code = CodeReader::decode(bytes);
    if (!code)
        return 0;
    const CodeImport imported = CodeReader::read(*code);
    Fuzz::check(!imported.summary().isEmpty(), "every reading is reported");
    Fuzz::check(imported.recognisedAnything() || imported.design.rows.size() == 1,
                "nothing read gives no components");
    Fuzz::check(imported.unrecognisedPieces == 0 || imported.firstUnrecognisedLine > 0,
                "a piece not read is shown with its line");
    if (!imported.recognisedAnything())
        return 0;

    const QString generated = generate(imported.design);
    const CodeImport again = CodeReader::read(generated);
    Fuzz::check(again.unrecognisedPieces == 0, "generated code reads back whole");
    Fuzz::check(again.components == imported.components, "generated code reads back every component");
    Fuzz::check(generate(again.design) == generated, "generated code reads back to the same code");
    return 0;
}
