#include "canvas/canvas_scroller.h"
#include "canvas/design_canvas.h"
#include "canvas/design_check_window.h"
#include "model/frame_picture.h"
#include "canvas/main_window.h"
#include "components/component_creation.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_selection.h"
#include "model/design_operations.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest>

using namespace Plumbrook;
using T = ComponentTable;

class TestDesignCheckWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buttonSitsBesideGenerateCode();
    void clickSelectsAndScrollsIntoView();
    void listFollowsUndoAndRedo();

private:
    QListWidget *list() const { return mCheck->findChild<QListWidget *>(QStringLiteral("列表框_结果")); }
    QStringList lines() const;
    // The id of a new hotspot whose link is left empty, at `frame` on the module.
    QString addHotspot(const QRect &frame);

    std::unique_ptr<Test::DesignerWindow> mDesigner;
    MainWindow *mWindow = nullptr;
    QPointer<DesignCheckWindow> mCheck;
};

void TestDesignCheckWindow::init()
{
    mDesigner = std::make_unique<Test::DesignerWindow>();
    mWindow = mDesigner->window();
    QTest::mouseClick(mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_检查")), Qt::LeftButton);
    mCheck = mWindow->findChild<DesignCheckWindow *>();
    QVERIFY(mCheck);
    QVERIFY(QTest::qWaitForWindowExposed(mCheck));
}

void TestDesignCheckWindow::cleanup()
{
    delete mCheck;
    QVERIFY(mDesigner->closeWindow());
    mDesigner.reset();
}

QStringList TestDesignCheckWindow::lines() const
{
    QStringList texts;
    for (int i = 0; i < list()->count(); ++i)
        texts << list()->item(i)->text();
    return texts;
}

QString TestDesignCheckWindow::addHotspot(const QRect &frame)
{
    DesignCanvas *canvas = mWindow->canvas();
    const int row = canvas->addComponent(QStringLiteral("热点"));
    const QString id = mWindow->table()->cell(row, T::Id);
    DesignOperations::setFrames(mWindow->document(), QStringLiteral("移动"),
                                {{id, frame.translated(-canvas->backgroundPos())}});
    Test::settle();
    return id;
}

void TestDesignCheckWindow::buttonSitsBesideGenerateCode()
{
    auto *check = mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_检查"));
    auto *generate = mWindow->findChild<QPushButton *>(QStringLiteral("超级按钮_生成代码"));
    QCOMPARE(check->text(), QStringLiteral("检查"));
    QCOMPARE(check->parentWidget(), generate->parentWidget());
    QVERIFY(check->isVisible());
    QVERIFY(check->geometry().right() < generate->geometry().left());
    for (QWidget *sibling : check->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (sibling != check)
            QVERIFY2(!sibling->geometry().intersects(check->geometry()), qPrintable(sibling->objectName()));
    }
    // A second press brings the same window forward.
    QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(mWindow->findChildren<DesignCheckWindow *>().size(), 1);
}

void TestDesignCheckWindow::clickSelectsAndScrollsIntoView()
{
    // A module taller than the page, with a hotspot near its foot.
    const QSize module(950, 3000);
    mWindow->document()->writeUnstepped([&] {
        mWindow->table()->setCell(0, T::Width, QString::number(module.width()));
        mWindow->table()->setCell(0, T::Height, QString::number(module.height()));
    });
    mWindow->canvas()->setBackgroundPicture(makeFramePicture(module.width(), module.height(), 0x80e000, 0x80e000));
    mWindow->canvas()->centreBackground(module.width());
    const QString low = addHotspot(QRect(400, 2800, 100, 100));
    const QString high = addHotspot(QRect(100, 10, 100, 100));
    mWindow->canvas()->clearSelection();
    mWindow->scroller()->scrollTo(QPoint(0, 0));
    QTRY_COMPARE(list()->count(), 2);
    QVERIFY(lines().first().contains(QStringLiteral("热点的链接为空")));

    QListWidgetItem *item = nullptr;
    for (int i = 0; i < list()->count(); ++i) {
        if (list()->item(i)->text().contains(u' ' + low + u' '))
            item = list()->item(i);
    }
    QVERIFY(item);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(item).center());

    QWidget *object = mWindow->canvas()->objectById(low);
    QCOMPARE(mWindow->canvas()->selectedObjects(), QList<QWidget *>{object});
    QCOMPARE(mWindow->document()->selection()->ids(), QStringList{low});
    // Wholly within what the design page shows.
    QWidget *page = mWindow->findChild<QWidget *>(QStringLiteral("设计"));
    const QRect shown(object->mapTo(page, QPoint(0, 0)), object->size());
    QVERIFY2(page->rect().contains(shown), qPrintable(QStringLiteral("%1,%2").arg(shown.x()).arg(shown.y())));
    Q_UNUSED(high);
}

void TestDesignCheckWindow::listFollowsUndoAndRedo()
{
    const QString id = addHotspot(QRect(10, 10, 100, 100));
    QTRY_COMPARE(lines(), QStringList{QStringLiteral("错误  %1 热点：热点的链接为空").arg(id)});
    auto *summary = mCheck->findChild<QLabel *>(QStringLiteral("标签_统计"));
    QCOMPARE(summary->text(), QStringLiteral("1 个错误，0 个提醒"));

    DesignDocument *document = mWindow->document();
    const int row = mWindow->table()->findRowById(id);
    document->record(QStringLiteral("链接"), [&] {
        mWindow->table()->setCell(row, T::Link, QStringLiteral("https://shop.example/"));
    });
    QTRY_COMPARE(lines(), QStringList());
    QCOMPARE(summary->text(), QStringLiteral("没有发现问题"));

    document->undoStack()->undo();
    QTRY_COMPARE(lines().size(), 1);
    document->undoStack()->redo();
    QTRY_COMPARE(lines(), QStringList());
    // Undone back to before the hotspot: nothing left to find.
    document->undoStack()->undo();
    QTRY_COMPARE(lines().size(), 1);
    while (mWindow->table()->findRowById(id) != -1 && document->undoStack()->canUndo())
        document->undoStack()->undo();
    QCOMPARE(mWindow->table()->findRowById(id), -1);
    QTRY_COMPARE(lines(), QStringList());
}

QTEST_MAIN(TestDesignCheckWindow)
#include "tst_design_check_window.moc"
