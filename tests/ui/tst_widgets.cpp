#include "platform/Settings.h"
#include "ui/FileRoles.h"
#include "ui/IDDragTableView.h"
#include "ui/MRCoolTextView.h"
#include "ui/MRFileCell.h"
#include "ui/MRSplitView.h"
#include "ui/MRWindow.h"
#include "ui/SheetPresenter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>
#include <limits>

using namespace Qt::StringLiterals;
using namespace vantle;

namespace {

constexpr int kRowWidth = 320;
// Two colours this far apart (sum of channel differences) tell ink from background.
constexpr int kInkContrast = 120;

QPalette darkPalette() {
    QPalette palette;
    const QColor base(0x1e, 0x1e, 0x1e);
    const QColor text(0xe6, 0xe6, 0xe6);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Highlight, QColor(0x2f, 0x65, 0xca));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Light, QColor(0x50, 0x50, 0x50));
        palette.setColor(group, QPalette::Shadow, Qt::black);
        palette.setColor(group, QPalette::Button, QColor(0x35, 0x35, 0x35));
        palette.setColor(group, QPalette::ButtonText, text);
    }
    return palette;
}

int distance(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
}

// How far the most distinct pixel of `area` is from `background`.
int strongestInk(const QImage& image, const QRect& area, QColor background) {
    int strongest = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            strongest = qMax(strongest, distance(image.pixel(x, y), background.rgb()));
    }
    return strongest;
}

// How close the pixel of `area` nearest to `colour` comes to it.
int nearest(const QImage& image, const QRect& area, QColor colour) {
    int best = std::numeric_limits<int>::max();
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            best = qMin(best, distance(image.pixel(x, y), colour.rgb()));
    }
    return best;
}

QImage solidIcon(QColor colour, int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(colour);
    return icon;
}

QStandardItem* fileItem(const QString& name, const QString& sizeLine) {
    auto* item = new QStandardItem(name);
    item->setData(solidIcon(Qt::red, 32), Qt::DecorationRole);
    item->setData(QString(u"/home/user/"_s + name), Qt::ToolTipRole);
    item->setData(sizeLine, SizeLineRole);
    return item;
}

// One row drawn by the cell on its own, in the given palette.
QImage paintRow(const QStandardItemModel& model, int row, const QPalette& palette,
                bool selected = false, bool focused = false) {
    const QFont font = QApplication::font();
    const QRect rect(0, 0, kRowWidth, MRFileCell::rowHeight(font));
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette.color(QPalette::Base));
    QStyleOptionViewItem option;
    option.rect = rect;
    option.palette = palette;
    option.font = font;
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected) option.state |= QStyle::State_Selected;
    if (focused) option.state |= QStyle::State_HasFocus;
    MRFileCell cell;
    QPainter painter(&image);
    cell.paint(&painter, option, model.index(row, 0));
    return image;
}

QMimeData* filesMime(const QStringList& urls) {
    auto* mime = new QMimeData;
    QList<QUrl> list;
    for (const QString& url : urls)
        list.append(QUrl(url));
    mime->setUrls(list);
    return mime;
}

// A drag entering, then dropped, as the window system delivers them.
bool dragEnter(QWidget* target, const QMimeData* mime) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
}

bool drop(QWidget* target, const QMimeData* mime) {
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

void leave(QWidget* target) {
    QDragLeaveEvent left;
    QApplication::sendEvent(target, &left);
}

QStandardItemModel* threeRows(QObject* parent) {
    auto* model = new QStandardItemModel(parent);
    model->appendRow(fileItem(u"first.txt"_s, u"10 KB"_s));
    model->appendRow(fileItem(u"second.txt"_s, u"1.5 MB"_s));
    model->appendRow(fileItem(u"third.txt"_s, QString()));
    return model;
}

bool showTable(IDDragTableView& table, QAbstractItemModel* model) {
    table.setModel(model);
    table.resize(300, 200);
    table.show();
    return QTest::qWaitForWindowExposed(&table);
}

// The two panes of the window, each with a heading over its content.
QWidget* pane(const QString& heading) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(heading));
    // Like a table, the content needs more room than a strip.
    auto* content = new QWidget;
    content->setMinimumHeight(80);
    layout->addWidget(content, 1);
    return widget;
}

bool showSplit(MRSplitView& split, const QString& topHeading, int height) {
    split.setPanes(pane(topHeading), pane(u"Files on connected iPhone"_s));
    split.resize(400, height);
    split.show();
    return QTest::qWaitForWindowExposed(&split);
}

