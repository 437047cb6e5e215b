#include "tools/updater/updater_window.h"

#include "tools/updater/update_installer.h"
#include "ui_updater_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace Plumbrook::Updater {

namespace {

// A version file is two short lines; anything much larger is not one.
constexpr qint64 kMaxVersionFileBytes = 64 * 1024;
// The program's zip is some tens of megabytes; a download far beyond that is no zip of ours.
constexpr qint64 kMaxArchiveBytes = 1024LL * 1024 * 1024;

} // namespace

UpdaterWindow::UpdaterWindow(const UpdateSettings &settings, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::UpdaterWindow)
    , mSettings(settings)
    , mProgramDir(QCoreApplication::applicationDirPath())
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
    connect(ui->按钮_更新, &QPushButton::clicked, this, &UpdaterWindow::update);
    mDeadline->setSingleShot(true);
}

UpdaterWindow::~UpdaterWindow()
{
    delete ui;
}

void UpdaterWindow::check()
{
    if (!isVersion(mSettings.version)) {
        conclude(QStringLiteral("更新设置 gx.ini 缺失或不完整，请从主程序的“检测更新”启动。"), false);
        return;
    }
    const QUrl url(mSettings.download);
    if (!url.isValid() || url.host().isEmpty()) {
        conclude(QStringLiteral("更新设置 gx.ini 中没有有效的版本信息地址。"), false);
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(15000);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    mTooLarge = false;
    QNetworkReply *reply = mNetwork->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
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
        conclude(failureText(reply, mTooLarge), false);
        return;
    }
    const QByteArray bytes = reply->readAll();
    // A large answer may arrive whole before its size can stop it.
    if (bytes.size() > kMaxVersionFileBytes) {
        conclude(failureText(reply, true), false);
        return;
    }
    const std::optional<VersionInfo> info = parseVersionFile(bytes);
    if (!info) {
        conclude(QStringLiteral("版本信息格式不正确，无法判断是否有新版本。"), false);
        return;
    }
    if (compareVersions(info->latest, mSettings.version) <= 0) {
        conclude(QStringLiteral("已是最新版本"), true);
        return;
    }
    mDownloadPage = info->downloadPage;
    mLatest = info->latest;
    mArchive = info->archive;
    showResult(QStringLiteral("发现新版本 %1（当前版本 %2）").arg(info->latest, mSettings.version));
    ui->按钮_下载->setVisible(true);
    // Where the program's folder cannot be written (installed for all users), the
    // download page is the way.
    const bool inPlace = !mArchive.isEmpty() && UpdateInstaller::canReplace(mProgramDir);
    ui->按钮_更新->setVisible(inPlace);
    if (mUnattended) {
        if (inPlace)
            update();
        else
            conclude(QStringLiteral("无法在原处更新：程序所在的文件夹不可写入，请前往下载。"), false);
    }
}

void UpdaterWindow::update()
{
    ui->按钮_更新->setEnabled(false);
    showResult(QStringLiteral("正在下载新版本 %1…").arg(mLatest));
    QNetworkRequest request{QUrl(mArchive)};
    request.setTransferTimeout(30000);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = mNetwork->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { archiveFinished(reply); });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxArchiveBytes)
            reply->abort();
    });
}

void UpdaterWindow::archiveFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || (status != 0 && status != 200)) {
        ui->按钮_更新->setEnabled(true);
        conclude(QStringLiteral("更新失败：无法下载新版本，请稍后重试或前往下载。"), false);
        return;
    }
    // A folder of its own rather than a temporary file: Windows' temporary file stays
    // open after close(), where the unpacking cannot open it again.
    QTemporaryDir download(QDir(mProgramDir).filePath(QStringLiteral(".update-XXXXXX")));
    QFile zip(download.filePath(QStringLiteral("update.zip")));
    if (!download.isValid() || !zip.open(QIODevice::WriteOnly) || zip.write(reply->readAll()) < 0
        || !zip.flush()) {
        ui->按钮_更新->setEnabled(true);
        conclude(QStringLiteral("更新失败：程序所在的文件夹不可写入。"), false);
        return;
    }
    zip.close();
    const QString failure = UpdateInstaller::replace(zip.fileName(), mProgramDir);
    if (!failure.isEmpty()) {
        ui->按钮_更新->setEnabled(true);
        conclude(failure, false);
        return;
    }
    UpdateInstaller::recordInstalledVersion(mProgramDir, mLatest);
    ui->按钮_更新->setVisible(false);
    ui->按钮_下载->setVisible(false);
    conclude(QStringLiteral("已更新到 %1，重新启动程序后生效。").arg(mLatest), true);
}

void UpdaterWindow::showResult(const QString &text)
{
    ui->标签_状态->setText(text);
}

void UpdaterWindow::conclude(const QString &text, bool ok)
{
    showResult(text);
    // A script that runs it unattended has no window to read.
    if (mUnattended) {
        std::fputs(qPrintable(text + u'\n'), stdout);
        std::fflush(stdout);
    }
    emit concluded(ok);
}

} // namespace Plumbrook::Updater
