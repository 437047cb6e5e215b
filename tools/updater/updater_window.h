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

// Fetches the version file and tells the user whether a newer version is out and where to get it.
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

private:
    // What the user is told when the version file cannot be read.
    static QString failureText(QNetworkReply *reply, bool tooLarge);
    void finished(QNetworkReply *reply);
    void showResult(const QString &text);

    Ui::UpdaterWindow *ui;
    UpdateSettings mSettings;
    QString mDownloadPage;
    QNetworkAccessManager *mNetwork;
    QTimer *mDeadline;
    std::chrono::milliseconds mOverallTimeout{60000};
    bool mTooLarge = false;
};

} // namespace Plumbrook::Updater
