// The windows on the offscreen platform, with a stand-in engine that answers
// from each file's own lines.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>

#include "about_box.hpp"
#include "main_window.hpp"
#include "test_support.hpp"
#include "texts.hpp"
#include "url_link.hpp"

using namespace oxtarn;
using namespace oxtarn::testing;

namespace {

// What the stand-in engine answers for a file with this content.
QByteArray answer(const QByteArray& extensions, const QString& description = {}, const QString& detail = {}) {
    return extensions + '\n' + sj(description) + '\n' + sj(detail) + '\n';
}

struct Harness {
    QTemporaryDir files;
    QTemporaryDir program;
    ScriptedSink sink;
    QList<QUrl> opened;
    bool openerWorks = true;
    QStringList shownInFileManager;
    bool fileManagerWorks = false;
    std::unique_ptr<TForm1> window;

    Harness() {
        EngineBinding::setErrorReport([this](const QString& text, const QString& caption) {
            sink.show(MessageSink::Icon::Information, caption, text, MessageSink::Buttons::Ok);
        });
    }
    ~Harness() { EngineBinding::setErrorReport({}); }

    QString settingsPath() const { return program.filePath(QStringLiteral("data.ini")); }

    TForm1& start(const QString& library = QStringLiteral(STUB_ENGINE_PATH)) {
        TForm1Setup setup;
        setup.engine = EngineBinding({library});
        setup.messages = &sink;
        setup.programDir = program.path();
        setup.settingsPath = settingsPath();
        setup.openUrl = [this](const QUrl& url) {
            opened << url;
            return openerWorks;
        };
        setup.showInFileManager = [this](const QString& path) {
            shownInFileManager << path;
            return fileManagerWorks;
        };
        window = std::make_unique<TForm1>(std::move(setup));
        window->show();
        return *window;
    }

    // Waits until the window has listed everything it was given.
    bool settle() const {
        QElapsedTimer timer;
        timer.start();
        while (window->isBusy() && timer.elapsed() < 20000) QTest::qWait(5);
        QCoreApplication::processEvents();
        return !window->isBusy();
    }
    bool drop(const QStringList& paths) const {
        window->DropDst1FileDrop(paths);
        return settle();
    }
    // Files whose answers are `content`, named f0000... in the files folder.
    QStringList many(int count, const QByteArray& content) {
        QStringList paths;
        for (int i = 0; i < count; ++i) paths << file(QStringLiteral("f%1").arg(i, 4, 10, QChar(u'0')), content);
        return paths;
    }

    QString file(const QString& name, const QByteArray& content) { return writeFile(QDir(files.path()), name, content); }

    QString cell(int row, int column) const { return window->table().cell(row, column); }
    QStringList items(int row) const {
        QStringList list;
        QComboBox* box = window->choiceBox(row);
        for (int i = 0; box && i < box->count(); ++i) list << box->itemText(i);
        return list;
    }
    int checkedItem(const QList<QAction*>& items) const {
        int checked = -1, count = 0;
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked()) checked = i, ++count;
        return count == 1 ? checked : -2 - count;  // -2 - n: not exactly one mark
    }
};

}  // namespace

