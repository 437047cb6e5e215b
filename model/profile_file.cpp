#include "model/profile_file.h"

#include "model/text_ops.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace Plumbrook::ProfileFile {

namespace {

// Settings files are a few kilobytes; anything far larger is not ours to rewrite.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// A lock for each profile file: a write is read-modify-write of the whole file. Not one
// for all of them: a file on a disk that stopped answering would hold every other file's
// reader, the user-interface thread among them, for as long.
QMutex gLocksMutex;
QHash<QString, std::shared_ptr<QMutex>> gLocks;

std::shared_ptr<QMutex> lockFor(const QString &path)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    const QMutexLocker lock(&gLocksMutex);
    std::shared_ptr<QMutex> &found = gLocks[key];
    if (!found)
        found = std::make_shared<QMutex>();
    return found;
}

enum class LineKind { Blank, Comment, Section, Key };

struct Line
{
    QByteArray raw;      // the bytes as on disk, line terminator included
    LineKind kind = LineKind::Blank;
    QString name;        // section or key name
    QString value;
};

bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

// Only ASCII white space: full-width spaces can be part of a Chinese value.
QString trimAscii(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QByteArray withoutTerminator(const QByteArray &raw)
{
    qsizetype end = raw.size();
    if (end > 0 && raw.at(end - 1) == '\n')
        --end;
    if (end > 0 && raw.at(end - 1) == '\r')
        --end;
    return raw.left(end);
}

Line parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    // A line is split at '\n' bytes before decoding: GBK and GB18030 never use
    // 0x0A inside a character, while '[' and ']' can be trail bytes.
    const QString text = trimAscii(TextOps::fromGbk(withoutTerminator(raw)));
    if (text.isEmpty()) {
        line.kind = LineKind::Blank;
    } else if (text.startsWith(u';')) {
        line.kind = LineKind::Comment;
    } else if (text.startsWith(u'[')) {
        line.kind = LineKind::Section;
        const qsizetype close = text.indexOf(u']');
        line.name = trimAscii(text.mid(1, close < 0 ? -1 : close - 1));
    } else {
        line.kind = LineKind::Key;
        const qsizetype eq = text.indexOf(u'=');
        line.name = trimAscii(eq < 0 ? text : text.left(eq));
        line.value = eq < 0 ? QString() : trimAscii(text.mid(eq + 1));
    }
    return line;
}

QList<Line> parse(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        lines.append(parseLine(bytes.mid(start, end - start)));
        start = end;
    }
    return lines;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Reads the whole file; false when it exists but cannot be read safely.
bool load(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Index of the key's line within a matching section, or -1.
qsizetype findKey(const QList<Line> &lines, const QString &section, const QString &key)
{
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (line.kind == LineKind::Section)
            inSection = sameName(line.name, section);
        else if (inSection && line.kind == LineKind::Key && sameName(line.name, key))
            return i;
    }
    return -1;
}

// Index after which a new key of the section goes: its last key, else its header; -1 if none.
qsizetype insertionPoint(const QList<Line> &lines, const QString &section)
{
    qsizetype point = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (line.kind == LineKind::Section) {
            if (point >= 0)
                break;
            if (sameName(line.name, section))
                point = i;
        } else if (point >= 0 && line.kind == LineKind::Key) {
            point = i;
        }
    }
    return point;
}

QByteArray lineEnding(const QByteArray &bytes)
{
    const qsizetype nl = bytes.indexOf('\n');
    if (nl > 0 && bytes.at(nl - 1) != '\r')
        return "\n";
    return "\r\n";
}

bool validName(const QString &name, bool isKey)
{
    if (name.isEmpty() || name != trimAscii(name))
        return false;
    if (name.contains(u'\n') || name.contains(u'\r'))
        return false;
    if (isKey)
        return !name.contains(u'=') && !name.startsWith(u'[') && !name.startsWith(u';');
    return !name.contains(u']');
}

QString singleLine(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

QString read(const QString &path, const QString &section, const QString &key)
{
    const std::shared_ptr<QMutex> fileMutex = lockFor(path);
    const QMutexLocker lock(fileMutex.get());
    QByteArray bytes;
    if (!load(path, &bytes))
        return {};
    const QList<Line> lines = parse(bytes);
    const qsizetype index = findKey(lines, trimAscii(section), trimAscii(key));
    return index < 0 ? QString() : lines.at(index).value;
}

QStringList read(const QString &path, const QString &section, const QStringList &keys)
{
    QStringList values(keys.size());
    const std::shared_ptr<QMutex> fileMutex = lockFor(path);
    const QMutexLocker lock(fileMutex.get());
    QByteArray bytes;
    if (!load(path, &bytes))
        return values;
    // Parsing is what costs; looking the keys up in the parsed lines is cheap.
    const QList<Line> lines = parse(bytes);
    const QString wanted = trimAscii(section);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const qsizetype index = findKey(lines, wanted, trimAscii(keys.at(i)));
        if (index >= 0)
            values[i] = lines.at(index).value;
    }
    return values;
}

QString readBack(const QString &value)
{
    // ASCII goes through GBK as it is; most values are addresses and numbers, and a
    // design's carousels hold thousands of them.
    const bool ascii = std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return trimAscii(singleLine(value));
    return trimAscii(TextOps::fromGbk(TextOps::toGbk(singleLine(value))));
}

namespace {

void applyKey(QList<Line> &lines, const QByteArray &eol, const QString &section, const QString &key,
              const QString &value)
{
    const qsizetype existing = findKey(lines, section, key);
    if (existing >= 0) {
        Line &line = lines[existing];
        const QByteArray terminator = line.raw.mid(withoutTerminator(line.raw).size());
        line.raw = TextOps::toGbk(line.name + u'=' + singleLine(value)) + terminator;
        return;
    }
    const QByteArray keyLine = TextOps::toGbk(key + u'=' + singleLine(value)) + eol;
    qsizetype after = insertionPoint(lines, section);
    if (after < 0) {
        Line header;
        header.raw = TextOps::toGbk(u'[' + section + u']') + eol;
        header.kind = LineKind::Section;
        header.name = section;
        lines.append(header);
        after = lines.size() - 1;
    }
    Line &previous = lines[after];
    if (!previous.raw.endsWith('\n'))
        previous.raw += eol;
    Line added;
    added.raw = keyLine;
    added.kind = LineKind::Key;
    added.name = key;
    added.value = value;
    lines.insert(after + 1, added);
    // The line before an appended section header may have lacked its terminator.
    if (after > 0 && !lines.at(after - 1).raw.endsWith('\n'))
        lines[after - 1].raw += eol;
}

} // namespace

bool write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    return write(path, section, {{key, value}});
}

bool write(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values)
{
    if (!validName(section, false))
        return false;
    for (const auto &pair : values) {
        if (!validName(pair.first, true))
            return false;
    }

    const std::shared_ptr<QMutex> fileMutex = lockFor(path);
    const QMutexLocker lock(fileMutex.get());
    QByteArray bytes;
    if (!load(path, &bytes))
        return false;
    const QByteArray eol = lineEnding(bytes);
    QList<Line> lines = parse(bytes);
    for (const auto &[key, value] : values)
        applyKey(lines, eol, section, key, value);

    QByteArray out;
    out.reserve(bytes.size() + 64);
    for (const Line &line : std::as_const(lines))
        out += line.raw;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() can report success over a short write (a full disk); the explicit
    // flush catches it, and the old file then stays.
    if (file.write(out) != out.size() || !file.flush()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

} // namespace Plumbrook::ProfileFile
