#pragma once

#include <QString>
#include <QStringList>

namespace Plumbrook {

// Reads the maker's announcements once and hands out one random title at a time.
//
// The list ("link======title" items) is process-wide and lives on the user-interface
// thread: the background read hands its items over there.
namespace Announcements {

inline const QString kFailureMessage = QStringLiteral("读取公告失败，请联系我们反馈该条信息");

// The items of the announcement block of a home page; none when the block is missing.
QStringList parse(const QString &homePage);

// Fetches the home page (blocking) and returns the items it holds.
QStringList fetch();
// Fetches and replaces the list with what it holds (blocking).
void read();
// The same in the background; returns at once.
void startRead();

QStringList list();
void setList(const QStringList &items);

// The text after the last "======" of an item; empty when it has none.
QString titleOf(const QString &item);

// What a timer tick shows: a random title, or the failure message when the list is empty.
QString displayText();

} // namespace Announcements
} // namespace Plumbrook