// ---------------------------------------------------------------------------
class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheEngineVersionAndAnEmptyList() {
        Harness h;
        TForm1& w = h.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Oxtarn"));
        QCOMPARE(w.size(), QSize(TForm1::kDefaultWidth, TForm1::kDefaultHeight));
        QCOMPARE(w.statusText(), QStringLiteral("ZARVO32.DLL Version:1.21"));
        QStringList headers;
        for (int c = 0; c < kColumnCount; ++c) headers << w.grid()->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({"チェック欄", "ファイルフルパス", "現在の拡張子", "変換拡張子候補", "詳細情報1",
                                       "詳細情報2", "CRC(16bit)", "CRC(32bit)"}));
        QCOMPARE(w.grid()->rowCount(), 1);  // the empty row below the header
        QTRY_COMPARE_WITH_TIMEOUT(w.grid()->viewport()->toolTip(), text::kDropHint, 600);
        QVERIFY(!w.changeAction()->isEnabled());
        QVERIFY(h.sink.shown.isEmpty());
    }

    void dropListsEachFileAndSkipsFolders() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("photo.gif"), answer("jpg,jpeg", QStringLiteral("JPEG画像「画像」"), QStringLiteral("Level 1")));
        QDir(h.files.path()).mkdir(QStringLiteral("folder.d"));
        const QString plain = h.file(QStringLiteral("notes"), answer("txt"));
        const QString third = h.file(QStringLiteral("c.bin"), answer("?"));

        QVERIFY(h.drop({gif}));
        QCOMPARE(w.table().rowCount(), 2);  // the first file takes the empty row
        QVERIFY(h.drop({h.files.filePath(QStringLiteral("folder.d")), plain, third}));

        QCOMPARE(w.table().fileCount(), 3);
        QCOMPARE(w.table().rowCount(), 4);
        QCOMPARE(w.grid()->rowCount(), 3);
        QCOMPARE(h.cell(1, kPath), QDir::toNativeSeparators(gif));
        QCOMPARE(h.cell(1, kPresentExt), QStringLiteral("gif"));
        QCOMPARE(h.cell(2, kPresentExt), QString());
        QCOMPARE(h.items(1), QStringList({"jpg", "jpeg", "変換なし"}));
        QCOMPARE(w.choiceBox(1)->currentText(), text::kNoChange);
        QCOMPARE(w.choiceBox(1)->objectName(), QStringLiteral("cmbExtension0"));
        QCOMPARE(w.choiceBox(3)->objectName(), QStringLiteral("cmbExtension2"));
        QCOMPARE(h.cell(1, kDescription), QStringLiteral("JPEG画像「画像」"));
        QCOMPARE(h.cell(1, kDetail), QStringLiteral("Level 1"));
        QCOMPARE(w.grid()->item(0, kDescription)->text(), QStringLiteral("JPEG画像「画像」"));
        const QString size = QString::number(QFileInfo(gif).size(), 16).toUpper();
        QCOMPARE(h.cell(1, kCrc16), size.rightJustified(4, u'0'));
        QCOMPARE(h.cell(1, kCrc32), size.rightJustified(8, u'0'));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("0"));
        QVERIFY(!w.tickBox(1)->isChecked());
        // An unidentified file offers "?" and no change.
        QCOMPARE(h.items(3), QStringList({"?", "変換なし"}));
        QVERIFY(!(w.grid()->item(0, kPath)->flags() & Qt::ItemIsEditable));
        QVERIFY(w.grid()->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QTRY_VERIFY_WITH_TIMEOUT(w.changeAction()->isEnabled(), 600);
        QCOMPARE(w.grid()->viewport()->toolTip(), QString());
        QVERIFY(h.sink.shown.isEmpty());

        w.TB_ListClearClick();
        QCOMPARE(w.table().rowCount(), 2);
        QCOMPARE(w.grid()->rowCount(), 1);
        QCOMPARE(w.tickBox(1), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!w.changeAction()->isEnabled(), 600);
    }

    void choosingAnExtensionTicksTheRow() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg,gif,?"))}));
        // Only an entry that would rename the file ticks the row.
        const QList<std::pair<QString, bool>> choices{{"jpg", true}, {"gif", false}, {"jpg", true},
                                                      {"?", false}, {"jpg", true}, {text::kNoChange, false}};
        for (const auto& [entry, ticks] : choices) {
            w.chooseEntry(1, entry);
            QCOMPARE(h.cell(1, kChosen), entry);
            QCOMPARE(h.cell(1, kTick), ticks ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(w.tickBox(1)->isChecked(), ticks);
        }
        w.tickBox(1)->click();  // the user's own tick reaches the cell
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
    }

    // The wheel over a drop-down scrolls the grid and changes nothing.
    void wheelOverADropDownScrollsTheGrid() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop(h.many(80, answer("txt,008"))));
        QComboBox* box = w.choiceBox(2);
        QTRY_VERIFY(box->isVisible());
        QScrollBar* bar = w.grid()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        const QPoint at = box->rect().center();
        for (int notch = 0; notch < 2; ++notch) {
            QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &wheel);
        }
        QVERIFY(bar->value() > 0);
        QCOMPARE(box->currentText(), text::kNoChange);
        for (int row = 1; row <= w.table().fileCount(); ++row) {
            QCOMPARE(h.cell(row, kTick), QStringLiteral("0"));
            QCOMPARE(h.cell(row, kChosen), text::kNoChange);
        }
        QCOMPARE(box->focusPolicy(), Qt::StrongFocus);  // no focus from the wheel
    }

    // A path already listed is not added again; after a rename the row
    // names the new path, which is then listed once too.
    void pathsAreListedOnce() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("a.gif"), answer("jpg"));
        const QString other = h.file(QStringLiteral("b.txt"), answer("txt"));
        QVERIFY(h.drop({gif, other, gif}));
        QVERIFY(h.drop({other, gif}));
        QCOMPARE(w.table().fileCount(), 2);
        QCOMPARE(w.grid()->rowCount(), 2);
        w.chooseEntry(1, QStringLiteral("jpg"));
        w.TB_ChangeExtClick();
        QVERIFY(h.settle());
        const QString jpg = QDir::toNativeSeparators(h.files.filePath(QStringLiteral("a.jpg")));
        QCOMPARE(h.cell(1, kPath), jpg);
        QCOMPARE(w.grid()->item(w.gridRowOf(1), kPath)->text(), jpg);
        QCOMPARE(h.cell(1, kTick), QStringLiteral("0"));
        QVERIFY(h.drop({jpg, other}));
        QCOMPARE(w.table().fileCount(), 2);
    }

    // A file that cannot be read says so in its row, with empty checksums,
    // and one message after the batch names every such file.
    void unreadableFilesAreSummedUpOnce() {
        Harness h;
        TForm1& w = h.start();
        const QString gone = h.files.filePath(QStringLiteral("gone.gif"));
        const QString link = h.files.filePath(QStringLiteral("dangling"));
        QVERIFY(QFile::link(h.files.filePath(QStringLiteral("nowhere")), link));
        const QString good = h.file(QStringLiteral("ok.gif"), answer("jpg"));
        QVERIFY(h.drop({gone, good, link}));
        QCOMPARE(w.table().fileCount(), 3);
        for (int row : {1, 3}) {
            QVERIFY(h.cell(row, kDescription).startsWith(text::kUnreadablePrefix));
            QVERIFY(h.cell(row, kDescription).size() > text::kUnreadablePrefix.size());  // the system's reason
            QCOMPARE(h.cell(row, kCrc16), QString());
            QCOMPARE(h.cell(row, kCrc32), QString());
            QCOMPARE(h.items(row), QStringList({"?", text::kNoChange}));
        }
        QVERIFY(!h.cell(2, kCrc32).isEmpty());
        QTRY_COMPARE(h.sink.shown.size(), 1);
        const auto& message = h.sink.shown[0];
        QCOMPARE(int(message.icon), int(MessageSink::Icon::Warning));
        QVERIFY(message.text.startsWith(text::kUnreadableFiles.arg(2)));
        QVERIFY(message.text.contains(QDir::toNativeSeparators(gone)));
        QVERIFY(message.text.contains(QDir::toNativeSeparators(link)));
        QVERIFY(!message.text.contains(QDir::toNativeSeparators(good)));
    }

    // A batch stops on cancel, keeps the rows it listed, and the options
    // changed while it ran apply to the next batch only.
    void batchesCanBeCancelledAndTakeTheirOptions() {
        Harness h;
        TForm1& w = h.start();
        const QStringList files = h.many(300, answer("txt", {}, QStringLiteral("@args")));
        w.DropDst1FileDrop(files);
        QVERIFY(w.isBusy());
        QVERIFY(w.cancelAction()->isEnabled());
        w.cancelAction()->trigger();
        QVERIFY(!w.isBusy());
        QVERIFY(w.table().fileCount() < files.size());
        QCOMPARE(w.progressText(), QString());
        QVERIFY(!w.cancelAction()->isEnabled());
        QTest::qWait(50);
        QVERIFY(w.table().fileCount() < files.size());

        w.TB_ListClearClick();
        w.DropDst1FileDrop(files);
        w.methodItems()[3]->trigger();
        const QString late = h.file(QStringLiteral("late"), answer("txt", {}, QStringLiteral("@args")));
        w.DropDst1FileDrop({late});
        QVERIFY(h.settle());
        QCOMPARE(w.table().fileCount(), files.size() + 1);
        QCOMPARE(h.cell(1, kDetail), QStringLiteral("256/16"));
        QCOMPARE(h.cell(w.table().fileCount(), kDetail), QStringLiteral("256/20"));
        QVERIFY(h.sink.shown.isEmpty());
    }

    void closingMidBatchStopsTheWork() {
        Harness h;
        TForm1& w = h.start();
        w.DropDst1FileDrop(h.many(300, answer("txt")));
        QVERIFY(w.isBusy());
        QVERIFY(w.close());
        QVERIFY(!w.isBusy());
        const int listed = w.table().fileCount();
        QTest::qWait(50);
        QCOMPARE(w.table().fileCount(), listed);
        QCOMPARE(h.sink.texts(), QStringList({text::kCloseQuestion}));
    }

    // Sorting moves each row's controls with its file.
    void sortingKeepsEachRowsControlsWithItsFile() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("b.gif"), answer("jpg,png", QStringLiteral("B"))),
                        h.file(QStringLiteral("c.gif"), answer("zip", QStringLiteral("C"))),
                        h.file(QStringLiteral("a.gif"), answer("txt", QStringLiteral("A")))}));
        w.chooseEntry(1, QStringLiteral("png"));
        for (const auto& [column, order] : QList<std::pair<int, Qt::SortOrder>>{
                 {kDescription, Qt::AscendingOrder}, {kTick, Qt::DescendingOrder}, {kPath, Qt::DescendingOrder}}) {
            w.sortByColumn(column, order);
            QStringList shown;
            for (int gridRow = 0; gridRow < 3; ++gridRow) {
                const int row = w.tableRowAt(gridRow);
                shown << h.cell(row, kDescription);
                auto* box = qobject_cast<QComboBox*>(w.grid()->cellWidget(gridRow, kChosen));
                QVERIFY(box);
                QCOMPARE(box, w.choiceBox(row));
                QCOMPARE(box->currentText(), h.cell(row, kChosen));
                QCOMPARE(h.items(row), w.table().choices(row));
                auto* tick = qobject_cast<QCheckBox*>(w.grid()->cellWidget(gridRow, kTick));
                QCOMPARE(tick, w.tickBox(row));
                QCOMPARE(tick->isChecked(), h.cell(row, kTick) == QStringLiteral("1"));
                QCOMPARE(w.grid()->item(gridRow, kPath)->text(), h.cell(row, kPath));
            }
            if (column == kDescription) QCOMPARE(shown, QStringList({"A", "B", "C"}));
            if (column == kTick) QCOMPARE(shown.first(), QStringLiteral("B"));
            if (column == kPath) QCOMPARE(shown, QStringList({"C", "B", "A"}));
        }
        // A choice made after sorting reaches its own file.
        const int rowOfA = w.tableRowAt(2);
        w.chooseEntry(rowOfA, QStringLiteral("txt"));
        QCOMPARE(h.cell(rowOfA, kChosen), QStringLiteral("txt"));
        QCOMPARE(h.cell(rowOfA, kDescription), QStringLiteral("A"));
    }

    // The list as CSV: UTF-8 with a byte order mark, read back field for field.
    void csvExportReadsBack() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("写真.gif"), answer("jpg", QStringLiteral("JPEG画像, \"写真\""), QStringLiteral("Level 1\\nLayer 2"))),
                        h.file(QStringLiteral("b"), answer("txt"))}));
        w.chooseEntry(1, QStringLiteral("jpg"));
        const QString csv = h.program.filePath(QStringLiteral("list.csv"));
        QVERIFY(w.exportCsv(csv));
        const QByteArray bytes = readFile(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], gridHeaders());
        for (int row = 1; row <= 2; ++row) {
            QStringList cells;
            for (int column = 0; column < kColumnCount; ++column) cells << h.cell(row, column);
            QCOMPARE(rows[row], cells);
        }
        QCOMPARE(rows[1][kDetail], QStringLiteral("Level 1\nLayer 2"));
        QCOMPARE(rows[1][kTick], QStringLiteral("1"));
        QVERIFY(!w.exportCsv(h.files.filePath(QStringLiteral("no/such/folder/list.csv"))));
    }

    // Several rows copied as tab-separated lines, in the order shown; the
    // detail on one line, in the cell as in the copy.
    void selectedRowsCopyAsTabSeparatedText() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg", QStringLiteral("写真"), QStringLiteral("Level 1\\nLayer 2"))),
                        h.file(QStringLiteral("b"), answer("txt")), h.file(QStringLiteral("c"), answer("zip"))}));
        QCOMPARE(w.grid()->item(w.gridRowOf(1), kDetail)->text(), QStringLiteral("Level 1; Layer 2"));
        QCOMPARE(w.grid()->item(w.gridRowOf(1), kDetail)->toolTip(), QStringLiteral("Level 1\nLayer 2"));
        w.sortByColumn(kPath, Qt::DescendingOrder);
        w.grid()->selectRow(0);  // c
        w.grid()->selectionModel()->select(w.grid()->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);  // a
        w.copySelectedRows();
        const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("0\t") + QDir::toNativeSeparators(h.files.filePath(QStringLiteral("c")))));
        QCOMPARE(lines[1].split(u'\t')[kDetail], QStringLiteral("Level 1; Layer 2"));
        QCOMPARE(lines[1].split(u'\t').size(), kColumnCount);
    }

    void deleteRemovesTheSelectedRows() {
        Harness h;
        TForm1& w = h.start();
        const QString a = h.file(QStringLiteral("a.gif"), answer("jpg"));
        const QString b = h.file(QStringLiteral("b.gif"), answer("png"));
        const QString c = h.file(QStringLiteral("c.gif"), answer("zip"));
        QVERIFY(h.drop({a, b, c}));
        w.chooseEntry(3, QStringLiteral("zip"));
        w.grid()->setFocus();
        w.grid()->selectRow(w.gridRowOf(2));
        QTest::keyClick(w.grid(), Qt::Key_Delete);
        QCOMPARE(w.table().fileCount(), 2);
        QCOMPARE(h.cell(2, kPath), QDir::toNativeSeparators(c));
        QCOMPARE(w.choiceBox(2)->currentText(), QStringLiteral("zip"));
        QVERIFY(w.tickBox(2)->isChecked());
        QVERIFY(h.drop({b}));  // listed again once removed
        QCOMPARE(w.table().fileCount(), 3);
        w.grid()->selectAll();
        w.removeSelectedRows();
        QCOMPARE(w.table().fileCount(), 0);
        QCOMPARE(w.grid()->rowCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!w.changeAction()->isEnabled(), 600);
    }

    void recommendedEntriesForMisnamedFiles() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg,jpeg")), h.file(QStringLiteral("b.png"), answer("png,apng")),
                        h.file(QStringLiteral("c.bin"), answer("?")), h.file(QStringLiteral("d.TXT"), answer("txt"))}));
        w.recommendAll();
        QCOMPARE(h.cell(1, kChosen), QStringLiteral("jpg"));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
        QVERIFY(w.tickBox(1)->isChecked());
        QCOMPARE(w.choiceBox(1)->currentText(), QStringLiteral("jpg"));
        for (int row : {2, 3, 4}) {
            QCOMPARE(h.cell(row, kChosen), text::kNoChange);
            QCOMPARE(h.cell(row, kTick), QStringLiteral("0"));
        }
    }

    // After an option change the listed files are identified again.
    void recheckUsesTheNewOptions() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("a.bin"), answer("zip", {}, QStringLiteral("@args")))}));
        QCOMPARE(h.cell(1, kDetail), QStringLiteral("256/16"));
        w.sampleLengthItems()[5]->trigger();
        w.recheckAll();
        QVERIFY(h.settle());
        QCOMPARE(w.table().fileCount(), 1);
        QCOMPARE(h.cell(1, kDetail), QStringLiteral("6000/16"));
    }

    // The size of the window and the widths of the columns survive a restart.
    void windowLayoutIsRemembered() {
        Harness h;
        {
            TForm1& w = h.start();
            w.resize(900, 500);
            w.grid()->setColumnWidth(kPath, 333);
            QVERIFY(w.close());
        }
        TForm1& again = h.start();
        QCOMPARE(again.size(), QSize(900, 500));
        QCOMPARE(again.grid()->columnWidth(kPath), 333);
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg", QString(200, u'x')))}));
        QCOMPARE(again.grid()->columnWidth(kPath), 333);  // the user's width is kept
    }

    // At the default size every column is in view, however long the texts.
    void columnsFitTheDefaultWindow() {
        Harness h;
        TForm1& w = h.start();
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg", QString(300, u'説'), QString(300, u'細')))}));
        int total = 0;
        for (int column = 0; column < kColumnCount; ++column) total += w.grid()->columnWidth(column);
        QVERIFY2(total < TForm1::kDefaultWidth - 20, qPrintable(QString::number(total)));
    }

    // A drop is taken as a copy or a link, never as a move.
    void dropsAreTakenAsCopyOrLink() {
        Harness h;
        TForm1& w = h.start();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(h.file(QStringLiteral("a.gif"), answer("jpg")))});
        QWidget* target = w.grid()->viewport();
        const QList<std::pair<Qt::DropActions, int>> cases{{Qt::MoveAction, -1},
                                                            {Qt::MoveAction | Qt::CopyAction, Qt::CopyAction},
                                                            {Qt::MoveAction | Qt::LinkAction, Qt::LinkAction}};
        for (const auto& [offered, taken] : cases) {
            QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QCOMPARE(enter.isAccepted(), taken >= 0);
            if (taken >= 0) QCOMPARE(int(enter.dropAction()), taken);
        }
        // A drop goes to the widget that took the drag's entry.
        auto enter = [&] {
            QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
            return event.isAccepted();
        };
        QVERIFY(enter());
        QDropEvent move(QPointF(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QVERIFY(!move.isAccepted());
        QVERIFY(enter());
        QDropEvent copy(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &copy);
        QVERIFY(copy.isAccepted());
        QCOMPARE(copy.dropAction(), Qt::CopyAction);
        QTRY_COMPARE(w.table().fileCount(), 1);
    }

    void toolbarsHaveNames() {
        Harness h;
        TForm1& w = h.start();
        QStringList titles;
        for (QToolBar* bar : w.findChildren<QToolBar*>()) titles << bar->windowTitle();
        QCOMPARE(titles.size(), 3);
        QVERIFY(!titles.contains(QString()));
        QVERIFY(titles.contains(text::kToolbox));
    }

    void changeRenamesTickedRowsAndRewritesThem() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("photo.gif"), answer("jpg", QStringLiteral("写真")));
        const QString bare = h.file(QStringLiteral("notes"), answer("txt"));
        const QString kept = h.file(QStringLiteral("keep.gif"), answer("png"));
        QVERIFY(h.drop({gif, bare, kept}));
        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("txt"));
        w.chooseEntry(3, QStringLiteral("png"));
        w.tickBox(3)->click();  // unticked again: keeps its choice, not renamed

        w.TB_ChangeExtClick();
        QVERIFY(h.settle());

        QCOMPARE(h.sink.texts(), QStringList({text::kChangeQuestion, text::kChangeDone + text::kCrLf + text::kChangeCounts.arg(2).arg(0).arg(0)}));
        QCOMPARE(int(h.sink.shown[0].buttons), int(MessageSink::Buttons::OkCancel));
        const QString jpg = h.files.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(!QFile::exists(gif));
        QVERIFY(QFile::exists(jpg));
        QVERIFY(QFile::exists(h.files.filePath(QStringLiteral("notes.txt"))));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("0"));
        QCOMPARE(h.cell(1, kPath), QDir::toNativeSeparators(jpg));
        QCOMPARE(h.cell(1, kPresentExt), QStringLiteral("jpg"));
        QCOMPARE(h.cell(1, kChosen), text::kNoChange);
        QCOMPARE(h.cell(1, kDescription), QStringLiteral("写真"));  // identified again
        QCOMPARE(w.choiceBox(1)->currentText(), text::kNoChange);
        QVERIFY(!w.tickBox(1)->isChecked());
        QCOMPARE(h.cell(2, kPath), QDir::toNativeSeparators(h.files.filePath(QStringLiteral("notes.txt"))));
        QVERIFY(QFile::exists(kept));
        QCOMPARE(h.cell(3, kChosen), QStringLiteral("png"));
        QCOMPARE(h.cell(3, kTick), QStringLiteral("0"));
    }

    void rowsWithNothingToDoAreReset() {
        Harness h;
        TForm1& w = h.start();
        const QString unknown = h.file(QStringLiteral("x.bin"), answer("?"));
        const QString same = h.file(QStringLiteral("y.jpg"), answer("jpg"));
        const QString none = h.file(QStringLiteral("z.dat"), answer("zip"));
        QVERIFY(h.drop({unknown, same, none}));
        w.chooseEntry(1, QStringLiteral("?"));
        w.chooseEntry(2, QStringLiteral("jpg"));
        w.tickBox(2)->click();  // ticked by hand, the present extension chosen
        w.tickBox(3)->click();  // ticked by hand, still "変換なし"

        w.TB_ChangeExtClick();
        QCOMPARE(h.sink.texts().last(), text::kChangeDone + text::kCrLf + text::kChangeCounts.arg(0).arg(2).arg(0));

        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(h.cell(row, kTick), QStringLiteral("0"));
            QCOMPARE(h.cell(row, kChosen), text::kNoChange);
            QVERIFY(!w.tickBox(row)->isChecked());
        }
        for (const QString& path : {unknown, same, none}) QVERIFY(QFile::exists(path));
        QCOMPARE(QDir(h.files.path()).entryList(QDir::Files).size(), 3);
    }

    // The target exists: nothing is replaced, the row stays as it was and the
    // user learns of it in the closing message.
    void existingTargetIsNotReplaced() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("photo.gif"), answer("jpg"));
        const QString taken = h.file(QStringLiteral("photo.jpg"), "already here");
        const QString other = h.file(QStringLiteral("other.gif"), answer("png"));
        QVERIFY(h.drop({gif, other}));
        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("png"));

        w.TB_ChangeExtClick();
        QVERIFY(h.settle());

        QCOMPARE(readFile(taken), QByteArray("already here"));
        QCOMPARE(readFile(gif), answer("jpg"));
        QVERIFY(QFile::exists(h.files.filePath(QStringLiteral("other.png"))));  // the next row goes on
        QCOMPARE(h.cell(1, kPath), QDir::toNativeSeparators(gif));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
        QCOMPARE(h.cell(1, kChosen), QStringLiteral("jpg"));
        QCOMPARE(h.sink.shown.size(), 2);
        const auto& summary = h.sink.shown.last();
        QCOMPARE(int(summary.icon), int(MessageSink::Icon::Warning));
        QVERIFY(summary.text.startsWith(text::kChangeDone + text::kCrLf + text::kChangeCounts.arg(1).arg(0).arg(1) +
                                        text::kCrLf + text::kChangeFailures));
        QVERIFY(summary.text.contains(QDir::toNativeSeparators(gif)));
    }

    void changeAsksFirst() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("a.gif"), answer("jpg"));
        const QString same = h.file(QStringLiteral("b.jpg"), answer("jpg"));
        QVERIFY(h.drop({gif, same}));

        w.TB_ChangeExtClick();  // nothing ticked
        QCOMPARE(h.sink.texts(), QStringList({text::kNothingTicked}));

        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("jpg"));
        w.tickBox(2)->click();
        h.sink.answers << MessageSink::Answer::Cancel;
        w.TB_ChangeExtClick();
        QCOMPARE(h.sink.texts().last(), text::kChangeQuestion);
        QVERIFY(QFile::exists(gif));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
        QCOMPARE(h.cell(2, kTick), QStringLiteral("1"));  // not even reset
        QCOMPARE(h.cell(2, kChosen), QStringLiteral("jpg"));
    }

    void missingEngineAtStart() {
        Harness h;
        TForm1& w = h.start(h.files.filePath(QStringLiteral("NoSuchEngine")));
        QCOMPARE(h.sink.texts(), QStringList({text::kEngineMissing}));
        QCOMPARE(int(h.sink.shown[0].icon), int(MessageSink::Icon::Error));
        QVERIFY(h.sink.shown[0].text.contains(QStringLiteral("Zarvo32.dllが認識できません\r\nReadMe.txt")));
        QVERIFY(w.grid()->isHidden());
        QVERIFY(!w.listClearAction()->isEnabled());
        QVERIFY(!w.changeAction()->isEnabled());
        QCOMPARE(w.statusText(), QString());
    }

    // The library is loaded for every question: once it is gone, rows are
    // listed with empty cells.
    void engineGoneLaterLeavesCellsEmpty() {
        Harness h;
        const QString library = h.program.filePath(QStringLiteral("libStubEngine.so"));
        QVERIFY(QFile::copy(QStringLiteral(STUB_ENGINE_PATH), library));
        h.start(library);
        QVERIFY(QFile::remove(library));
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg", QStringLiteral("写真")))}));
        QCOMPARE(h.cell(1, kPresentExt), QStringLiteral("gif"));
        QCOMPARE(h.items(1), QStringList({text::kNoChange}));
        for (int column : {kDescription, kDetail, kCrc16, kCrc32}) QCOMPARE(h.cell(1, column), QString());
        QVERIFY(h.sink.shown.isEmpty());
    }

    void closingAsksFirst() {
        Harness h;
        TForm1& w = h.start();
        h.sink.answers << MessageSink::Answer::Cancel;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QVERIFY(w.close());
        QCOMPARE(h.sink.texts(), QStringList({text::kCloseQuestion, text::kCloseQuestion}));
    }

    void helpAndFileManagerOpenThroughTheDesktop() {
        Harness h;
        TForm1& w = h.start();
        const QString help = writeFile(QDir(h.program.path()), QStringLiteral("help.htm"), "<html></html>");
        w.TBItem1Click();
        w.TB_BootShellClick();  // no row: the home folder
        QCOMPARE(h.opened, QList<QUrl>({QUrl::fromLocalFile(help), QUrl::fromLocalFile(QDir::homePath())}));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(h.sink.shown.isEmpty());

        // The selected row's file, selected in the file manager; else its folder.
        QVERIFY(h.drop({h.file(QStringLiteral("a.gif"), answer("jpg")), h.file(QStringLiteral("b.gif"), answer("jpg"))}));
        w.grid()->setCurrentCell(w.gridRowOf(2), kPath);
        h.opened.clear();
        h.fileManagerWorks = true;
        w.TB_BootShellClick();
        QCOMPARE(h.shownInFileManager, QStringList({h.cell(2, kPath)}));
        QVERIFY(h.opened.isEmpty());
        h.fileManagerWorks = false;
        w.TB_BootShellClick();
        QCOMPARE(h.opened, QList<QUrl>({QUrl::fromLocalFile(h.files.path())}));
        QVERIFY(h.sink.shown.isEmpty());
    }

    // Where nothing can open them, help and the file manager say so.
    void helpAndFileManagerReportFailures() {
        Harness h;
        TForm1& w = h.start();
        w.TBItem1Click();  // no help.htm
        writeFile(QDir(h.program.path()), QStringLiteral("help.htm"), "<html></html>");
        h.openerWorks = false;
        w.TBItem1Click();  // no opener
        w.TB_BootShellClick();
        QCOMPARE(h.sink.shown.size(), 3);
        QVERIFY(h.sink.shown[0].text.startsWith(text::kHelpFailed));
        QVERIFY(h.sink.shown[1].text.contains(QStringLiteral("help.htm")));
        QVERIFY(h.sink.shown[2].text.startsWith(text::kFileManagerFailed));
        QVERIFY(!QApplication::overrideCursor());
    }
};

