// Command-line module code generator: a design file in, the module code (or what would go wrong with it) out.

#include "codegen/code_reader.h"
#include "codegen/design_checks.h"
#include "model/design_json.h"
#include "codegen/module_generator.h"
#include "net/disk_picture_sizes.h"
#include "codegen/preview_page.h"
#include "model/carousel_settings.h"
#include "model/program_dir.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/design_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

using namespace Plumbrook;

namespace {

constexpr int kExitBadInput = 2;
constexpr int kExitUsage = 64;

int usage()
{
    std::fputs("usage: modulegen DESIGN.json|DESIGN.plbd [--shrink FIELD] [--program-dir DIR] [--gbk] [--preview]\n"
               "       modulegen --import CODE_FILE\n"
               "       modulegen --check DESIGN.json|DESIGN.plbd [--program-dir DIR] [--picture-cache DIR]\n", stderr);
    return kExitUsage;
}

void printError(const QString &message)
{
    const QString line = QStringLiteral("modulegen: %1\n").arg(message);
#ifdef _WIN32
    // Windows' 8-bit code page holds no Chinese on most systems: a console is given the
    // text as it is, anything else the UTF-8 the module code is written in too.
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode)) {
        DWORD written = 0;
        WriteConsoleW(console, reinterpret_cast<const wchar_t *>(line.utf16()), DWORD(line.size()),
                      &written, nullptr);
        return;
    }
    const QByteArray bytes = line.toUtf8();
#else
    const QByteArray bytes = line.toLocal8Bit();
#endif
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// The design file of the module code in `path`, on standard output.
int importCode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return kExitBadInput;
    }
    const std::optional<QString> code = CodeReader::decode(file.readAll());
    if (!code) {
        printError(QStringLiteral("cannot read %1: the text is neither UTF-8 nor GBK nor GB18030").arg(path));
        return kExitBadInput;
    }
    const CodeImport result = CodeReader::read(*code);
    printError(result.summary());
    if (!result.recognisedAnything())
        return kExitBadInput;
    const QByteArray output = DesignFile::serialise(result.design);
    std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// Reads a design file or design JSON into `table`; false, said on standard error, when it
// cannot be read.
bool loadDesign(const QString &path, ComponentTable &table, GenerationSources &sources, QString *shrink)
{
    QString error;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (DesignFile::namesFormat(bytes)) {
        // A design file carries its carousels' settings; the files on disk are not consulted.
        const std::optional<DesignFile::Design> design = DesignFile::parse(bytes, &error);
        if (!design) {
            printError(error);
            return false;
        }
        table.replaceRows(design->rows);
        *shrink = design->shrink;
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
        return false;
    }
    return true;
}

// Answers from the picture cache, counting the addresses it has no picture for.
class CountingPictureSizes : public PictureSizes
{
public:
    explicit CountingPictureSizes(const QString &folder) : mDisk(folder) {}

    Answer sizeOf(const QString &url) const override
    {
        const Answer answer = mDisk.sizeOf(url);
        if (answer.state == Answer::Unknown)
            mMissing.insert(url);
        return answer;
    }
    int missing() const { return int(mMissing.size()); }

private:
    DiskPictureSizes mDisk;
    mutable QSet<QString> mMissing;
};

// One line per finding on standard output; 0 without findings, 1 with, 2 for a bad design.
int checkDesign(const QStringList &args)
{
    QString designPath;
    QString programDir;
    QString pictureCache;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--program-dir") || arg == QStringLiteral("--picture-cache")) {
            if (i + 1 >= args.size())
                return usage();
            (arg == QStringLiteral("--program-dir") ? programDir : pictureCache) = args.at(++i);
        } else if (arg.startsWith(u'-') || !designPath.isEmpty()) {
            return usage();
        } else {
            designPath = arg;
        }
    }
    if (designPath.isEmpty())
        return usage();

    ComponentTable table;
    GenerationSources generation;
    QString shrink;
    if (!loadDesign(designPath, table, generation, &shrink))
        return kExitBadInput;
    ProgramDir::setOverride(programDir.isEmpty() ? QFileInfo(designPath).absolutePath() : programDir);

    // The designer's cache, where it keeps the pictures it fetched.
    QCoreApplication::setApplicationName(QStringLiteral("Plumbrook"));
    const CountingPictureSizes pictures(pictureCache);
    CheckSources sources;
    sources.carouselPictures = [&table, &generation](int row) {
        return CarouselSettings::slidePictures(table, row, generation.carouselSetting);
    };
    sources.pictures = &pictures;
    const QVector<DesignFinding> findings = DesignChecks::run(table, sources);

    QByteArray output;
    for (const DesignFinding &finding : findings)
        output += finding.line().toUtf8() + '\n';
    std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
    std::fflush(stdout);
    if (pictures.missing() > 0)
        printError(QStringLiteral("%1 picture(s) not in the picture cache (%2): their size checks skipped")
                       .arg(pictures.missing())
                       .arg(pictureCache.isEmpty() ? DiskPictureSizes::defaultFolder() : pictureCache));
    if (!DesignChecks::canMeasureText())
        printError(QStringLiteral("no fonts to measure with: the text checks skipped"));
    return findings.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Texts are measured in their fonts, which takes a GUI application; no window is shown.
    const bool checking = argc > 1 && std::strcmp(argv[1], "--check") == 0;
#ifndef _WIN32
    if (checking && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    std::unique_ptr<QCoreApplication> application;
    if (checking)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
#ifdef _WIN32
    // What goes out is written byte for byte; text mode would turn each CR LF into CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const QStringList args = app.arguments().mid(1);

    if (checking)
        return checkDesign(args.mid(1));
    if (!args.isEmpty() && args.first() == QStringLiteral("--import"))
        return args.size() == 2 && !args.at(1).isEmpty() ? importCode(args.at(1)) : usage();

    QString designPath;
    QString shrinkField;
    bool shrinkGiven = false;
    QString programDir;
    bool gbk = false;
    bool previewPage = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--shrink") || arg == QStringLiteral("--program-dir")) {
            if (i + 1 >= args.size())
                return usage();
            shrinkGiven = shrinkGiven || arg == QStringLiteral("--shrink");
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
    GenerationSources sources;
    QString designShrink;
    if (!loadDesign(designPath, table, sources, &designShrink))
        return kExitBadInput;
    // The shrink amount the code was read back with, unless the command line names one.
    if (!shrinkGiven)
        shrinkField = designShrink;

    // Carousel settings files are looked up under the program directory.
    ProgramDir::setOverride(programDir.isEmpty() ? QFileInfo(designPath).absolutePath() : programDir);

    const QString code = ModuleGenerator(table, sources).generate(shrinkField);
    // The preview page is the file "预览" writes, so it is GBK whatever --gbk says.
    const QByteArray output = previewPage ? PreviewPage::bytes(code, PreviewPage::layoutOf(table))
                              : gbk       ? TextOps::toGbk(code)
                                          : code.toUtf8();
    std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
