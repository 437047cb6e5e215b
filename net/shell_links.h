#pragma once

#include <QUrl>

#include <functional>

namespace Plumbrook {

// Hands the maker's pages to the user's browser.
namespace ShellLinks {

// Opens the URL with the desktop's default handler; false when nothing took it.
bool open(const QUrl &url);

void openTutorial();
void openWebsite();
void openFeedbackBoard();

// Replaces the desktop's handler; tests record the URLs instead. Null restores it.
using Opener = std::function<bool(const QUrl &url)>;
void setOpener(Opener opener);

} // namespace ShellLinks
} // namespace Plumbrook