// ---------------------------------------------------------------------------
class InspectionChoicesTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheSettings() {
        Harness h;
        TForm1& w = h.start();
        QCOMPARE(h.checkedItem(w.sampleLengthItems()), 0);
        QCOMPARE(h.checkedItem(w.methodItems()), 0);
        QCOMPARE(w.sampleLengthItems()[5]->text(), QStringLiteral("6000"));
        QCOMPARE(w.methodItems()[1]->text(), QStringLiteral("マックバイナリで調べる"));
        QCOMPARE(w.engine().sampleLength(), 256);
        QVERIFY(w.currentFormatsItem()->isChecked());
        QCOMPARE(w.engine().options(), 16u);  // the current formats too
        QCOMPARE(readFile(h.settingsPath()), QByteArray("[app]\nSearchByte=0\nSearchMode=0\n"));
    }

    void choiceIsPassedStoredAndRestored() {
        Harness h;
        {
            TForm1& w = h.start();
            w.methodItems()[3]->trigger();  // 特殊判別する
            w.sampleLengthItems()[2]->trigger();
            QCOMPARE(w.engine().options(), 4u | 16u);
            QCOMPARE(ProfileFile(h.settingsPath()).readInt("app", "SearchMode", -1), 3);
            QVERIFY(h.drop({h.file(QStringLiteral("a.bin"), "zip\n\n@args\n")}));
            QCOMPARE(h.cell(1, kDetail), QStringLiteral("1000/20"));  // what the engine received
            w.currentFormatsItem()->trigger();  // off: the classic answers alone
            QCOMPARE(w.engine().options(), 4u);
            QCOMPARE(ProfileFile(h.settingsPath()).readInt("app", "CurrentFormats", -1), 0);
            QVERIFY(h.drop({h.file(QStringLiteral("b.bin"), "zip\n\n@args\n")}));
            QCOMPARE(h.cell(2, kDetail), QStringLiteral("1000/4"));
        }
        TForm1& again = h.start();
        QCOMPARE(h.checkedItem(again.methodItems()), 3);
        QCOMPARE(h.checkedItem(again.sampleLengthItems()), 2);
        QVERIFY(!again.currentFormatsItem()->isChecked());
        QCOMPARE(again.engine().options(), 4u);
        QCOMPARE(again.engine().sampleLength(), 1000);
    }

    void storedValueOutOfRangeIsIgnoredAndKept() {
        Harness h;
        const QByteArray stored = "; kept\r\n[app]\r\nSearchByte=7\r\nSearchMode=2\r\n";
        writeFile(QDir(h.program.path()), QStringLiteral("data.ini"), stored);
        TForm1& w = h.start();
        QCOMPARE(h.checkedItem(w.sampleLengthItems()), 0);
        QCOMPARE(w.engine().sampleLength(), 256);
        QCOMPARE(h.checkedItem(w.methodItems()), 2);
        QCOMPARE(w.engine().options(), 2u | 16u);
        QCOMPARE(readFile(h.settingsPath()), stored);
    }

    void oneCheckMarkPerMenu() {
        Harness h;
        TForm1& w = h.start();
        for (int i : {5, 1, 1, 3, 0, 4, 2}) {
            w.sampleLengthItems()[i]->trigger();
            QCOMPARE(h.checkedItem(w.sampleLengthItems()), i);
        }
        for (int i : {3, 1, 1, 0, 2}) {
            w.methodItems()[i]->trigger();
            QCOMPARE(h.checkedItem(w.methodItems()), i);
        }
        QCOMPARE(ProfileFile(h.settingsPath()).readInt("app", "SearchByte", -1), 2);
    }
};

