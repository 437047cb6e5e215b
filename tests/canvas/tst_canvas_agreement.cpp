// Seeded random use of the designer: after every operation each canvas object's
// place on the module, size, stacking, text look and picture source agree with its
// cells, and the geometry boxes with the selection.
#include "canvas/canvas_surface.h"
#include "canvas/design_canvas.h"
#include "canvas/design_loader.h"
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"
#include "model/carousel_settings.h"
#include "components/editor_registry.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "support/canvas_driving.h"
#include "support/editor_driving.h"
#include "support/history_fixture.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>


using namespace Plumbrook;
using T = ComponentTable;
namespace CS = CarouselSettings;

class TestCanvasAgreement : public QObject, public Test::HistoryFixture
{
    Q_OBJECT

private slots:
    // Whatever the program does here, a write of the table outside a step stops it.
    void initTestCase() { DesignDocument::setStrayWritesFatal(true); }
    void init()
    {
        open();
        // Whatever replaces the design drops the changes made here, without asking.
        window()->fileMenu()->setAsker([](const QString &, const QStringList &) { return 1; });
    }
    void cleanup() { close(); }
    void randomUseKeepsCanvasAndCellsAgreeing();

private:
    QWidget *randomObject();
    QString operate(int choice);
    QString disagreement() const;

    QRandomGenerator mRandom;
};

QWidget *TestCanvasAgreement::randomObject()
{
    const QList<QWidget *> objects = canvas()->allObjects();
    return objects.isEmpty() ? nullptr : objects.at(mRandom.bounded(int(objects.size())));
}

QString TestCanvasAgreement::operate(int choice)
{
    const auto &kinds = KindTable::all();
    QWidget *object = randomObject();
    auto selectIt = [&] {
        if (object)
            QTest::mouseClick(object, Qt::LeftButton, {}, QPoint(1, 1));
    };
    const QPoint delta(mRandom.bounded(-40, 41), mRandom.bounded(-40, 41));
    switch (choice) {
    case 0: {
        const QString kind = kinds.at(mRandom.bounded(int(kinds.size()))).name;
        QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("超级按钮_背景")), Qt::LeftButton);
        QTest::mouseClick(window()->palette->findChild<QPushButton *>(KindTable::find(kind)->button), Qt::LeftButton);
        return QStringLiteral("add ") + kind;
    }
    case 1:
        if (object)
            Test::dragBy(object, delta);
        return QStringLiteral("drag");
    case 2: {
        if (!object)
            return QStringLiteral("no resize");
        selectIt();
        static const char *const handles[] = {"标签_左上", "标签_右下", "标签_右中", "标签_下中"};
        auto *handle = window()->findChild<QLabel *>(QString::fromUtf8(handles[mRandom.bounded(4)]));
        if (handle->isVisible())
            Test::dragBy(handle, delta);
        return QStringLiteral("resize");
    }
    case 3: {
        selectIt();
        static const char *const boxes[] = {"编辑框_距左", "编辑框_距顶", "编辑框_宽", "编辑框_高"};
        const int box = mRandom.bounded(4);
        typeInto(boxes[box], QString::number(mRandom.bounded(box < 2 ? -50 : 1, 400)), boxes[(box + 1) % 4]);
        return QStringLiteral("type");
    }
    case 4: {
        if (!object)
            return QStringLiteral("no edit");
        selectIt();
        const int row = table()->findRowById(DesignCanvas::tagOf(object));
        if (table()->isLocked(row))
            return QStringLiteral("locked edit");
        QWidget *editor = Test::openEditor(window(), row);
        if (!editor)
            return QStringLiteral("no editor");
        if (auto *first = editor->findChild<QLineEdit *>(QStringLiteral("编辑框1")); first && KindTable::is(table()->cell(row, T::Kind), KindTable::Kind::Text))
            Test::typeInto(first, QStringLiteral("字%1").arg(mRandom.bounded(100)));
        if (auto *save = editor->findChild<QPushButton *>(QStringLiteral("超级按钮2")))
            QTest::mouseClick(save, Qt::LeftButton);
        EditorRegistry::closeAll();
        return QStringLiteral("edit");
    }
    case 5:
        selectIt();
        QTest::keyClick(canvas()->surface(), Qt::Key_D, Qt::ControlModifier);
        return QStringLiteral("Ctrl+D");
    case 6:
        selectIt();
        QTest::keyClick(canvas()->surface(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(canvas()->surface(), Qt::Key_V, Qt::ControlModifier);
        return QStringLiteral("Ctrl+C Ctrl+V");
    case 7:
        selectIt();
        window()->copySelected();
        return QStringLiteral("复制");
    case 8:
        selectIt();
        QTest::keyClick(canvas()->surface(), Qt::Key_Delete);
        return QStringLiteral("delete");
    case 9:
        selectIt();
        if (mRandom.bounded(2))
            window()->lockSelected();
        else
            window()->unlockSelected();
        return QStringLiteral("lock or unlock");
    case 10: {
        QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("超级按钮_背景1")), Qt::LeftButton);
        QWidget *settings = window()->moduleSettingsWindow;
        auto *width = settings->findChild<QLineEdit *>(QStringLiteral("编辑框_宽度"));
        width->selectAll();
        QTest::keyClicks(width, QString::number(mRandom.bounded(600, 1400)));
        QTest::mouseClick(settings->findChild<QPushButton *>(QStringLiteral("超级按钮2")), Qt::LeftButton);
        return QStringLiteral("module settings");
    }
    case 11:
        QTest::mouseClick(window()->findChild<QPushButton *>(QStringLiteral("超级按钮_最大")), Qt::LeftButton);
        return QStringLiteral("maximise or restore");
    case 12: {
        static const double zooms[] = {0.5, 1.0, 1.5, 2.0};
        canvas()->setZoom(zooms[mRandom.bounded(4)]);
        return QStringLiteral("zoom");
    }
    case 13:
        undo();
        return QStringLiteral("undo");
    case 14:
        redo();
        return QStringLiteral("redo");
    case 15:
        DesignLoader::load(canvas(), window()->document()->design());
        return QStringLiteral("open");
    default:
        window()->fileMenu()->importCode(Test::generated(*table()));
        return QStringLiteral("import");
    }
}

