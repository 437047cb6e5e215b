#pragma once

#include "tools/updater/version_file.h"

#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;

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

    void check();

private:
    void finished(QNetworkReply *reply);
    void showResult(const QString &text);

    Ui::UpdaterWindow *ui;
    UpdateSettings mSettings;
    QString mDownloadPage;
    QNetworkAccessManager *mNetwork;
};

} // namespace Plumbrook::Updater
