#include "tools/updater/updater_window.h"

#include "ui_updater_window.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace Plumbrook::Updater {

namespace {

// A version file is two short lines; anything much larger is not one.
constexpr qint64 kMaxVersionFileBytes = 64 * 1024;

} // namespace

UpdaterWindow::UpdaterWindow(const UpdateSettings &settings, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::UpdaterWindow)
    , mSettings(settings)
    , mNetwork(new QNetworkAccessManager(this))
{
    ui->setupUi(this);
    setFixedSize(size());
    if (!mSettings.productName.isEmpty())
        setWindowTitle(mSettings.productName + QStringLiteral(" 在线更新"));
    connect(ui->按钮_关闭, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->按钮_下载, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(mDownloadPage)); });
    connect(mNetwork, &QNetworkAccessManager::finished, this, &UpdaterWindow::finished);
}

UpdaterWindow::~UpdaterWindow()
{
    delete ui;
}

void UpdaterWindow::check()
{
    if (!isVersion(mSettings.version)) {
        showResult(QStringLiteral("更新设置 gx.ini 缺失或不完整，请从主程序的“检测更新”启动。"));
        return;
    }
    const QUrl url(mSettings.download);
    if (!url.isValid() || url.host().isEmpty()) {
        showResult(QStringLiteral("更新设置 gx.ini 中没有有效的版本信息地址。"));
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(15000);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = mNetwork->get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxVersionFileBytes)
            reply->abort();
    });
}

void UpdaterWindow::finished(QNetworkReply *reply)
{
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || (status != 0 && status != 200)) {
        showResult(QStringLiteral("无法读取版本信息：%1").arg(reply->errorString()));
        return;
    }
    const std::optional<VersionInfo> info = parseVersionFile(reply->readAll());
    if (!info) {
        showResult(QStringLiteral("版本信息格式不正确，无法判断是否有新版本。"));
        return;
    }
    if (compareVersions(info->latest, mSettings.version) <= 0) {
        showResult(QStringLiteral("已是最新版本"));
        return;
    }
    mDownloadPage = info->downloadPage;
    showResult(QStringLiteral("发现新版本 %1（当前版本 %2）").arg(info->latest, mSettings.version));
    ui->按钮_下载->setVisible(true);
}

void UpdaterWindow::showResult(const QString &text)
{
    ui->标签_状态->setText(text);
}

} // namespace Plumbrook::Updater
