#include "canvas/design_canvas.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"

#include "canvas/main_window.h"
#include "canvas/module_background_layer.h"
#include "canvas/preview_download.h"
#include "components/component_creation.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Designers made for tests fetch their previews from the test's servers every time, as
// no disk state of an earlier run may decide what a test sees; the disk cache's own
// tests choose a cache of their own.
void withoutDiskCache()
{
    Plumbrook::PreviewDownload::setDiskCache(nullptr);
}
Q_COREAPP_STARTUP_FUNCTION(withoutDiskCache)

} // namespace

namespace Plumbrook::Test {

void typeInto(QLineEdit *edit, const QString &text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    // Character by character, as typing does; this also carries non-Latin text.
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void choose(QComboBox *combo, int index)
{
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    if (index < combo->count())
        QCOMPARE(combo->currentIndex(), index);
}

void runSteps(QWidget *editor, const Steps &steps, QWidget *mainWindow)
{
    for (const QString &step : steps) {
        const int colon = step.indexOf(QLatin1Char(':'));
        if (step.startsWith(QLatin1Char('@'))) {
            QVERIFY2(mainWindow, qPrintable(step));
            auto *box = mainWindow->findChild<QLineEdit *>(step.mid(1, colon - 1));
            QVERIFY2(box, qPrintable(step));
            typeInto(box, step.mid(colon + 1));
            continue;
        }
        const int hash = step.indexOf(QLatin1Char('#'));
        if (hash > 0 && (colon < 0 || hash < colon)) {
            auto *combo = editor->findChild<QComboBox *>(step.left(hash));
            QVERIFY2(combo, qPrintable(step));
            choose(combo, step.mid(hash + 1).toInt());
        } else {
            auto *edit = editor->findChild<QLineEdit *>(step.left(colon));
            QVERIFY2(edit, qPrintable(step));
            typeInto(edit, step.mid(colon + 1));
        }
    }
}

void pressButton(QWidget *window, const QString &name)
{
    auto *button = window->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

int addComponent(MainWindow *main, const QString &kind, const Cells &cells)
{
    const int row = main->canvas()->addComponent(kind);
    // The cells are the test's starting point, no step a user could undo.
    main->document()->writeUnstepped([&] {
        for (const QString &cell : cells) {
            const int eq = cell.indexOf(QLatin1Char('='));
            main->table()->setCell(row, ComponentTable::columnByName(cell.left(eq)), cell.mid(eq + 1));
        }
    });
    return row;
}

QWidget *openEditor(MainWindow *main, int row)
{
    return EditorRegistry::open(main->editorHost(), main->table()->cell(row, ComponentTable::Kind), row);
}

DesignerWindow::DesignerWindow(DesignerOptions options)
    : mOptions(std::move(options))
{
    makeWindow();
}

DesignerWindow::~DesignerWindow()
{
    if (mWindow && !closeWindow())
        qWarning("Preview downloads or background workers were still on their way");
}

void DesignerWindow::makeWindow()
{
    mWindow = std::make_unique<MainWindow>();
    if (mOptions.beforeShow)
        mOptions.beforeShow(mWindow.get(), mDir.path());
    if (mOptions.position)
        mWindow->move(*mOptions.position);
    mWindow->show();
    if (!QTest::qWaitForWindowExposed(mWindow.get()))
        qWarning("The designer window was never shown");
}

MainWindow *DesignerWindow::reopen()
{
    closeWindow();
    makeWindow();
    return mWindow.get();
}

bool DesignerWindow::closeWindow()
{
    EditorRegistry::closeAll();
    // Work still running would land on a deleted window or in a removed program folder.
    const bool ended = QTest::qWaitFor(
        [] { return PreviewDownload::pending() == 0 && ModuleBackgroundLayer::runningWorkers() == 0; },
        40000);
    mWindow.reset();
    // Objects the window handed to deleteLater still belong to this program folder.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ended;
}

QByteArray png(const QColor &colour, int size)
{
    return png(colour, QSize(size, size));
}

QByteArray png(const QColor &colour, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace Plumbrook::Test
