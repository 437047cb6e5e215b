// Command-line module code generator: a design file in, the module code out.

#include "codegen/design_json.h"
#include "codegen/module_generator.h"
#include "codegen/text_ops.h"
#include "components/program_dir.h"
#include "model/component_table.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

using namespace Plumbrook;

namespace {

constexpr int kExitBadInput = 2;
constexpr int kExitUsage = 64;

int usage()
{
    std::fputs("usage: modulegen DESIGN.json [--shrink FIELD] [--program-dir DIR] [--gbk]\n", stderr);
    return kExitUsage;
}

void printError(const QString &message)
{
    std::fprintf(stderr, "modulegen: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    QString designPath;
    QString shrinkField;
    QString programDir;
    bool gbk = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--shrink") || arg == QStringLiteral("--program-dir")) {
            if (i + 1 >= args.size())
                return usage();
            (arg == QStringLiteral("--shrink") ? shrinkField : programDir) = args.at(++i);
        } else if (arg == QStringLiteral("--gbk")) {
            gbk = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return usage();
        } else if (designPath.isEmpty()) {
            designPath = arg;
        } else {
            return usage();
        }
    }
    if (designPath.isEmpty())
        return usage();

    ComponentTable table;
    QString error;
    if (!DesignJson::readFile(designPath, table, &error)) {
        printError(error);
        return kExitBadInput;
    }

    // Carousel settings files are looked up under the program directory.
    ProgramDir::setOverride(programDir.isEmpty() ? QFileInfo(designPath).absolutePath() : programDir);

    const QString shrink = shrinkField.isEmpty() ? QStringLiteral("auto") : shrinkField + QStringLiteral("px");
    const QString code = ModuleGenerator(table).generate(shrink);
    const QByteArray bytes = gbk ? TextOps::toGbk(code) : code.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
