#include "tools/updater/updater_window.h"

#include "ui_updater_window.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
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
    , mDeadline(new QTimer(this))
{
    ui->setupUi(this);
    setFixedSize(size());
    if (!mSettings.productName.isEmpty())
        setWindowTitle(mSettings.productName + QStringLiteral(" 在线更新"));
    connect(ui->按钮_关闭, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->按钮_下载, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl(mDownloadPage)); });
    connect(mNetwork, &QNetworkAccessManager::finished, this, &UpdaterWindow::finished);
    mDeadline->setSingleShot(true);
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
    mTooLarge = false;
    QNetworkReply *reply = mNetwork->get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [this, reply](qint64 received, qint64) {
        if (received > kMaxVersionFileBytes) {
            mTooLarge = true;
            reply->abort();
        }
    });
    // The transfer time-out only catches a silent server; one that trickles a byte now
    // and then would keep the window checking for ever.
    mDeadline->disconnect();
    connect(mDeadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    mDeadline->start(mOverallTimeout);
}

QString UpdaterWindow::failureText(QNetworkReply *reply, bool tooLarge)
{
    const QString prefix = QStringLiteral("无法读取版本信息：");
    if (tooLarge)
        return prefix + QStringLiteral("服务器返回的不是版本信息文件。");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return prefix + QStringLiteral("服务器返回错误 %1。").arg(status);
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        // The only cancellations are ours: the transfer or the overall time-out.
        return prefix + QStringLiteral("检查更新超时，请检查网络后重试。");
    case QNetworkReply::ConnectionRefusedError:
        return prefix + QStringLiteral("服务器拒绝连接。");
    case QNetworkReply::HostNotFoundError:
        return prefix + QStringLiteral("找不到服务器，请检查网络连接。");
    case QNetworkReply::RemoteHostClosedError:
        return prefix + QStringLiteral("服务器中断了连接。");
    case QNetworkReply::SslHandshakeFailedError:
        return prefix + QStringLiteral("无法建立安全连接，服务器证书无效。");
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return prefix + QStringLiteral("网络不可用，请检查网络连接。");
    default:
        break;
    }
    if (status != 0)
        return prefix + QStringLiteral("服务器返回错误 %1。").arg(status);
    return prefix + QStringLiteral("网络错误（代码 %1）。").arg(int(reply->error()));
}

void UpdaterWindow::finished(QNetworkReply *reply)
{
    reply->deleteLater();
    mDeadline->stop();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || (status != 0 && status != 200)) {
        showResult(failureText(reply, mTooLarge));
        return;
    }
    const QByteArray bytes = reply->readAll();
    // A large answer may arrive whole before its size can stop it.
    if (bytes.size() > kMaxVersionFileBytes) {
        showResult(failureText(reply, true));
        return;
    }
    const std::optional<VersionInfo> info = parseVersionFile(bytes);
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
