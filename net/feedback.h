#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace Plumbrook {

// Sends the user's comment to the maker's forum as a new thread on its feedback board.
//
// The blocking calls (fetchFormHash, post) belong on worker threads; both carry the
// site cookie jar. The form hash is one process-wide text, guarded for that.
namespace Feedback {

inline const QString kAcceptedMessage =
    QStringLiteral("提交成功！非常感谢您的意见，我们会尽快回复，请在论坛查看回复结果！");
inline const QString kFailedMessage = QStringLiteral("提交失败！请在论坛提交，谢谢！");

// The text between the first "formhash=" and the next double quote; empty when either is missing.
QString formHashIn(const QString &page);

// Fetches the feedback board page and replaces the stored form hash with the one it holds.
void fetchFormHash();
QString formHash();
void setFormHash(const QString &hash);

// Seconds from 1970-01-01 08:00:00 to the local wall-clock time, then its milliseconds
// as three digits (the Unix time in milliseconds on a UTC+8 clock).
QString postTime(const QDateTime &localNow);

// "formhash=…&posttime=…&wysiwyg=1&subject=…&message=…", subject and message URL-encoded.
QByteArray postBody(const QString &hash, const QString &time, const QString &title,
                    const QString &text);

// The forum answers an accepted thread with a page titled after it.
bool isAccepted(const QByteArray &answer, const QString &title);

// Posts the thread with the stored form hash and the current time; true when accepted.
bool post(const QString &title, const QString &text);

// The local clock the post time is taken from; tests inject a fixed one. Null restores it.
using Clock = std::function<QDateTime()>;
void setClock(Clock clock);

} // namespace Feedback
} // namespace Plumbrook