// ---------------------------------------------------------------------------
class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramsOwnVersion() {
        VersionResource resource;
        resource.translations << (0x0411u | (932u << 16));
        resource.strings.insert(QStringLiteral("\\StringFileInfo\\041103A4\\ProductName"), QStringLiteral("Oxtarn"));
        resource.strings.insert(QStringLiteral("\\StringFileInfo\\041103A4\\ProductVersion"), QStringLiteral("1.2.1"));
        TfrmVersion box{VersionInfo(resource)};
        QCOMPARE(box.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(box.productNameLabel()->text(), QStringLiteral("Oxtarn"));
        QCOMPARE(box.versionLabel()->text(), QStringLiteral("Version: 1.2.1"));
        QCOMPARE(box.disclaimerLabel()->text().split(u'\n'),
                 QStringList({"このソフトウェアの使用に関して、直接的または", "間接的に生じる一切の損害当について、",
                              "作者は如何なる責任も負いません。", "このことは、このソフトウェアの使用をもって",
                              "同意されたものと見なします。"}));
        QVERIFY(box.siteLink()->text().endsWith(u'\n' + box.siteLink()->link()));
        QCOMPARE(box.mailLink()->target(), QUrl(QStringLiteral("mailto:") + box.mailLink()->link()));
    }

