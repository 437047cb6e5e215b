#include "model/carousel_settings.h"

#include "model/profile_file.h"
#include "model/program_dir.h"
#include "model/text_ops.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include "model/background_work.h"
#include "model/design_document.h"

#include <QHash>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <optional>

namespace Plumbrook::CarouselSettings {

namespace {

const QString kFolder = QStringLiteral("data/code");

// A value handed to the files lane and not yet in its file, with the write that set it.
struct Pending
{
    QString value;   // as a read of the written file gives it back
    quint64 write = 0;
};

// By file, then by case-folded key. Held only to read or change the table, never
// across a file's reading or writing: the user-interface thread takes it to hold
// new values, and must not wait there on a disk the files lane is stuck on.
QMutex gPendingMutex;
// Held from the moment a write takes its values until they are in the file, so that
// a write on the user-interface thread and one on the lane cannot interleave and leave
// the older value in the file.
QMutex gFileMutex;
QHash<QString, QHash<QString, Pending>> gPending;
quint64 gLastWrite = 0;

QString keyOf(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

// Makes the values what every read gives from now on, as write number the result, until
// the files lane has them in the file; the caller holds gPendingMutex.
quint64 holdPendingLocked(const QString &path, const QList<QPair<QString, QString>> &values)
{
    const quint64 write = ++gLastWrite;
    QHash<QString, Pending> &file = gPending[path];
    for (const auto &[key, value] : values)
        file.insert(keyOf(key), {ProfileFile::readBack(value), write});
    return write;
}

enum class Unchanged { Written, Kept };

// Writes the values still waiting for write `write` of the file; on the files lane.
// With Unchanged::Kept a file that holds them all already is left as it is.
void writePending(const QString &path, const QList<QPair<QString, QString>> &values, quint64 write,
                  Unchanged unchanged = Unchanged::Written)
{
    const QMutexLocker fileLock(&gFileMutex);
    QList<QPair<QString, QString>> waiting;
    QStringList names;
    {
        const QMutexLocker lock(&gPendingMutex);
        const auto file = gPending.constFind(path);
        if (file == gPending.cend())
            return;
        for (const auto &pair : values) {
            const auto it = file->constFind(keyOf(pair.first));
            if (it != file->cend() && it->write == write) {
                waiting.append(pair);
                names.append(pair.first);
            }
        }
    }
    if (waiting.isEmpty())
        return;
    const bool held = unchanged == Unchanged::Kept && [&] {
        const QStringList inFile = ProfileFile::read(path, kSection, names);
        for (qsizetype i = 0; i < waiting.size(); ++i) {
            if (inFile.at(i) != waiting.at(i).second)
                return false;
        }
        return true;
    }();
    if (!held && !ProfileFile::write(path, kSection, waiting))
        return;
    const QMutexLocker lock(&gPendingMutex);
    auto file = gPending.find(path);
    if (file == gPending.end())
        return;
    // A value held again meanwhile waits for its own write, queued after this one.
    for (const auto &pair : std::as_const(waiting)) {
        const auto it = file->constFind(keyOf(pair.first));
        if (it != file->cend() && it->write == write)
            file->erase(it);
    }
    if (file->isEmpty())
        gPending.erase(file);
}

// A carousel number written in decimal digits, or -1.
int decimalNumber(const QString &digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return digits.toInt();
}

// The number in a kind name such as "左箭头12", or -1.
int numberInKind(const QString &kind, const QString &prefix)
{
    return kind.startsWith(prefix) ? decimalNumber(kind.mid(prefix.size())) : -1;
}

int arrowRow(const ComponentTable &table, int carouselRow, int offset)
{
    if (carouselRow < 0 || carouselRow >= table.count())
        return -1;
    bool ok = false;
    const qlonglong id = table.cell(carouselRow, ComponentTable::Id).toLongLong(&ok);
    if (!ok)
        return -1;
    return table.findRowById(QString::number(id + offset));
}

} // namespace

const QString kSamplePictureA = QStringLiteral(
    "https://img.alicdn.com/imgextra/i1/2207352451023/O1CN01Carousel1Sample_!!2207352451023.jpg");
const QString kSamplePictureB = QStringLiteral(
    "https://img.alicdn.com/imgextra/i2/2207352451023/O1CN01Carousel2Sample_!!2207352451023.jpg");
const QString kDefaultLeftArrowUrl = QStringLiteral(
    "https://img.alicdn.com/imgextra/i3/2207352451023/O1CN01ArrowLeftSample_!!2207352451023.png");
const QString kDefaultRightArrowUrl = QStringLiteral(
    "https://img.alicdn.com/imgextra/i4/2207352451023/O1CN01ArrowRightSample_!!2207352451023.png");

QString pictureKey(int n)
{
    return QStringLiteral("t_") + QString::number(n);
}

QString linkKey(int n)
{
    return QStringLiteral("l_") + QString::number(n);
}

const QStringList &transitionCodes()
{
    static const QStringList codes = {
        QStringLiteral("none"), QStringLiteral("fade"),
        QStringLiteral("scrollx"), QStringLiteral("scrolly"),
    };
    return codes;
}

const QStringList &easingCodes()
{
    static const QStringList codes = {
        QStringLiteral("easeNone"), QStringLiteral("easeBoth"),
        QStringLiteral("easeOut"), QStringLiteral("easeIn"),
        QStringLiteral("bounceBoth"), QStringLiteral("bounceOut"),
        QStringLiteral("bounceIn"), QStringLiteral("backOut"),
        QStringLiteral("backIn"), QStringLiteral("elasticOut"),
        QStringLiteral("elasticIn"), QStringLiteral("easeBothStrong"),
        QStringLiteral("easeOutStrong"), QStringLiteral("easeInStrong"),
    };
    return codes;
}

QString filePath(int number)
{
    return ProgramDir::filePath(kFolder + QStringLiteral("/Carousel")
                                + QString::number(number) + QStringLiteral(".ini"));
}

QString read(int number, const QString &key)
{
    return read(number, QStringList{key}).constFirst().second;
}

QList<QPair<QString, QString>> read(int number, const QStringList &keys)
{
    const QString path = filePath(number);
    // Taken before the file is read: a value leaves this list only once it is in the file.
    // Only the values are taken, under the lock: a copy of the file's table shares its
    // data, which the files lane edits in place as soon as that copy is dropped.
    QList<std::optional<QString>> pending(keys.size());
    {
        const QMutexLocker lock(&gPendingMutex);
        const auto file = gPending.constFind(path);
        if (file != gPending.cend()) {
            for (qsizetype i = 0; i < keys.size(); ++i) {
                const auto it = file->constFind(keyOf(keys.at(i)));
                if (it != file->cend())
                    pending[i] = it->value;
            }
        }
    }
    const QStringList values = ProfileFile::read(path, kSection, keys);
    QList<QPair<QString, QString>> pairs;
    pairs.reserve(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i)
        pairs.append({keys.at(i), pending.at(i).value_or(values.at(i))});
    return pairs;
}

QList<QPair<QString, QString>> readAll(int number)
{
    return read(number, keys());
}

Notifier *notifier()
{
    static Notifier instance;
    return &instance;
}

bool write(int number, const QString &key, const QString &value)
{
    // Without the folder every setting of the carousel would be lost without a word.
    return write(number, QList<QPair<QString, QString>>{{key, value}});
}

bool write(int number, const QList<QPair<QString, QString>> &values)
{
    emit notifier()->aboutToWrite(number, values);
    ProgramDir::ensureDir(kFolder);
    const QString path = filePath(number);
    bool written = false;
    {
        const QMutexLocker fileLock(&gFileMutex);
        written = ProfileFile::write(path, kSection, values);
        // What is in the file now must not be overwritten by an older write still queued.
        const QMutexLocker lock(&gPendingMutex);
        auto file = gPending.find(path);
        if (written && file != gPending.end()) {
            for (const auto &pair : values)
                file->remove(keyOf(pair.first));
            if (file->isEmpty())
                gPending.erase(file);
        }
    }
    emit notifier()->written(number);
    return written;
}

QList<QPair<QString, QString>> defaults()
{
    QList<QPair<QString, QString>> values = {
        {kNumber, QStringLiteral("6")},
        {kBannerWidth, QStringLiteral("750")},
        {kBannerHeight, QStringLiteral("240")},
    };
    for (int n = 1; n <= kMaxPictures; ++n) {
        values.append({pictureKey(n), n % 2 ? kSamplePictureA : kSamplePictureB});
        values.append({linkKey(n), QStringLiteral("#")});
    }
    values.append({
        {kShowArrows, QStringLiteral("0")},
        {kArrowWidth, QStringLiteral("40")},
        {kArrowHeight, QStringLiteral("40")},
        {kLeftArrowUrl, kDefaultLeftArrowUrl},
        {kRightArrowUrl, kDefaultRightArrowUrl},
        {kTransitionIndex, QStringLiteral("0")},
        {kTransitionCode, transitionCodes().first()},
        {kEasingIndex, QStringLiteral("0")},
        {kEasingCode, easingCodes().first()},
        {kLinkTarget, QStringLiteral("0")},
        {kAutoplay, QStringLiteral("0")},
    });
    return values;
}

bool writeChanged(int number, const QList<QPair<QString, QString>> &values)
{
    QStringList names;
    names.reserve(values.size());
    for (const auto &pair : values)
        names.append(pair.first);
    if (read(number, names) == values)
        return true;
    // Thousands of files written one after the other held an opening for seconds. A
    // value whose write fails stays here, so that reads and the design keep it.
    emit notifier()->aboutToWrite(number, values);
    const bool folder = ProgramDir::ensureDir(kFolder);
    const QString path = filePath(number);
    quint64 write = 0;
    {
        const QMutexLocker lock(&gPendingMutex);
        write = holdPendingLocked(path, values);
    }
    BackgroundWork::start(BackgroundWork::Lane::Files,
                          [path, values, write] { writePending(path, values, write); });
    emit notifier()->written(number);
    return folder;
}

void mirror(const QMap<int, QList<QPair<QString, QString>>> &carousels)
{
    if (carousels.isEmpty())
        return;
    ProgramDir::ensureDir(kFolder);
    struct FileWrite
    {
        QString path;
        QList<QPair<QString, QString>> values;
        quint64 write;
    };
    QList<FileWrite> writes;
    writes.reserve(carousels.size());
    {
        const QMutexLocker lock(&gPendingMutex);
        for (auto it = carousels.cbegin(); it != carousels.cend(); ++it) {
            const QString path = filePath(it.key());
            writes.append({path, it.value(), holdPendingLocked(path, it.value())});
        }
    }
    // One task for them all: a design may hold hundreds of carousels.
    BackgroundWork::start(BackgroundWork::Lane::Files, [writes = std::move(writes)] {
        for (const FileWrite &file : writes)
            writePending(file.path, file.values, file.write, Unchanged::Kept);
    });
}

const QStringList &keys()
{
    static const QStringList names = [] {
        QStringList list;
        for (const auto &pair : defaults())
            list.append(pair.first);
        return list;
    }();
    return names;
}

bool writeDefaults(int number)
{
    return write(number, defaults());
}

QString valueOf(const ComponentTable &table, int number, const QString &key)
{
    if (const DesignDocument *document = DesignDocument::of(table))
        return document->carouselValue(number, key);
    return read(number, key);
}

bool writeFor(const ComponentTable &table, int number, const QList<QPair<QString, QString>> &values)
{
    if (DesignDocument *document = DesignDocument::of(table))
        return document->writeCarousel(number, values);
    return write(number, values);
}

int leftArrowRow(const ComponentTable &table, int carouselRow)
{
    return arrowRow(table, carouselRow, 1);
}

int rightArrowRow(const ComponentTable &table, int carouselRow)
{
    return arrowRow(table, carouselRow, 2);
}

QStringList slidePictures(const ComponentTable &table, int carouselRow,
                          const std::function<QString(int number, const QString &key)> &setting)
{
    const int number = numberOf(table, carouselRow);
    QHash<QString, QString> file;
    if (!setting) {
        QStringList keys{kNumber};
        for (int n = 1; n <= kMaxPictures; ++n)
            keys << pictureKey(n);
        for (const auto &[key, value] : read(number, keys))
            file.insert(key, value);
    }
    const auto value = [&](const QString &key) { return setting ? setting(number, key) : file.value(key); };
    // As the generator counts them: the stored number is two less than the slides.
    const int slides = int(std::clamp<qint64>(qint64(TextOps::toInt(value(kNumber))) + 2, 0, kMaxPictures));
    QStringList pictures;
    pictures.reserve(slides);
    for (int n = 1; n <= slides; ++n)
        pictures << value(pictureKey(n));
    return pictures;
}

int numberOf(const ComponentTable &table, int carouselRow)
{
    const int kept = decimalNumber(table.cell(carouselRow, kNumberColumn));
    if (kept >= 0)
        return kept;
    const int left = leftArrowRow(table, carouselRow);
    if (left >= 0) {
        const int n = numberInKind(table.cell(left, ComponentTable::Kind), kLeftArrowPrefix);
        if (n >= 0)
            return n;
    }
    const int right = rightArrowRow(table, carouselRow);
    if (right >= 0) {
        const int n = numberInKind(table.cell(right, ComponentTable::Kind), kRightArrowPrefix);
        if (n >= 0)
            return n;
    }
    return carouselRow;
}

int numberForNewCarousel(const ComponentTable &table, int newRow)
{
    QSet<int> used;
    for (int row = 1; row < table.count(); ++row) {
        if (row != newRow && KindTable::is(table.cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            used.insert(numberOf(table, row));
    }
    int number = newRow;
    while (used.contains(number))
        ++number;
    return number;
}

} // namespace Plumbrook::CarouselSettings