SheetPresenter::Message
message(const QString& title, const QString& text, const QStringList& buttons,
        SheetPresenter::Message::Kind kind = SheetPresenter::Message::Kind::Sheet) {
    SheetPresenter::Message m;
    m.title = title;
    m.text = text;
    m.buttons = buttons;
    m.kind = kind;
    return m;
}

} // namespace

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName(u"VantleTest"_s);
        QCoreApplication::setApplicationName(u"tst_widgets"_s);
        QVERIFY(mSettingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mSettingsDir.path());
    }

    // --- the file cell ---

    void cellDrawsSizeLineOnlyWhenThereIsOne() {
        QStandardItemModel model;
        model.appendRow(fileItem(u"report.pdf"_s, u"120 KB"_s));
        model.appendRow(fileItem(u"report.pdf"_s, QString()));
        const QPalette palette = QApplication::palette();
        const QColor base = palette.color(QPalette::Base);
        const QFont font = QApplication::font();
        const QRect row(0, 0, kRowWidth, MRFileCell::rowHeight(font));

        const QImage withSize = paintRow(model, 0, palette);
        const QImage uploading = paintRow(model, 1, palette);
        const QRect sizeLine = MRFileCell::sizeLineRect(row, font);
        QVERIFY(strongestInk(withSize, sizeLine, base) > kInkContrast / 2);
        QCOMPARE(strongestInk(uploading, sizeLine, base), 0);
        // Name and icon are drawn in both.
        for (const QImage& image : {withSize, uploading}) {
            QVERIFY(strongestInk(image, MRFileCell::nameRect(row, font), base) > kInkContrast);
            QCOMPARE(image.pixel(MRFileCell::iconRect(row).center()), QColor(Qt::red).rgb());
        }
        // Everything fits the row: icon and both lines.
        QVERIFY(sizeLine.bottom() < row.height());
        QVERIFY(MRFileCell::iconRect(row).bottom() < row.height());
        QCOMPARE(MRFileCell().sizeHint(QStyleOptionViewItem(), QModelIndex()).height(),
                 MRFileCell::rowHeight(QStyleOptionViewItem().font));
    }

    void cellElidesLongNamesInTheMiddle() {
        const QString name = u"A"_s.repeated(60) + u"-middle-"_s + u"Z"_s.repeated(60) + u".txt"_s;
        QStandardItemModel model;
        model.appendRow(fileItem(name, u"1 KB"_s));
        const QPalette palette = QApplication::palette();
        const QFont font = QApplication::font();
        const QRect row(0, 0, kRowWidth, MRFileCell::rowHeight(font));
        const QRect nameRect = MRFileCell::nameRect(row, font);
        const QImage drawn = paintRow(model, 0, palette);

        // Nothing of the name runs past its rectangle.
        const QRect beyond(nameRect.right() + 1, nameRect.top(), row.width() - nameRect.right() - 1,
                           nameRect.height());
        QCOMPARE(strongestInk(drawn, beyond, palette.color(QPalette::Base)), 0);

        const auto render = [&](Qt::TextElideMode mode) {
            QImage image(row.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(palette.color(QPalette::Base));
            QPainter painter(&image);
            const QFont nameFont = MRFileCell::nameFont(font);
            painter.setFont(nameFont);
            painter.setPen(palette.color(QPalette::Text));
            painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             QFontMetrics(nameFont).elidedText(name, mode, nameRect.width()));
            return image.copy(nameRect);
        };
        QCOMPARE(drawn.copy(nameRect), render(Qt::ElideMiddle));
        QVERIFY(drawn.copy(nameRect) != render(Qt::ElideRight));
    }

    void cellColoursFollowADarkPalette() {
        QStandardItemModel model;
        model.appendRow(fileItem(u"holiday.jpg"_s, u"2.4 MB"_s));
        const QPalette dark = darkPalette();
        const QFont font = QApplication::font();
        const QRect row(0, 0, kRowWidth, MRFileCell::rowHeight(font));
        const QColor base = dark.color(QPalette::Base);

        const QImage image = paintRow(model, 0, dark);
        // The name is light on the dark base, and the size line is readable too.
        QVERIFY(strongestInk(image, MRFileCell::nameRect(row, font), base) > 2 * kInkContrast);
        QVERIFY(strongestInk(image, MRFileCell::sizeLineRect(row, font), base) > kInkContrast);

        // A selected row draws its name in the highlighted-text colour over the highlight.
        const QImage selected = paintRow(model, 0, dark, true);
        const QColor highlight = dark.color(QPalette::Highlight);
        QVERIFY(strongestInk(selected, MRFileCell::nameRect(row, font), highlight) >
                2 * kInkContrast);
        QVERIFY(strongestInk(selected, MRFileCell::sizeLineRect(row, font), highlight) >
                kInkContrast);

        // In a light palette the name turns from the text colour to the highlighted one.
        QPalette light;
        light.setColor(QPalette::Text, Qt::black);
        light.setColor(QPalette::Base, Qt::white);
        light.setColor(QPalette::Highlight, QColor(0x30, 0x60, 0xc0));
        light.setColor(QPalette::HighlightedText, Qt::white);
        const QRect name = MRFileCell::nameRect(row, font);
        const int close = kInkContrast / 4;
        QVERIFY(nearest(paintRow(model, 0, light), name, Qt::black) < close);
        QVERIFY(nearest(paintRow(model, 0, light, true), name, Qt::white) < close);
        QVERIFY(nearest(paintRow(model, 0, light, true), name, Qt::black) > kInkContrast);
    }

    // The keyboard's row has a frame that stands out in light and dark themes, selected or not.
    void cellFramesTheFocusedRow_data() {
        QPalette light;
        light.setColor(QPalette::Text, Qt::black);
        light.setColor(QPalette::Base, Qt::white);
        light.setColor(QPalette::Highlight, QColor(0x30, 0x60, 0xc0));
        light.setColor(QPalette::HighlightedText, Qt::white);
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("selected");
        QTest::newRow("light") << light << false;
        QTest::newRow("light, selected") << light << true;
        QTest::newRow("dark") << darkPalette() << false;
        QTest::newRow("dark, selected") << darkPalette() << true;
    }

    void cellFramesTheFocusedRow() {
        QFETCH(QPalette, palette);
        QFETCH(bool, selected);
        QStandardItemModel model;
        model.appendRow(fileItem(u"holiday.jpg"_s, u"2.4 MB"_s));
        // Left of the icon, away from the text: only the frame is drawn there.
        const QRect edge(0, 0, 4, MRFileCell::rowHeight(QApplication::font()));
        const QImage framed = paintRow(model, 0, palette, selected, true);
        const QImage plain = paintRow(model, 0, palette, selected, false);
        int strongest = 0;
        for (int y = edge.top(); y <= edge.bottom(); ++y)
            for (int x = edge.left(); x <= edge.right(); ++x)
                strongest = qMax(strongest, distance(framed.pixel(x, y), plain.pixel(x, y)));
        QVERIFY(strongest > kInkContrast);
    }

    // --- the drag table ---

    void tableTakesLocalFilesOnlyWhenAllowed() {
        IDDragTableView table;
        QVERIFY(showTable(table, threeRows(&table)));
        QSignalSpy dropped(&table, &IDDragTableView::filesDropped);
        std::unique_ptr<QMimeData> files(filesMime(
            {u"file:///tmp/b%20c.txt"_s, u"https://example.com/x"_s, u"file:///tmp/a/../a.txt"_s}));
        std::unique_ptr<QMimeData> remoteOnly(filesMime({u"https://example.com/x"_s}));

        // Without a policy (the phone's table) nothing is taken.
        QVERIFY(!dragEnter(table.viewport(), files.get()));
        QVERIFY(!drop(table.viewport(), files.get()));

        bool allowed = false;
        table.setDropPolicy([&allowed] { return allowed; });
        QVERIFY(!dragEnter(table.viewport(), files.get()));
        allowed = true;
        QVERIFY(!dragEnter(table.viewport(), remoteOnly.get()));
        QVERIFY(dragEnter(table.viewport(), files.get()));
        QVERIFY(drop(table.viewport(), files.get()));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(),
                 QStringList({u"/tmp/b c.txt"_s, u"/tmp/a.txt"_s}));

        // A sheet opening while the drag hovers refuses the drop.
        QVERIFY(dragEnter(table.viewport(), files.get()));
        allowed = false;
        QVERIFY(!drop(table.viewport(), files.get()));
        QCOMPARE(dropped.size(), 1);
    }

    void tableRefusesDragsFromFileTables() {
        QWidget window;
        auto* queue = new IDDragTableView(&window);
        auto* phone = new IDDragTableView(&window);
        auto* elsewhere = new QWidget(&window);
        queue->setDropPolicy([] { return true; });
        std::unique_ptr<QMimeData> files(filesMime({u"file:///tmp/a.txt"_s}));

        QVERIFY(queue->acceptsDrop(files.get(), nullptr));
        QVERIFY(queue->acceptsDrop(files.get(), elsewhere));
        QVERIFY(!queue->acceptsDrop(files.get(), phone));
        QVERIFY(!queue->acceptsDrop(files.get(), phone->viewport()));
        QVERIFY(!queue->acceptsDrop(files.get(), queue));
        QVERIFY(!queue->acceptsDrop(files.get(), queue->viewport()));
    }

    void tableOutlinesAnAcceptedDragUntilItLeaves() {
        IDDragTableView table;
        QVERIFY(showTable(table, new QStandardItemModel(&table)));
        // The keyboard's frame, which an empty table with the focus shows, is not a drag's.
        table.clearFocus();
        table.setDropPolicy([] { return true; });
        std::unique_ptr<QMimeData> files(filesMime({u"file:///tmp/a.txt"_s}));
        const QRgb highlight = table.palette().color(QPalette::Highlight).rgb();
        const auto edgePixel = [&table] {
            const QImage image = table.viewport()->grab().toImage();
            return image.pixel(2, image.height() / 2);
        };

        QVERIFY(edgePixel() != highlight);
        QVERIFY(dragEnter(table.viewport(), files.get()));
        QTRY_COMPARE(edgePixel(), highlight);
        leave(table.viewport());
        QTRY_VERIFY(edgePixel() != highlight);
        QVERIFY(dragEnter(table.viewport(), files.get()));
        QVERIFY(drop(table.viewport(), files.get()));
        QTRY_VERIFY(edgePixel() != highlight);
    }

    void tableKeysAndDoubleClickBecomeSignals() {
        IDDragTableView table;
        QVERIFY(showTable(table, threeRows(&table)));
        QSignalSpy deleted(&table, &IDDragTableView::deleteRequested);
        QSignalSpy activated(&table, &IDDragTableView::rowActivated);

        QTest::keyClick(&table, Qt::Key_Delete);
        QTest::keyClick(&table, Qt::Key_Backspace);
        table.deleteSelected();
        QCOMPARE(deleted.size(), 3);

        // Return acts on a selected row only.
        table.clearSelection();
        QTest::keyClick(&table, Qt::Key_Return);
        QCOMPARE(activated.size(), 0);
        table.selectRow(1);
        QTest::keyClick(&table, Qt::Key_Return);
        QTest::keyClick(&table, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(activated.size(), 2);
        QCOMPARE(activated.at(0).at(0).toInt(), 1);

        const QRect third = table.visualRect(table.model()->index(2, 0));
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
        QCOMPARE(activated.size(), 3);
        QCOMPARE(activated.at(2).at(0).toInt(), 2);
        // Below the last row there is nothing to open.
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, Qt::NoModifier,
                           QPoint(10, table.viewport()->height() - 2));
        QCOMPARE(activated.size(), 3);
        QCOMPARE(table.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table.selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!table.dragEnabled());
    }

    void rowActionsReachTheRowOfTheMenu() {
        IDDragTableView table;
        QVERIFY(showTable(table, threeRows(&table)));
        auto* remove = new QAction(u"Remove"_s, &table);
        auto* reveal = new QAction(u"Show in Folder"_s, &table);
        connect(remove, &QAction::triggered, &table, &IDDragTableView::stopButton);
        connect(reveal, &QAction::triggered, &table, &IDDragTableView::revealButton);
        table.addAction(remove);
        table.addAction(reveal);
        QSignalSpy removed(&table, &IDDragTableView::removeRequested);
        QSignalSpy revealed(&table, &IDDragTableView::revealRequested);

        // No row, no menu and no request. (The table came with its window: its framed row was
        // selected.)
        QCOMPARE(table.contextRow(), 0);
        table.clearSelection();
        QCOMPARE(table.contextRow(), -1);
        QTest::keyClick(&table, Qt::Key_Menu);
        QVERIFY(!table.contextMenu());
        table.stopButton();
        QCOMPARE(removed.size(), 0);

        // The keyboard opens the menu on the selected row.
        table.selectRow(1);
        QTest::keyClick(&table, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(table.contextMenu() && table.contextMenu()->isVisible());
        QCOMPARE(table.contextMenu()->actions(), QList<QAction*>({remove, reveal}));
        QCOMPARE(table.contextRow(), 1);
        table.contextMenu()->hide();
        remove->trigger();
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(0).toInt(), 1);
        QTRY_VERIFY(!table.contextMenu());

        // The pointer opens it on the row under it, which becomes the selection.
        const QRect third = table.visualRect(table.model()->index(2, 0));
        QContextMenuEvent click(QContextMenuEvent::Mouse, third.center(),
                                table.viewport()->mapToGlobal(third.center()));
        QApplication::sendEvent(table.viewport(), &click);
        QTRY_VERIFY(table.contextMenu() && table.contextMenu()->isVisible());
        QCOMPARE(table.contextRow(), 2);
        QVERIFY(table.selectionModel()->isRowSelected(2));
        QVERIFY(!table.selectionModel()->isRowSelected(1));
        table.contextMenu()->hide();
        reveal->trigger();
        QCOMPARE(revealed.size(), 1);
        QCOMPARE(revealed.at(0).at(0).toInt(), 2);
        QTRY_VERIFY(!table.contextMenu());
    }

    void tabMovesBetweenTheTables() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* queue = new IDDragTableView;
        auto* phone = new IDDragTableView;
        queue->setModel(threeRows(queue));
        phone->setModel(threeRows(phone));
        layout->addWidget(queue);
        layout->addWidget(phone);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        queue->setFocus();
        QTRY_VERIFY(queue->hasFocus());
        queue->selectRow(0);
        QTest::keyClick(queue, Qt::Key_Tab);
        QTRY_VERIFY(phone->hasFocus());
        QCOMPARE(queue->currentIndex().row(), 0);
    }

    // --- the split view ---

    void splitViewExpandsToAThirdOrItsLeast_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("top");
        QTest::newRow("short window") << 300 << MRSplitView::kMinimumTopHeight;
        QTest::newRow("tall window") << 900 << 300;
    }
    void splitViewExpandsToAThirdOrItsLeast() {
        QFETCH(int, height);
        QFETCH(int, top);
        MRSplitView split;
        QVERIFY(showSplit(split, u"Files awaiting transfer"_s, height));
        QCOMPARE(split.state(), MRSplitView::State::NotSet);
        split.expandBottom(false);
        QCOMPARE(split.state(), MRSplitView::State::Expanded);
        QVERIFY(!split.collapsed());
        QCOMPARE(split.sizes().at(0), top);
        QCOMPARE(split.sizes().at(1), height - top - split.handleWidth());
    }

    void splitViewCollapsesToAStripThatStays() {
        MRSplitView split;
        QVERIFY(showSplit(split, u"Files awaiting transfer"_s, 600));
        split.expandBottom(false);

        split.collapseBottom();
        QVERIFY(split.collapsed());
        const QList<int> collapsed = split.sizes();
        QCOMPARE(collapsed.at(1), MRSplitView::kStripHeight);
        QCOMPARE(split.widget(1)->height(), MRSplitView::kStripHeight);
        QVERIFY(!split.handle(1)->isEnabled());
        // The strip shows the whole heading of the phone pane, not a squeezed one.
        const auto* heading = split.pane(1)->findChild<QLabel*>();
        QVERIFY(heading->height() >= heading->sizeHint().height());
        QVERIFY(heading->mapTo(split.widget(1), QPoint(0, heading->height())).y() <=
                MRSplitView::kStripHeight);
        split.collapseBottom();
        QCOMPARE(split.sizes(), collapsed);

        // The window grows and shrinks: the strip keeps its height, the queue takes the rest.
        for (const int height : {900, 350}) {
            split.resize(400, height);
            QTRY_COMPARE(split.sizes().at(1), MRSplitView::kStripHeight);
            QCOMPARE(split.sizes().at(0), height - MRSplitView::kStripHeight - split.handleWidth());
        }

        // Expanded again, the phone pane opens and the handle moves it.
        split.resize(400, 900);
        split.expandBottom(false);
        QCOMPARE(split.sizes().at(0), 300);
        QVERIFY(split.widget(1)->height() > MRSplitView::kStripHeight);
        QVERIFY(split.handle(1)->isEnabled());
        // Growing the window gives the room to the phone pane.
        split.resize(400, 1200);
        QTRY_COMPARE(split.sizes().at(0), 300);
    }

    void splitViewWithoutUploadsLeavesTheQueueItsHeading() {
        MRSplitView split;
        QVERIFY(showSplit(split, u"Download from Vantle"_s, 600));
        split.collapseBottom();
        split.expandBottom(true);
        QCOMPARE(split.sizes().at(0), MRSplitView::kStripHeight);
        QCOMPARE(split.sizes().at(1), 600 - MRSplitView::kStripHeight - split.handleWidth());
    }

    void splitViewLaysOutOnceItHasItsHeight() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* split = new MRSplitView;
        split->setPanes(pane(u"Files awaiting transfer"_s), pane(u"Files on connected iPhone"_s));
        layout->addWidget(split);
        split->expandBottom(false);
        window.resize(400, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(split->sizes().at(0), 300);
    }

    // --- the message over the empty queue ---

    void coolTextDrawsOnlyATitle() {
        for (const QPalette& palette : {QApplication::palette(), darkPalette()}) {
            MRCoolTextView view;
            view.setPalette(palette);
            view.resize(300, 200);
            const QColor background = palette.color(QPalette::Window);
            const auto ink = [&view, &background] {
                const QImage image = view.grab().toImage();
                return strongestInk(image, image.rect(), background);
            };
            QCOMPARE(ink(), 0);
            view.setTitle(u"Drag files here\nto transfer to\nyour iPhone"_s);
            QVERIFY(ink() > kInkContrast / 2);
            view.setTitle(QString());
            QCOMPARE(ink(), 0);
        }
    }

    void coolTextMeasuresItsWrappedTitle() {
        MRCoolTextView view;
        view.resize(300, 200);
        QCOMPARE(view.textSize(), MRCoolTextView::kDefaultSize);
        QCOMPARE(view.heightForStringDrawing().height(), 0.0);
        view.setTitle(u"Waiting"_s);
        const QSizeF oneLine = view.heightForStringDrawing();
        view.setTitle(u"Waiting for approval\nfrom iPhone..."_s);
        const QSizeF twoLines = view.heightForStringDrawing();
        QVERIFY(twoLines.height() > 1.5 * oneLine.height());
        // A line wider than the view, less its margin, wraps.
        view.setTitle(u"Drag files here for future transfer to your iPhone"_s);
        QVERIFY(view.heightForStringDrawing().width() <= view.width() - 20);
        QVERIFY(view.heightForStringDrawing().height() > 1.5 * oneLine.height());
        view.setSize(48.0F);
        view.setTitle(u"Waiting"_s);
        QVERIFY(view.heightForStringDrawing().height() > 1.5 * oneLine.height());
    }

    // Item views publish their cells, not the widgets over them: while the hint shows, it is
    // what a screen reader hears of the table.
    void coolTextDescribesTheTableItCovers() {
        IDDragTableView table;
        table.setAccessibleDescription(u"Files queued"_s);
        MRCoolTextView view;
        view.placeOver(&table);
        view.setTitle(u"Drag files here"_s);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(table.accessibleDescription(), u"Drag files here"_s);
        view.setTitle(u"Waiting for approval"_s);
        QCOMPARE(table.accessibleDescription(), u"Waiting for approval"_s);
        view.hide();
        QCOMPARE(table.accessibleDescription(), u"Files queued"_s);
    }

    void coolTextTakesDropsAndPassesClicksToTheTable() {
        IDDragTableView table;
        table.setModel(threeRows(&table));
        table.resize(300, 300);
        MRCoolTextView view;
        view.placeOver(&table);
        view.setTitle(u"Drag files here"_s);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(view.geometry(), table.viewport()->rect());
        table.resize(340, 260);
        QTRY_COMPARE(view.geometry(), table.viewport()->rect());

        QSignalSpy dropped(&view, &MRCoolTextView::filesDropped);
        std::unique_ptr<QMimeData> files(filesMime({u"file:///tmp/x.txt"_s}));
        QVERIFY(!dragEnter(&view, files.get()));
        bool allowed = true;
        view.setDropPolicy([&allowed] { return allowed; });
        QVERIFY(!view.acceptsDrop(files.get(), &view));
        QVERIFY(dragEnter(&view, files.get()));
        QVERIFY(drop(&view, files.get()));
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(), QStringList(u"/tmp/x.txt"_s));
        allowed = false;
        QVERIFY(!dragEnter(&view, files.get()));

        const QRect second = table.visualRect(table.model()->index(1, 0));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, second.center());
        QCOMPARE(table.currentIndex().row(), 1);
    }

    // --- the window ---

    void windowComesBackWhereItWasClosed() {
        Defaults::remove(QString(settings::kWindowGeometry.key));
        {
            MRWindow window;
            QVERIFY(!window.restoreSavedGeometry());
            QVERIFY(window.width() > 0 && window.height() > 0);
            window.resize(520, 480);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QSignalSpy closed(&window, &MRWindow::closed);
            QVERIFY(window.close());
            QCOMPARE(closed.size(), 1);
        }
        MRWindow again;
        QVERIFY(again.restoreSavedGeometry());
        QCOMPARE(again.size(), QSize(520, 480));

        Defaults::set(settings::kWindowGeometry, QByteArray("garbage"));
        MRWindow spoiled;
        QVERIFY(!spoiled.restoreSavedGeometry());
    }

    // Whatever was saved, the window opens inside the screen's free area: a first start with
    // its default size, a geometry from a larger screen, one left on a screen that is gone.
    void windowFitsTheScreen_data() {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<bool>("keptAsSaved");
        QTest::newRow("none") << QRect() << false;
        QTest::newRow("normal") << QRect(40, 50, 500, 400) << true;
        QTest::newRow("larger than the screen") << QRect(0, 0, 3000, 2000) << false;
        QTest::newRow("off-screen") << QRect(5000, 4000, 500, 400) << false;
        QTest::newRow("partly off-screen") << QRect(-300, 450, 500, 400) << false;
    }

    void windowFitsTheScreen() {
        QFETCH(QRect, saved);
        QFETCH(bool, keptAsSaved);
        Defaults::remove(QString(settings::kWindowGeometry.key));
        if (saved.isValid()) {
            MRWindow before;
            before.setGeometry(saved);
            before.saveGeometryToSettings();
        }
        MRWindow window;
        QCOMPARE(window.restoreSavedGeometry(), saved.isValid());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = window.screen()->availableGeometry();
        const auto text = [](const QRect& r) {
            return u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        };
        QVERIFY2(available.contains(window.frameGeometry()),
                 qPrintable(text(window.frameGeometry()) + u" in "_s + text(available)));
        if (keptAsSaved) QCOMPARE(window.geometry(), saved);
    }

    // --- sheets and alerts ---

    void sheetIsAnsweredWithItsTextLiteral() {
        MRWindow window;
        window.resize(400, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        QSignalSpy presented(&presenter, &SheetPresenter::presented);
        const QString hostile = u"<b>x</b> %1"_s;
        QString answered;
        int calls = 0;
        presenter.show(
            message(u"Connection Refused"_s, hostile, {u"Try Again"_s, u"Ignore This iPhone"_s}),
            [&](const QString& button, bool) {
                answered = button;
                ++calls;
                // The answer comes once the sheet is gone.
                QVERIFY(!presenter.sheetOpen());
            });
        QCOMPARE(presented.size(), 1);
        QCOMPARE(presented.at(0).at(1).toString(), hostile);
        QVERIFY(presenter.sheetOpen());
        QCOMPARE(presenter.currentTitle(), u"Connection Refused"_s);
        QCOMPARE(presenter.currentText(), hostile);
        QCOMPARE(presenter.currentButtons(),
                 QStringList({u"Try Again"_s, u"Ignore This iPhone"_s}));

        auto* box = qobject_cast<QMessageBox*>(presenter.current());
        QVERIFY(box);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->parentWidget(), &window);
        QCOMPARE(box->windowTitle(), u"Connection Refused"_s);
        QCOMPARE(box->informativeText(), hostile);
        QCOMPARE(box->defaultButton()->text(), u"Try Again"_s);
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        const auto* informative = box->findChild<QLabel*>(u"qt_msgbox_informativelabel"_s);
        QVERIFY(informative);
        QCOMPARE(informative->text(), hostile);

        // No cancel among the buttons: Escape chooses nothing.
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(presenter.sheetOpen());
        QCOMPARE(calls, 0);
        QVERIFY(!presenter.answer(u"No Such Button"_s));
        QVERIFY(presenter.answer(u"Ignore This iPhone"_s));
        QCOMPARE(calls, 1);
        QCOMPARE(answered, u"Ignore This iPhone"_s);
        QVERIFY(!presenter.sheetOpen());
        QVERIFY(!presenter.current());
        QVERIFY(!presenter.answer(u"Try Again"_s));
    }

    void escapeAndReturnChooseCancelAndTheDefault() {
        MRWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        QStringList answers;
        const auto record = [&answers](const QString& button, bool) { answers.append(button); };
        const QStringList buttons = {u"Replace"_s, u"Cancel"_s, u"Make Unique"_s};

        presenter.show(
            message(u"File Exists On Device"_s, u"A file named \"a\" exists."_s, buttons), record);
        QTest::keyClick(presenter.current(), Qt::Key_Escape);
        presenter.show(message(u"File Exists On Device"_s, u"again"_s, buttons), record);
        QTest::keyClick(presenter.current(), Qt::Key_Return);
        presenter.show(message(u"File Exists On Device"_s, u"again"_s, buttons), record);
        presenter.answer(u"Make Unique"_s);
        QCOMPARE(answers, QStringList({u"Cancel"_s, u"Replace"_s, u"Make Unique"_s}));
    }

    // Answers come as the role the caller gave the button: Return is the first button's,
    // Escape the cancelling one's, and tests ask by role.
    void questionsAreAnsweredByRole_data() {
        QTest::addColumn<int>("key"); // none: answered by role
        QTest::addColumn<SheetPresenter::Role>("asked");
        QTest::addColumn<SheetPresenter::Role>("expected");
        using Role = SheetPresenter::Role;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << Role::Accept << Role::Cancel;
        QTest::newRow("Return") << int(Qt::Key_Return) << Role::Accept << Role::Replace;
        QTest::newRow("by role") << 0 << Role::MakeUnique << Role::MakeUnique;
    }

    void questionsAreAnsweredByRole() {
        QFETCH(int, key);
        QFETCH(SheetPresenter::Role, asked);
        QFETCH(SheetPresenter::Role, expected);
        using Role = SheetPresenter::Role;
        MRWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        std::vector<std::pair<Role, bool>> answers;
        const auto record = [&answers](Role role, bool checked) {
            answers.emplace_back(role, checked);
        };

        presenter.show({u"File Exists On Device"_s,
                        u"A file named \"a\" exists."_s,
                        {{u"Replace"_s, Role::Replace},
                         {u"Cancel"_s, Role::Cancel},
                         {u"Make Unique"_s, Role::MakeUnique}},
                        u"Do the same for the others"_s},
                       record);
        QCOMPARE(presenter.currentButtons(),
                 QStringList({u"Replace"_s, u"Cancel"_s, u"Make Unique"_s}));
        if (key)
            QTest::keyClick(presenter.current(), Qt::Key(key));
        else
            QVERIFY(presenter.answer(asked, true));
        QCOMPARE(answers, (std::vector{std::pair{expected, !key}}));

        // Without a cancelling button Escape chooses nothing, and a role not offered is no answer.
        presenter.show(
            {u"Connection Refused"_s,
             QString(),
             {{u"Try Again"_s, Role::TryAgain}, {u"Ignore This iPhone"_s, Role::Ignore}}},
            record);
        QTest::keyClick(presenter.current(), Qt::Key_Escape);
        QVERIFY(presenter.sheetOpen());
        QVERIFY(!presenter.answer(Role::Cancel));
        QVERIFY(presenter.answer(Role::Ignore));
        QCOMPARE(answers.back(), std::pair(Role::Ignore, false));
    }

    // A name far longer than a line still leaves the box inside its window, buttons and all;
    // the text the program asked for is unchanged.
    void longNameKeepsTheSheetInsideTheWindow() {
        MRWindow window;
        window.resize(460, 560);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        const QString text = u"A file or folder named \""_s + QString(250, u'x') +
                             u".txt\" already exists in your Vantle."_s;
        presenter.show(message(u"File Exists On Device"_s, text, {u"Replace"_s, u"Cancel"_s}),
                       nullptr);
        QVERIFY(presenter.current());
        QTRY_VERIFY(presenter.current()->isVisible());
        QVERIFY2(presenter.current()->width() <= window.width(),
                 qPrintable(QString::number(presenter.current()->width())));
        QCOMPARE(presenter.currentText(), text);
        QVERIFY(presenter.answer(u"Cancel"_s));
    }

    void secondSheetWaitsForTheFirst() {
        MRWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        QSignalSpy presented(&presenter, &SheetPresenter::presented);
        QSignalSpy closed(&presenter, &SheetPresenter::sheetsClosed);
        QStringList order;
        const auto answerOf = [&order](const QString& name) {
            return [&order, name](const QString& button, bool) { order.append(name + button); };
        };

        presenter.show(message(u"First"_s, QString(), {u"OK"_s}), [&](const QString& button, bool) {
            order.append(u"First"_s + button);
            // Asked for from an answer, it still waits behind the second.
            presenter.show(message(u"Third"_s, QString(), {u"OK"_s}), answerOf(u"Third"_s));
        });
        presenter.show(message(u"Second"_s, QString(), {u"OK"_s}), answerOf(u"Second"_s));
        QCOMPARE(presented.size(), 1);
        QCOMPARE(presenter.currentTitle(), u"First"_s);

        // An alert does not wait for sheets.
        presenter.show(message(u"Unable To Connect"_s, u"detail"_s, {u"OK"_s},
                               SheetPresenter::Message::Kind::Alert),
                       answerOf(u"Alert"_s));
        QCOMPARE(presented.size(), 2);
        QCOMPARE(presenter.currentTitle(), u"Unable To Connect"_s);
        QCOMPARE(presenter.current()->windowModality(), Qt::ApplicationModal);
        QVERIFY(presenter.answer(u"OK"_s));
        QCOMPARE(presenter.currentTitle(), u"First"_s);
        QVERIFY(presenter.sheetOpen());

        // The window is free only once the last waiting sheet has been answered.
        QVERIFY(presenter.answer(u"OK"_s));
        QCOMPARE(presenter.currentTitle(), u"Second"_s);
        QVERIFY(presenter.answer(u"OK"_s));
        QCOMPARE(presenter.currentTitle(), u"Third"_s);
        QCOMPARE(closed.size(), 0);
        QVERIFY(presenter.answer(u"OK"_s));
        QVERIFY(!presenter.sheetOpen());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(order, QStringList({u"AlertOK"_s, u"FirstOK"_s, u"SecondOK"_s, u"ThirdOK"_s}));
    }

    void checkBoxAnswerAndCustomSheets() {
        MRWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);

        SheetPresenter::Message warning =
            message(u"Manual Connect Mode"_s, u"Vantle is not searching for iPhones."_s,
                    {u"OK"_s, u"Don't Remind Me Again"_s}, SheetPresenter::Message::Kind::Alert);
        warning.checkBox = u"Do not show again"_s;
        bool checked = false;
        presenter.show(warning, [&checked](const QString&, bool on) { checked = on; });
        auto* box = qobject_cast<QMessageBox*>(presenter.current());
        QVERIFY(box && box->checkBox());
        QVERIFY(!box->checkBox()->isChecked());
        QVERIFY(!presenter.sheetOpen());
        QVERIFY(presenter.answer(u"OK"_s, true));
        QVERIFY(checked);

        // A dialog of the caller's, shown as a sheet and kept by the caller.
        QDialog connect;
        connect.setWindowTitle(u"Manual Connect"_s);
        auto* buttons = new QDialogButtonBox(&connect);
        buttons->addButton(u"Connect"_s, QDialogButtonBox::AcceptRole);
        buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &connect, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &connect, &QDialog::reject);
        int result = -1;
        for (const auto& [button, expected] : {std::pair{u"Connect"_s, int(QDialog::Accepted)},
                                               std::pair{u"Cancel"_s, int(QDialog::Rejected)}}) {
            presenter.showSheet(&connect, [&result](int code) { result = code; });
            QVERIFY(presenter.sheetOpen());
            QCOMPARE(presenter.current(), &connect);
            QCOMPARE(connect.windowModality(), Qt::WindowModal);
            QCOMPARE(presenter.currentTitle(), u"Manual Connect"_s);
            QCOMPARE(presenter.currentButtons(), QStringList({u"Connect"_s, u"Cancel"_s}));
            QVERIFY(presenter.answer(button));
            QCOMPARE(result, expected);
            QVERIFY(!presenter.sheetOpen());
        }
    }

    void sheetGoneBeforeItsTurnIsSkipped() {
        MRWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SheetPresenter presenter(&window);
        presenter.show(message(u"First"_s, QString(), {u"OK"_s}), nullptr);
        auto* waiting = new QDialog;
        bool waitingAnswered = false;
        presenter.showSheet(waiting, [&waitingAnswered](int) { waitingAnswered = true; });
        presenter.show(message(u"Last"_s, QString(), {u"OK"_s}), nullptr);
        delete waiting;
        QVERIFY(presenter.answer(u"OK"_s));
        QCOMPARE(presenter.currentTitle(), u"Last"_s);
        QVERIFY(presenter.answer(u"OK"_s));
        QVERIFY(!waitingAnswered);
        QVERIFY(!presenter.sheetOpen());

        // A sheet destroyed with nobody answering frees the window for the next one.
        auto* doomed = new QDialog;
        presenter.showSheet(doomed, nullptr);
        presenter.show(message(u"After"_s, QString(), {u"OK"_s}), nullptr);
        delete doomed;
        QTRY_COMPARE(presenter.currentTitle(), u"After"_s);
        QVERIFY(presenter.answer(u"OK"_s));

        // The last one destroyed frees the window too.
        QSignalSpy closed(&presenter, &SheetPresenter::sheetsClosed);
        auto* last = new QDialog;
        presenter.showSheet(last, nullptr);
        delete last;
        QVERIFY(closed.wait());
        QVERIFY(!presenter.sheetOpen());
    }

private:
    QTemporaryDir mSettingsDir;
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
