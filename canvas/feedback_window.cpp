#include "canvas/feedback_window.h"

#include "components/window_drag.h"
#include "model/background_work.h"
#include "net/feedback.h"
#include "net/shell_links.h"

#include "ui_feedback_window.h"

#include <QCoreApplication>
#include <QPointer>

namespace Plumbrook {

FeedbackWindow::FeedbackWindow(StatusSink status, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::FeedbackWindow)
    , mStatus(std::move(status))
{
    ui->setupUi(this);
    WindowDrag::install(this);
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
    BackgroundWork::start(BackgroundWork::Lane::Requests, &Feedback::fetchFormHash);
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
    // Delivered whether or not the user closed the window meanwhile.
    QPointer<FeedbackWindow> window(this);
    StatusSink status = mStatus;
    BackgroundWork::run(
        BackgroundWork::Lane::Requests, QCoreApplication::instance(),
        [title, text] { return Feedback::post(title, text); },
        [window, status](bool accepted) {
            if (status)
                status(accepted ? Feedback::kAcceptedMessage : Feedback::kFailedMessage);
            if (!window)
                return;
            // A failed post keeps what the user typed, to be sent again.
            if (accepted)
                window->close();
            else
                window->ui->超级按钮2->setEnabled(true);
        });
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

} // namespace Plumbrook
