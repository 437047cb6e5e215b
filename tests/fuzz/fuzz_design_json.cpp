// The design-file reader over arbitrary bytes: what it accepts survives a
// write and read again unchanged and generates.
#include "generation_check.h"

#include "model/design_json.h"

using namespace Plumbrook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    ComponentTable table;
    const QByteArray empty = DesignJson::write(table);
    QString error;
    if (!DesignJson::read(json, table, &error)) {
        Fuzz::check(!error.isEmpty(), "a refused design says why");
        Fuzz::check(DesignJson::write(table) == empty, "a refused design leaves the table unchanged");
        return 0;
    }
    const QByteArray written = DesignJson::write(table);
    ComponentTable again;
    Fuzz::check(DesignJson::read(written, again, &error), "a written design reads back");
    Fuzz::check(DesignJson::write(again) == written, "a design survives a write and read");
    Fuzz::generateAndCheck(table, {}, QStringLiteral("auto"));
    return 0;
}
