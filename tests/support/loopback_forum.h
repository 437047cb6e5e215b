#pragma once

#include "net/site_addresses.h"
#include "support/loopback_server.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>

namespace Plumbrook::Test {

inline const QString kTitle = QStringLiteral("好 b_1");

// A forum that hands out a form hash with a session cookie and records every post.
struct Forum
{
    Forum(const QByteArray &boardPage, const QByteArray &postAnswer)
    {
        server.server().Get("/forum-43-1.html", [boardPage](const httplib::Request &,
                                                            httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=s1; path=/");
            res.set_content(boardPage.toStdString(), "text/html; charset=utf-8");
        });
        server.server().Post("/forum.php", [this, postAnswer](const httplib::Request &req,
                                                             httplib::Response &res) {
            std::lock_guard lock(mutex);
            ++posts;
            body = QByteArray::fromStdString(req.body);
            cookie = QByteArray::fromStdString(req.get_header_value("Cookie"));
            query = QStringList();
            for (const char *key : {"mod", "action", "fid", "extra", "topicsubmit"})
                query << QString::fromStdString(req.get_param_value(key));
            res.set_content(postAnswer.toStdString(), "text/html; charset=utf-8");
        });
        server.start();
        SiteAddresses::setForumBase(server.base());
    }
    ~Forum() { SiteAddresses::setForumBase({}); }

    LoopbackServer server;
    std::mutex mutex;
    std::atomic<int> posts{0};
    QByteArray body;
    QByteArray cookie;
    QStringList query;
};

inline QByteArray answerTitled(const QString &title)
{
    return (QStringLiteral("<html><head><title>") + title
            + QStringLiteral(" - 意见反馈</title></head></html>"))
        .toUtf8();
}

} // namespace Plumbrook::Test
