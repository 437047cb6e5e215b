#include "support/history_fixture.h"

#include "canvas/design_canvas.h"
#include "canvas/file_menu.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QUndoStack>

#include <algorithm>

namespace Plumbrook::Test {

namespace {

// The canvas follows the pointer's global position, which stays put while the object moves.
void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

QByteArray fakeFetch(const QString &url)
{
    return makeFramePicture(int(url.size()), 9, 0x302010, 0x302010);
}

} // namespace

void dragBy(QWidget *widget, const QPoint &delta, int moves)
{
    const QPoint press = widget->mapToGlobal(QPoint(2, 2));
    sendMouse(widget, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= moves; ++step)
        sendMouse(widget, QEvent::MouseMove, press + delta * step / moves, Qt::NoButton, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, press + delta, Qt::LeftButton, Qt::NoButton);
}

HistoryFixture::HistoryFixture() = default;

HistoryFixture::~HistoryFixture()
{
    close();
}

void HistoryFixture::open()
{
    DesignerOptions options;
    // The per-user settings go with the program's folder, away from the user's own.
    options.beforeShow = [](MainWindow *window, const QString &programDir) {
        window->fileMenu()->setDataDir(programDir);
    };
    mDesigner = std::make_unique<DesignerWindow>(std::move(options));
    mWindow = mDesigner->window();
    mCanvas = mWindow->canvas();
    mCanvas->setPreviewFetch(&fakeFetch);
    mTable = mWindow->table();
    mStack = mWindow->document()->undoStack();
    mCanvas->setBackgroundPicture(makeFramePicture(950, 500, 0x8445952, 0x8445952));
    mCanvas->centreBackground(950);
    settle();
    mStack->clear();
}

void HistoryFixture::close()
{
    if (!mWindow)
        return;
    const bool ended = mDesigner->closeWindow();
    mDesigner.reset();
    mWindow = nullptr;
    QVERIFY2(ended, "work of the window was still running");
}

QWidget *HistoryFixture::object(int row) const
{
    return mCanvas->objectById(mTable->cell(row, ComponentTable::Id));
}

void HistoryFixture::select(int row)
{
    QTest::mouseClick(object(row), Qt::LeftButton, {}, QPoint(2, 2));
    settle();
}

bool HistoryFixture::undo()
{
    if (!mStack->canUndo())
        return false;
    mStack->undo();
    return true;
}

bool HistoryFixture::redo()
{
    if (!mStack->canRedo())
        return false;
    mStack->redo();
    return true;
}

void HistoryFixture::typeInto(const char *boxName, const QString &text, const char *leaveTo)
{
    auto *box = mWindow->findChild<QLineEdit *>(QString::fromUtf8(boxName));
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    if (leaveTo)
        mWindow->findChild<QLineEdit *>(QString::fromUtf8(leaveTo))->setFocus();
}

QStringList HistoryFixture::canvasLooks() const
{
    QList<QWidget *> objects = mCanvas->allObjects();
    if (objects.isEmpty())
        return {};
    const QObjectList siblings = objects.first()->parentWidget()->children();
    std::sort(objects.begin(), objects.end(), [&siblings](QWidget *a, QWidget *b) {
        return siblings.indexOf(a) < siblings.indexOf(b);
    });
    QStringList looks;
    const QPoint origin = mCanvas->backgroundPos();
    for (QWidget *object : objects) {
        const QRect frame = object->geometry().translated(-origin);
        QString look = QStringLiteral("%1 %2,%3 %4x%5 %6")
                           .arg(DesignCanvas::tagOf(object))
                           .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                           .arg(object->isHidden() ? "hidden" : "shown");
        if (auto *picture = qobject_cast<PictureObject *>(object))
            look += QStringLiteral(" picture %1").arg(qHash(picture->pictureData()));
        else if (auto *label = qobject_cast<QLabel *>(object))
            look += QLatin1Char(' ') + label->text() + QLatin1Char(' ') + label->font().toString()
                + QLatin1Char(' ') + label->styleSheet();
        looks.append(look);
    }
    return looks;
}

} // namespace Plumbrook::Test
