#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Plumbrook {

// Reads and writes single keys of INI files in GBK, the way the settings files are shared.
//
// Every call opens the file afresh: nothing is cached between calls. Section and key
// names match without regard to letter case; values come back trimmed. A write keeps
// every other line of the file byte for byte (comments, foreign sections, junk).
namespace ProfileFile {

// The value of the key, or an empty text when the file, section or key is absent.
QString read(const QString &path, const QString &section, const QString &key);
// The values of several keys from one reading of the file, in the order asked; each as
// the single read would give it.
QStringList read(const QString &path, const QString &section, const QStringList &keys);

// The value as read() gives it back once write() has written it.
QString readBack(const QString &value);

// Creates the file, section and key as needed, or replaces the key's line in place.
// Line breaks in the value are written as spaces so that a value cannot add lines.
// Returns false when the file could not be written; the file is then unchanged.
bool write(const QString &path, const QString &section, const QString &key, const QString &value);
// Several keys of one section in one rewrite of the file, in order; false (and the
// file unchanged) when a name is invalid or the file could not be written.
bool write(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values);

} // namespace ProfileFile
} // namespace Plumbrook
