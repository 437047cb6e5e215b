#pragma once

#include <QString>

namespace Plumbrook {

// The maker's web site and forum addresses that the settings menu, feedback and announcements use.
//
// The hosts come from the build (PLUMBROOK_SITE_HOST, PLUMBROOK_FORUM_HOST); tests
// point them at loopback servers with the setters. Safe to use from any thread.
namespace SiteAddresses {

// "http://host[:port]" without a trailing slash.
QString siteBase();
QString forumBase();
// An empty text restores the built-in address.
void setSiteBase(const QString &base);
void setForumBase(const QString &base);

QString homePage();
QString tutorialPage();
QString feedbackBoardPage();
QString newThreadUrl();
QString versionFileUrl();

} // namespace SiteAddresses
} // namespace Plumbrook
