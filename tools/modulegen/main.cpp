// Command-line module code generator: a design file in, the module code out.

#include "codegen/design_json.h"
#include "codegen/module_generator.h"
#include "codegen/preview_page.h"
#include "codegen/text_ops.h"
#include "components/program_dir.h"
#include "model/component_table.h"
#include "model/design_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

using namespace Plumbrook;

namespace {

constexpr int kExitBadInput = 2;
constexpr int kExitUsage = 64;

int usage()
{
    std::fputs("usage: modulegen DESIGN.json|DESIGN.plbd [--shrink FIELD] [--program-dir DIR] [--gbk] [--preview]\n", stderr);
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
    bool previewPage = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--shrink") || arg == QStringLiteral("--program-dir")) {
            if (i + 1 >= args.size())
                return usage();
            (arg == QStringLiteral("--shrink") ? shrinkField : programDir) = args.at(++i);
        } else if (arg == QStringLiteral("--gbk")) {
            gbk = true;
        } else if (arg == QStringLiteral("--preview")) {
            previewPage = true;
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
    QFile file(designPath);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read %1: %2").arg(designPath, file.errorString()));
        return kExitBadInput;
    }
    const QByteArray bytes = file.readAll();
    GenerationSources sources;
    if (DesignFile::namesFormat(bytes)) {
        // A design file carries its carousels' settings; the files on disk are not consulted.
        const std::optional<DesignFile::Design> design = DesignFile::parse(bytes, &error);
        if (!design) {
            printError(error);
            return kExitBadInput;
        }
        table.replaceRows(design->rows);
        table.setCreationCounter(DesignFile::highestId(design->rows));
        const QMap<int, DesignFile::CarouselValues> carousels = design->carousels;
        if (!carousels.isEmpty())
            sources.carouselSetting = [carousels](int number, const QString &key) {
                for (const auto &[name, value] : carousels.value(number)) {
                    if (name == key)
                        return value;
                }
                return QString();
            };
    } else if (!DesignJson::read(bytes, table, &error)) {
        printError(error);
        return kExitBadInput;
    }

    // Carousel settings files are looked up under the program directory.
    ProgramDir::setOverride(programDir.isEmpty() ? QFileInfo(designPath).absolutePath() : programDir);

    const QString shrink = shrinkField.isEmpty() ? QStringLiteral("auto") : shrinkField + QStringLiteral("px");
    const QString code = ModuleGenerator(table, sources).generate(shrink);
    // The preview page is the file "预览" writes, so it is GBK whatever --gbk says.
    const QByteArray output = previewPage ? PreviewPage::bytes(code, PreviewPage::layoutOf(table))
                              : gbk       ? TextOps::toGbk(code)
                                          : code.toUtf8();
    std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
