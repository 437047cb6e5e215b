// Reading and writing single keys of settings files of arbitrary content.
#include "fuzz_input.h"

#include "model/profile_file.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Plumbrook;

namespace {

QString trimAscii(QString text)
{
    auto blank = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    while (!text.isEmpty() && blank(text.front()))
        text.remove(0, 1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));

    const QList<QByteArray> parts = Fuzz::fields(data, size, 4);
    const QString section = Fuzz::text(parts.at(1));
    const QString key = Fuzz::text(parts.at(2));
    const QString value = Fuzz::text(parts.at(3));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(parts.at(0));
    }

    (void)ProfileFile::read(path, section, key);
    const QByteArray before = parts.at(0);
    if (!ProfileFile::write(path, section, key, value)) {
        QFile file(path);
        Fuzz::check(file.open(QIODevice::ReadOnly) && file.readAll() == before,
                    "a refused write leaves the file unchanged");
        return 0;
    }
    if (value.isValidUtf16() && section.isValidUtf16() && key.isValidUtf16()) {
        QString expected = value;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        expected.replace(u'\r', u' ').replace(u'\n', u' ');
        Fuzz::check(ProfileFile::read(path, section, key) == trimAscii(expected),
                    "a written key reads back");
    }
    return 0;
}
