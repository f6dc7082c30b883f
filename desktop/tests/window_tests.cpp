// The windows on the offscreen platform, with a stand-in engine that answers
// from each file's own lines.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

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
        setup.openUrl = [this](const QUrl& url) { opened << url; };
        window = std::make_unique<TForm1>(std::move(setup));
        window->show();
        return *window;
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
        QCOMPARE(w.size(), QSize(744, 376));
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

        w.DropDst1FileDrop({gif});
        QCOMPARE(w.table().rowCount(), 2);  // the first file takes the empty row
        w.DropDst1FileDrop({h.files.filePath(QStringLiteral("folder.d")), plain, third});

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
        w.DropDst1FileDrop({h.file(QStringLiteral("a.gif"), answer("jpg,jpeg"))});
        w.chooseEntry(1, QStringLiteral("jpeg"));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
        QCOMPARE(h.cell(1, kChosen), QStringLiteral("jpeg"));
        QVERIFY(w.tickBox(1)->isChecked());
        w.chooseEntry(1, text::kNoChange);
        QCOMPARE(h.cell(1, kTick), QStringLiteral("0"));
        QVERIFY(!w.tickBox(1)->isChecked());
        w.tickBox(1)->click();  // the user's own tick reaches the cell
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
    }

    void changeRenamesTickedRowsAndRewritesThem() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("photo.gif"), answer("jpg", QStringLiteral("写真")));
        const QString bare = h.file(QStringLiteral("notes"), answer("txt"));
        const QString kept = h.file(QStringLiteral("keep.gif"), answer("png"));
        w.DropDst1FileDrop({gif, bare, kept});
        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("txt"));
        w.chooseEntry(3, QStringLiteral("png"));
        w.tickBox(3)->click();  // unticked again: keeps its choice, not renamed

        w.TB_ChangeExtClick();

        QCOMPARE(h.sink.texts(), QStringList({text::kChangeQuestion, text::kChangeDone}));
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
        w.DropDst1FileDrop({unknown, same, none});
        w.chooseEntry(1, QStringLiteral("?"));
        w.chooseEntry(2, QStringLiteral("jpg"));
        w.tickBox(3)->click();  // ticked by hand, still "変換なし"

        w.TB_ChangeExtClick();

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
        w.DropDst1FileDrop({gif, other});
        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("png"));

        w.TB_ChangeExtClick();

        QCOMPARE(readFile(taken), QByteArray("already here"));
        QCOMPARE(readFile(gif), answer("jpg"));
        QVERIFY(QFile::exists(h.files.filePath(QStringLiteral("other.png"))));  // the next row goes on
        QCOMPARE(h.cell(1, kPath), QDir::toNativeSeparators(gif));
        QCOMPARE(h.cell(1, kTick), QStringLiteral("1"));
        QCOMPARE(h.cell(1, kChosen), QStringLiteral("jpg"));
        QCOMPARE(h.sink.shown.size(), 2);
        const auto& summary = h.sink.shown.last();
        QCOMPARE(int(summary.icon), int(MessageSink::Icon::Warning));
        QVERIFY(summary.text.startsWith(text::kChangeDone + text::kCrLf + text::kChangeFailures));
        QVERIFY(summary.text.contains(QDir::toNativeSeparators(gif)));
    }

    void changeAsksFirst() {
        Harness h;
        TForm1& w = h.start();
        const QString gif = h.file(QStringLiteral("a.gif"), answer("jpg"));
        const QString same = h.file(QStringLiteral("b.jpg"), answer("jpg"));
        w.DropDst1FileDrop({gif, same});

        w.TB_ChangeExtClick();  // nothing ticked
        QCOMPARE(h.sink.texts(), QStringList({text::kNothingTicked}));

        w.chooseEntry(1, QStringLiteral("jpg"));
        w.chooseEntry(2, QStringLiteral("jpg"));
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
        TForm1& w = h.start(library);
        QVERIFY(QFile::remove(library));
        w.DropDst1FileDrop({h.file(QStringLiteral("a.gif"), answer("jpg", QStringLiteral("写真")))});
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
        w.TBItem1Click();
        w.TB_BootShellClick();
        QCOMPARE(h.opened, QList<QUrl>({QUrl::fromLocalFile(h.program.filePath(QStringLiteral("help.htm"))),
                                        QUrl::fromLocalFile(QDir::homePath())}));
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
        QCOMPARE(w.engine().options(), 0u);
        QCOMPARE(readFile(h.settingsPath()), QByteArray("[app]\nSearchByte=0\nSearchMode=0\n"));
    }

    void choiceIsPassedStoredAndRestored() {
        Harness h;
        {
            TForm1& w = h.start();
            w.methodItems()[3]->trigger();  // 特殊判別する
            w.sampleLengthItems()[2]->trigger();
            QCOMPARE(w.engine().options(), 4u);
            QCOMPARE(ProfileFile(h.settingsPath()).readInt("app", "SearchMode", -1), 3);
            w.DropDst1FileDrop({h.file(QStringLiteral("a.bin"), "zip\n\n@args\n")});
            QCOMPARE(h.cell(1, kDetail), QStringLiteral("1000/4"));  // what the engine received
        }
        TForm1& again = h.start();
        QCOMPARE(h.checkedItem(again.methodItems()), 3);
        QCOMPARE(h.checkedItem(again.sampleLengthItems()), 2);
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
        QCOMPARE(w.engine().options(), 2u);
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
        QVERIFY(!w.isEnabled());
        QVERIFY(w.aboutBox()->isEnabled());
        QVERIFY(w.aboutBox()->close());
        QVERIFY(w.isEnabled());
        w.TB_VersionClick();
        QTest::keyClick(w.aboutBox(), Qt::Key_Escape);
        QVERIFY(!w.aboutBox()->isVisible());
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
