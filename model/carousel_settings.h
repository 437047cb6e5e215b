#pragma once

#include "model/component_table.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

namespace Plumbrook {

// The per-carousel settings file and the number that ties a carousel to it and to its arrows.
namespace CarouselSettings {

inline const QString kSection = QStringLiteral("configure");

inline const QString kNumber = QStringLiteral("Number");
inline const QString kBannerWidth = QStringLiteral("t_k");
inline const QString kBannerHeight = QStringLiteral("t_g");
inline const QString kShowArrows = QStringLiteral("j_j");
inline const QString kArrowWidth = QStringLiteral("j_k");
inline const QString kArrowHeight = QStringLiteral("j_g");
inline const QString kLeftArrowUrl = QStringLiteral("j_z");
inline const QString kRightArrowUrl = QStringLiteral("j_y");
inline const QString kTransitionIndex = QStringLiteral("d_g1");
inline const QString kTransitionCode = QStringLiteral("d_g2");
inline const QString kEasingIndex = QStringLiteral("q_g1");
inline const QString kEasingCode = QStringLiteral("q_g2");
inline const QString kLinkTarget = QStringLiteral("d_s");
inline const QString kAutoplay = QStringLiteral("z_f");

inline const QString kLeftArrowPrefix = QStringLiteral("左箭头");
inline const QString kRightArrowPrefix = QStringLiteral("右箭头");

constexpr int kMaxPictures = 8;

// Picture n (1..8) URL and link keys: "t_<n>", "l_<n>".
QString pictureKey(int n);
QString linkKey(int n);

// Sample content written at creation.
extern const QString kSamplePictureA;
extern const QString kSamplePictureB;
extern const QString kDefaultLeftArrowUrl;
extern const QString kDefaultRightArrowUrl;

// Transition and easing codes by list index.
const QStringList &transitionCodes();
const QStringList &easingCodes();

// <program dir>/data/code/Carousel<N>.ini
QString filePath(int number);

// Announces every write of a settings file, so that the design's history sees
// edits that never touch the table.
class Notifier : public QObject
{
    Q_OBJECT

signals:
    // Before the values go to the file, so that a step can keep what they replace.
    void aboutToWrite(int number, const QList<QPair<QString, QString>> &values);
    void written(int number);
};
Notifier *notifier();

// Empty when the file or key is absent.
QString read(int number, const QString &key);
// The keys with their values from one reading of the file, in the order given.
QList<QPair<QString, QString>> read(int number, const QStringList &keys);
// Every key of defaults() with the file's value, from one reading of the file.
QList<QPair<QString, QString>> readAll(int number);
// Creates data/code when missing; false when the file could not be written.
bool write(int number, const QString &key, const QString &value);
// Several keys in one rewrite of the file, in order.
bool write(int number, const QList<QPair<QString, QString>> &values);
// Unless the file holds them all already, every read has the values at once and the
// files lane writes them after the writes before; false when no folder can hold it.
bool writeChanged(int number, const QList<QPair<QString, QString>> &values);
// Every carousel's values as writeChanged has them, without a look at the files here:
// the files lane compares each file with its values and leaves a file that holds them
// untouched. For a whole design coming in, whose files the window must not wait on.
void mirror(const QMap<int, QList<QPair<QString, QString>>> &carousels);
// The creation defaults, every key in its fixed order; other keys of an older file stay.
bool writeDefaults(int number);
// The keys and values writeDefaults writes, in order.
QList<QPair<QString, QString>> defaults();
// Their keys alone.
const QStringList &keys();

// A carousel's settings as the design holding `table` has them; for a table of no
// design, its settings file.
QString valueOf(const ComponentTable &table, int number, const QString &key);
// Written into the design holding `table` as part of its step, the file mirroring them;
// a table of no design writes the file alone. False when the file's folder cannot be written.
bool writeFor(const ComponentTable &table, int number, const QList<QPair<QString, QString>> &values);

// The cell of a carousel's own row that keeps its number for the carousel's lifetime.
inline constexpr int kNumberColumn = ComponentTable::Background;   // a slot it has no other use for

// The number of the carousel in row carouselRow: the number kept in its own row, else
// (designs made before the row kept it) the number its arrows were named with, or its
// row index when neither arrow is left.
int numberOf(const ComponentTable &table, int carouselRow);
// The picture address of each slide the generated code shows for the carousel in
// `carouselRow`, from `setting` (unset: its settings file, read once).
QStringList slidePictures(const ComponentTable &table, int carouselRow,
                          const std::function<QString(int number, const QString &key)> &setting = {});
// Rows of the carousel's arrows (id + 1 and id + 2), -1 when absent.
int leftArrowRow(const ComponentTable &table, int carouselRow);
int rightArrowRow(const ComponentTable &table, int carouselRow);
// The number for a carousel just added in row newRow: its row index unless a living
// carousel already uses that number, then the smallest free number above it.
int numberForNewCarousel(const ComponentTable &table, int newRow);

} // namespace CarouselSettings
} // namespace Plumbrook
