// The design-file reader over arbitrary bytes: what it accepts survives a write
// and read again unchanged, and its rows and carousel settings generate.
#include "generation_check.h"

#include "model/design_file.h"

using namespace Plumbrook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)DesignFile::namesFormat(bytes);
    QString error;
    const std::optional<DesignFile::Design> design = DesignFile::parse(bytes, &error);
    if (!design) {
        Fuzz::check(!error.isEmpty(), "a refused design file says why");
        return 0;
    }
    const QByteArray written = DesignFile::serialise(*design);
    const std::optional<DesignFile::Design> again = DesignFile::parse(written, &error);
    Fuzz::check(again.has_value(), "a written design file reads back");
    Fuzz::check(DesignFile::serialise(*again) == written, "a design file survives a write and read");

    ComponentTable table;
    table.replaceRows(design->rows);
    (void)DesignFile::highestId(design->rows);
    QStringList settings;
    for (const DesignFile::CarouselValues &values : design->carousels) {
        for (const auto &pair : values)
            settings.append(pair.second);
    }
    Fuzz::generateAndCheck(table, settings, QStringLiteral("auto"));
    return 0;
}