QString TestCanvasAgreement::disagreement() const
{
    const QString stacking = Test::stackingDisagreement(canvas());
    if (!stacking.isEmpty())
        return stacking;
    for (int row = 1; row < table()->count(); ++row) {
        const QStringList cells = table()->rowCells(row);
        QWidget *object = canvas()->objectById(cells.at(T::Id));
        const QRect frame = canvas()->frameOf(object).translated(-canvas()->backgroundPos());
        const QRect cellFrame(cells.at(T::Left).toInt(), cells.at(T::Top).toInt(), qMax(0, cells.at(T::Width).toInt()),
                              qMax(0, cells.at(T::Height).toInt()));
        if (frame != cellFrame)
            return QStringLiteral("row %1 shown at %2,%3 %4x%5, cells %6,%7 %8x%9")
                .arg(row).arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                .arg(cellFrame.x()).arg(cellFrame.y()).arg(cellFrame.width()).arg(cellFrame.height());
        if (auto *picture = qobject_cast<PictureObject *>(object)) {
            DesignFile::CarouselValues carousel;
            if (KindTable::is(cells.at(T::Kind), KindTable::Kind::Carousel)) {
                const int number = CS::numberOf(*table(), row);
                carousel.append({CS::pictureKey(1), CS::read(number, CS::pictureKey(1))});
            }
            if (canvas()->shownUrl(picture) != DesignLoader::previewUrl(cells, carousel))
                return QStringLiteral("row %1 shows %2").arg(row).arg(canvas()->shownUrl(picture));
        } else if (auto *label = qobject_cast<QLabel *>(object)) {
            if (label->text() != cells.at(T::Picture))
                return QStringLiteral("row %1 shows the text %2").arg(row).arg(label->text());
            static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
            const int index = cells.at(T::Text).toInt();
            if (index >= 0 && index < 3 && (label->alignment() & Qt::AlignHorizontal_Mask) != aligns[index])
                return QStringLiteral("row %1 is aligned otherwise").arg(row);
        }
    }
    const int selected = canvas()->selectedRow();
    if (selected >= 1) {
        const std::pair<const char *, int> boxes[] = {{"编辑框_距左", T::Left}, {"编辑框_距顶", T::Top},
                                                      {"编辑框_宽", T::Width}, {"编辑框_高", T::Height}};
        for (const auto &[box, column] : boxes) {
            const QString shown = window()->findChild<QLineEdit *>(QString::fromUtf8(box))->text();
            if (shown != table()->cell(selected, column))
                return QStringLiteral("%1 shows %2, the cell holds %3").arg(QString::fromUtf8(box), shown, table()->cell(selected, column));
        }
    }
    return {};
}

void TestCanvasAgreement::randomUseKeepsCanvasAndCellsAgreeing()
{
    const quint32 seed = qEnvironmentVariableIsSet("PLUMBROOK_SEED") ? quint32(qEnvironmentVariableIntValue("PLUMBROOK_SEED"))
                                                                     : 20261210u;
    mRandom.seed(seed);
    QStringList done;
    for (int step = 0; step < 300; ++step) {
        // Adds come more often than the rest, so that there is something to work on.
        const int choice = mRandom.bounded(4) == 0 ? 0 : mRandom.bounded(17);
        done.append(operate(choice));
        Test::settle();
        const QString wrong = disagreement();
        if (!wrong.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, after %2: %3").arg(seed).arg(done.mid(qMax(0, done.size() - 6)).join(QStringLiteral(", ")), wrong)));
    }
}

QTEST_MAIN(TestCanvasAgreement)
#include "tst_canvas_agreement.moc"
