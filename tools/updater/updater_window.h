#pragma once

#include "tools/updater/version_file.h"

#include <QWidget>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace Ui {
class UpdaterWindow;
}

namespace Plumbrook::Updater {

// Fetches the version file, tells the user whether a newer version is out and where to
// get it, and replaces the program's files with it in place where the folder allows.
class UpdaterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit UpdaterWindow(const UpdateSettings &settings, QWidget *parent = nullptr);
    ~UpdaterWindow() override;

    // Starts the check; it ends in a verdict within the overall time-out.
    void check();
    // The longest a check may take, however slowly the answer trickles in (60 s).
    void setOverallTimeout(std::chrono::milliseconds timeout) { mOverallTimeout = timeout; }
    // The folder whose program an update replaces: the updater's own by default.
    void setProgramDir(const QString &dir) { mProgramDir = dir; }
    // Installs a newer version as soon as it is found, as "立即更新" does, for unattended runs.
    void setUnattended(bool unattended) { mUnattended = unattended; }

    // Downloads the newer version's zip and puts its files in place of the program's.
    void update();

signals:
    // The last word of the window: up to date or updated (true), or not (false).
    void concluded(bool ok);

private:
    // What the user is told when the version file cannot be read.
    static QString failureText(QNetworkReply *reply, bool tooLarge);
    void finished(QNetworkReply *reply);
    void archiveFinished(QNetworkReply *reply);
    void showResult(const QString &text);
    void conclude(const QString &text, bool ok);

    Ui::UpdaterWindow *ui;
    UpdateSettings mSettings;
    QString mDownloadPage;
    QString mLatest;
    QString mArchive;
    QString mProgramDir;
    bool mUnattended = false;
    QNetworkAccessManager *mNetwork;
    QTimer *mDeadline;
    std::chrono::milliseconds mOverallTimeout{60000};
    bool mTooLarge = false;
};

} // namespace Plumbrook::Updater
