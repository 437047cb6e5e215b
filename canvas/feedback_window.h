#pragma once

#include <QWidget>

#include <functional>

namespace Ui {
class FeedbackWindow;
}

namespace Plumbrook {

// Lets the user write a comment and posts it to the maker's forum in the background.
class FeedbackWindow : public QWidget
{
    Q_OBJECT

public:
    // Where the outcome of a post is reported; called on the UI thread, also when the
    // window has already been closed by then.
    using StatusSink = std::function<void(const QString &text)>;

    explicit FeedbackWindow(StatusSink status, QWidget *parent = nullptr);
    ~FeedbackWindow() override;

    // Shows the window (one at a time) and starts a fresh fetch of the forum's form hash.
    static FeedbackWindow *open(StatusSink status, QWidget *owner);

public slots:
    void submit();
    void clearText();
    void goToForum();

private:
    void startFormHashFetch();

    Ui::FeedbackWindow *ui;
    StatusSink mStatus;
};

} // namespace Plumbrook
