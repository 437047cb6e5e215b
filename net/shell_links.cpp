#include "net/shell_links.h"

#include "net/site_addresses.h"

#include <QDesktopServices>

namespace Plumbrook::ShellLinks {

namespace {

Opener &opener()
{
    static Opener current;
    return current;
}

} // namespace

bool open(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void openTutorial()
{
    open(QUrl(SiteAddresses::tutorialPage()));
}

void openWebsite()
{
    open(QUrl(SiteAddresses::homePage()));
}

void openFeedbackBoard()
{
    open(QUrl(SiteAddresses::feedbackBoardPage()));
}

void setOpener(Opener replacement)
{
    opener() = std::move(replacement);
}

} // namespace Plumbrook::ShellLinks
