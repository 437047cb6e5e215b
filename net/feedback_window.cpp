#include "net/feedback_window.h"

#include "net/feedback.h"
#include "net/shell_links.h"

#include "ui_feedback_window.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <memory>

namespace Plumbrook {

FeedbackWindow::FeedbackWindow(StatusSink status, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::FeedbackWindow)
    , mStatus(std::move(status))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(500, 350);

    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->超级按钮2, &QPushButton::clicked, this, &FeedbackWindow::submit);
    connect(ui->超级按钮3, &QPushButton::clicked, this, &FeedbackWindow::clearText);
    connect(ui->超级按钮4, &QPushButton::clicked, this, &FeedbackWindow::goToForum);
}

FeedbackWindow::~FeedbackWindow()
{
    delete ui;
}

FeedbackWindow *FeedbackWindow::open(StatusSink status, QWidget *owner)
{
    static QPointer<FeedbackWindow> current;
    if (!current) {
        current = new FeedbackWindow(std::move(status), owner);
        if (owner)
            current->move(owner->frameGeometry().center() - current->rect().center());
    }
    current->startFormHashFetch();
    current->show();
    current->raise();
    current->activateWindow();
    return current;
}

void FeedbackWindow::startFormHashFetch()
{
    QThread *worker = QThread::create([] { Feedback::fetchFormHash(); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void FeedbackWindow::submit()
{
    if (ui->编辑框_标题->text().isEmpty()) {
        ui->编辑框_标题->setFocus();
        return;
    }
    if (ui->编辑框_内容->toPlainText().isEmpty()) {
        ui->编辑框_内容->setFocus();
        return;
    }
    ui->超级按钮2->setEnabled(false);

    // The worker gets the texts now and never touches the window itself.
    const QString title = ui->编辑框_标题->text();
    const QString text = ui->编辑框_内容->toPlainText();
    auto accepted = std::make_shared<bool>(false);
    QThread *worker = QThread::create([title, text, accepted] {
        *accepted = Feedback::post(title, text);
    });
    // Delivered on the UI thread through the application object, so that the outcome
    // is reported even when the user closed the window meanwhile.
    QPointer<FeedbackWindow> window(this);
    StatusSink status = mStatus;
    connect(worker, &QThread::finished, qApp, [window, status, accepted] {
        if (status)
            status(*accepted ? Feedback::kAcceptedMessage : Feedback::kFailedMessage);
        if (window)
            window->close();
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void FeedbackWindow::clearText()
{
    ui->编辑框_内容->clear();
}

void FeedbackWindow::goToForum()
{
    ShellLinks::openFeedbackBoard();
    close();
}

void FeedbackWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void FeedbackWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton && !mDragOffset.isNull())
        move(event->globalPosition().toPoint() - mDragOffset);
    QWidget::mouseMoveEvent(event);
}

} // namespace Plumbrook