    void survivesMissingVersionValues() {
        TfrmVersion none{VersionInfo(std::nullopt)};
        QCOMPARE(none.productNameLabel()->text(), QString());
        QCOMPARE(none.versionLabel()->text(), QStringLiteral("Version: "));
        QVERIFY(!none.disclaimerLabel()->text().isEmpty());  // the rest is filled

        TfrmVersion broken{VersionInfo(VersionResource{})};  // no translation table
        QCOMPARE(broken.productNameLabel()->text(), QStringLiteral("ProductName"));  // as designed
        QCOMPARE(broken.disclaimerLabel()->text(), QString());
        QVERIFY(!broken.copyrightLabel()->text().isEmpty());
    }

    void mainWindowTakesNoInputWhileOpen() {
        Harness h;
        TForm1& w = h.start();
        w.TB_VersionClick();
        QVERIFY(w.aboutBox()->isVisible());
        QVERIFY(w.aboutBox()->isModal());
        QCOMPARE(QApplication::activeModalWidget(), w.aboutBox());
        QCOMPARE(w.aboutBox()->parentWidget(), &w);  // stays over its window
        QVERIFY(w.aboutBox()->isEnabled());
        QVERIFY(w.aboutBox()->close());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        w.TB_VersionClick();
        QTest::keyClick(w.aboutBox(), Qt::Key_Escape);
        QVERIFY(!w.aboutBox()->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        w.TB_VersionClick();
        QVERIFY(w.aboutBox()->okButton()->isDefault());
        QTest::mouseClick(w.aboutBox()->okButton(), Qt::LeftButton);
        QVERIFY(!w.aboutBox()->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(w.isEnabled());
    }
};

// ---------------------------------------------------------------------------
class LinkLabelTest : public QObject {
    Q_OBJECT
private:
    static void enter(QWidget* w) {
        QEnterEvent event(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(w, &event);
    }
    static void move(QWidget* w, QPoint at) {
        QMouseEvent event(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void leave(QWidget* w) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(w, &event);
    }

private slots:
    void opensItsTarget() {
        TURLLink web;
        QCOMPARE(web.target(), QUrl(QStringLiteral("http://")));
        QList<QUrl> opened;
        web.setOpener([&](const QUrl& url) { opened << url; });
        web.setLink(QStringLiteral("https://example.org/x"));
        web.setText(QStringLiteral("site"));
        web.show();
        QTest::mouseClick(&web, Qt::LeftButton);
        QTest::mouseClick(&web, Qt::RightButton);
        web.setURLType(TURLLink::MailLink);
        web.setLink(QStringLiteral("someone@example.org"));
        QTest::mouseClick(&web, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("https://example.org/x")),
                                      QUrl(QStringLiteral("mailto:someone@example.org"))}));
    }

    void hoverColoursAndHint() {
        TURLLink link;
        link.setText(QStringLiteral("link"));
        link.setLink(QStringLiteral("https://example.org/"));
        link.setFontColor(QColor(0, 0, 128));
        link.show();

        enter(&link);
        QCOMPARE(link.fontColor(), QColor(Qt::red));
        move(&link, QPoint(3, 3));
        QVERIFY(link.hintShown());
        QWidget* hint = link.hintWindow();
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->pos(), link.mapToGlobal(QPoint(3, 3)) + QPoint(15, 15));
        const QFontMetrics metrics(link.hintFormFont());
        QCOMPARE(hint->size(), QSize(metrics.horizontalAdvance(link.link()) + 6, metrics.height() + 3));
        leave(&link);
        QCOMPARE(link.fontColor(), QColor(0, 0, 128));
        QVERIFY(!link.hintShown());
        QVERIFY(!hint->isVisible());

        link.setEnableShowHint(false);
        enter(&link);
        move(&link, QPoint(3, 3));
        QVERIFY(!link.hintShown());
        QCOMPARE(link.fontColor(), QColor(Qt::red));
        leave(&link);
        QCOMPARE(link.fontColor(), QColor(0, 0, 128));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    auto run = [&](QObject&& test) { status |= QTest::qExec(&test, argc, argv); };
    run(MainWindowTest());
    run(InspectionChoicesTest());
    run(AboutBoxTest());
    run(LinkLabelTest());
    return status;
}

#include "window_tests.moc"
