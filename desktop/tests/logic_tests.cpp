// The desktop program's logic, without a display.
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include "engine_binding.hpp"
#include "file_checker.hpp"
#include "file_ops.hpp"
#include "inspection_options.hpp"
#include "profile_file.hpp"
#include "result_table.hpp"
#include "table_export.hpp"
#include "test_support.hpp"
#include "texts.hpp"
#include "version_info.hpp"

using namespace oxtarn;
using namespace oxtarn::testing;

// ---------------------------------------------------------------------------
class ProfileFileTest : public QObject {
    Q_OBJECT
private slots:
    void writeChangesOnlyItsOwnLine_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("after");
        const QByteArray other = "; deployer's note\r\n[other]\r\npath=C:\\dir\\file\r\nlist=a,b\r\n";
        QTest::newRow("key replaced in place")
            << other + "[App]\r\n  searchbyte = 7\r\nSearchMode=1\r\n" << QByteArray("SearchByte")
            << other + "[App]\r\n  searchbyte =2\r\nSearchMode=1\r\n";
        QTest::newRow("key added at the end of its section")
            << QByteArray("[app]\r\nSearchMode=1\r\n\r\n[other]\r\nx=1\r\n") << QByteArray("SearchByte")
            << QByteArray("[app]\r\nSearchMode=1\r\nSearchByte=2\r\n\r\n[other]\r\nx=1\r\n");
        QTest::newRow("section added, no final line end before") << other + "x=1" << QByteArray("SearchByte")
                                                               << other + "x=1\r\n[app]\r\nSearchByte=2\r\n";
        QTest::newRow("commented key is not the key")
            << QByteArray("[app]\n;SearchByte=5\n") << QByteArray("SearchByte")
            << QByteArray("[app]\n;SearchByte=5\nSearchByte=2\n");
        QTest::newRow("new file") << QByteArray() << QByteArray("SearchByte") << QByteArray("[app]\nSearchByte=2\n");
    }
    void writeChangesOnlyItsOwnLine() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/data.ini"));
        if (!before.isEmpty()) {
            QDir().mkpath(dir.filePath(QStringLiteral("sub")));
            writeFile(QDir(dir.path()), QStringLiteral("sub/data.ini"), before);
        }
        QVERIFY(ProfileFile(path).write("app", key, "2"));
        QCOMPARE(readFile(path), after);
    }

    void readsIntegersAsTheProfileFunctionsDo_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("[app]\r\nSearchByte=3\r\n") << 3;
        QTest::newRow("names ignore case, blanks around") << QByteArray("[APP]\nsearchBYTE = 4 \n") << 4;
        QTest::newRow("leading digits count") << QByteArray("[app]\nSearchByte=5 ; note\n") << 5;
        QTest::newRow("negative") << QByteArray("[app]\nSearchByte=-1\n") << -1;
        QTest::newRow("not a number") << QByteArray("[app]\nSearchByte=abc\n") << 99;
        QTest::newRow("key in another section") << QByteArray("[other]\nSearchByte=3\n[app]\n") << 99;
        QTest::newRow("first section of the name counts")
            << QByteArray("[app]\nSearchMode=1\n[app]\nSearchByte=3\n") << 99;
        QTest::newRow("missing file") << QByteArray() << 99;
    }
    void readsIntegersAsTheProfileFunctionsDo() {
        QFETCH(QByteArray, content);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.ini"));
        if (!content.isEmpty()) writeFile(QDir(dir.path()), QStringLiteral("data.ini"), content);
        QCOMPARE(ProfileFile(path).readInt("app", "SearchByte", 99), expected);
    }

    void unwritableFileReportsFailure() {
        QTemporaryDir dir;
        // A folder where the file should be cannot be replaced by a file.
        QDir(dir.path()).mkdir(QStringLiteral("data.ini"));
        QVERIFY(!ProfileFile(dir.filePath(QStringLiteral("data.ini"))).write("app", "SearchByte", "1"));
    }
};

// ---------------------------------------------------------------------------
class InspectionOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void storedPositionsOutOfRangeAreIgnored_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("sample");  // -1: nothing
        QTest::addColumn<int>("method");
        QTest::newRow("missing file: both 0") << QByteArray() << 0 << 0;
        QTest::newRow("last items") << QByteArray("[app]\nSearchByte=5\nSearchMode=3\n") << 5 << 3;
        QTest::newRow("one past the end") << QByteArray("[app]\nSearchByte=6\nSearchMode=4\n") << -1 << -1;
        QTest::newRow("7 and negative") << QByteArray("[app]\nSearchByte=7\nSearchMode=-1\n") << -1 << -1;
    }
    void storedPositionsOutOfRangeAreIgnored() {
        QFETCH(QByteArray, content);
        QFETCH(int, sample);
        QFETCH(int, method);
        QTemporaryDir dir;
        if (!content.isEmpty()) writeFile(QDir(dir.path()), QStringLiteral("data.ini"), content);
        const auto stored = options::readStoredChoices(ProfileFile(dir.filePath(QStringLiteral("data.ini"))));
        QCOMPARE(stored.sampleLength.value_or(-1), sample);
        QCOMPARE(stored.method.value_or(-1), method);
    }

    void optionBitsOfEachMethod() {
        QCOMPARE(options::optionBits(0, false), 0u);
        QCOMPARE(options::optionBits(3, false), 4u);  // the fourth item passes 4
        QCOMPARE(options::optionBits(1, true), 1u | 16u);
        QCOMPARE(options::optionBits(2, true), 2u | 16u);
    }

    void currentFormatsAreOnUnlessStoredOff_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("on");
        QTest::newRow("missing") << QByteArray() << true;
        QTest::newRow("0") << QByteArray("[app]\nCurrentFormats=0\n") << false;
        QTest::newRow("1") << QByteArray("[app]\nCurrentFormats=1\n") << true;
        QTest::newRow("not a number") << QByteArray("[app]\nCurrentFormats=no\n") << true;
    }
    void currentFormatsAreOnUnlessStoredOff() {
        QFETCH(QByteArray, content);
        QFETCH(bool, on);
        QTemporaryDir dir;
        if (!content.isEmpty()) writeFile(QDir(dir.path()), QStringLiteral("data.ini"), content);
        QCOMPARE(options::readCurrentFormats(ProfileFile(dir.filePath(QStringLiteral("data.ini")))), on);
    }

    void windowLayoutIsStoredAndReadBack_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("stored") << QByteArray("[app]\nWindowWidth=900\nWindowHeight=500\nColumnWidths=20,30,40\n")
                                << QSize(900, 500) << QList<int>{20, 30, 40};
        QTest::newRow("missing") << QByteArray("[app]\n") << QSize() << QList<int>{};
        QTest::newRow("too small, wrong count")
            << QByteArray("[app]\nWindowWidth=10\nWindowHeight=500\nColumnWidths=20,30\n") << QSize() << QList<int>{};
        QTest::newRow("one width not a number") << QByteArray("[app]\nColumnWidths=20,x,40\n") << QSize() << QList<int>{};
    }
    void windowLayoutIsStoredAndReadBack() {
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QFETCH(QList<int>, widths);
        QTemporaryDir dir;
        writeFile(QDir(dir.path()), QStringLiteral("data.ini"), content);
        const ProfileFile file(dir.filePath(QStringLiteral("data.ini")));
        const options::WindowLayout layout = options::readWindowLayout(file, 3);
        QCOMPARE(layout.size, size);
        QCOMPARE(layout.columnWidths, widths);
        QVERIFY(options::storeWindowLayout(file, {QSize(640, 480), {50, 60, 70}}));
        const options::WindowLayout again = options::readWindowLayout(file, 3);
        QCOMPARE(again.size, QSize(640, 480));
        QCOMPARE(again.columnWidths, QList<int>({50, 60, 70}));
    }

    void settingsLiveBesideTheProgramWhileWritable() {
        QTemporaryDir program, config;
        QCOMPARE(options::settingsPath(program.path(), config.path()), program.filePath(QStringLiteral("data.ini")));
        writeFile(QDir(program.path()), QStringLiteral("data.ini"), "[app]\n");
        QCOMPARE(options::settingsPath(program.path(), config.path()), program.filePath(QStringLiteral("data.ini")));
        const QString gone = program.filePath(QStringLiteral("no-such-folder"));
        QCOMPARE(options::settingsPath(gone, config.path()), config.filePath(QStringLiteral("data.ini")));
    }
};

// ---------------------------------------------------------------------------
class ResultTableTest : public QObject {
    Q_OBJECT
private slots:
    void extensionsComeFromTheFileName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("renamed");  // to "txt"
        QTest::newRow("gif") << "/a/photo.gif" << "gif" << "/a/photo.txt";
        QTest::newRow("last dot counts") << "/a/arc.tar.gz" << "gz" << "/a/arc.tar.txt";
        QTest::newRow("no dot") << "/a/readme" << "" << "/a/readme.txt";
        // The folder's dot is not the file's extension: the file stays in its folder.
        QTest::newRow("dot in folder") << "/a/dir.d/file" << "" << "/a/dir.d/file.txt";
        QTest::newRow("trailing dot") << "/a/name." << "" << "/a/name.txt";
    }
    void extensionsComeFromTheFileName() {
        QFETCH(QString, path);
        QFETCH(QString, present);
        QFETCH(QString, renamed);
        QCOMPARE(presentExtension(path), present);
        QCOMPARE(pathWithExtension(path, QStringLiteral("txt")), renamed);
    }

    void rowsFillTheEmptyRowFirst() {
        ResultTable table;
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.cell(0, kChosen), QStringLiteral("変換拡張子候補"));
        QCOMPARE(table.addFile(QStringLiteral("/a/x.gif")), 1);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.addFile(QStringLiteral("/a/y")), 2);
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.cell(2, kTick), QStringLiteral("0"));
        QCOMPARE(table.cell(1, kPresentExt), QStringLiteral("gif"));
        table.clear();
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.fileCount(), 0);
        QCOMPARE(table.cell(1, kPath), QString());
    }

    void choicesEndWithNoChange() {
        QCOMPARE(choicesFor(QStringLiteral("zip,jar")), QStringList({"zip", "jar", text::kNoChange}));
        QCOMPARE(choicesFor(QStringLiteral("?")), QStringList({"?", text::kNoChange}));
        QCOMPARE(choicesFor(QString()), QStringList({text::kNoChange}));
    }

    void conversionPlan_data() {
        QTest::addColumn<QString>("tick");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("target");
        QTest::newRow("ticked") << "1" << "/a/photo.gif" << "jpg" << int(Conversion::Rename) << "/a/photo.jpg";
        QTest::newRow("ticked, no extension") << "1" << "/a/notes" << "txt" << int(Conversion::Rename) << "/a/notes.txt";
        QTest::newRow("unticked keeps its choice") << "0" << "/a/photo.gif" << "jpg" << int(Conversion::Leave) << "";
        QTest::newRow("same extension resets") << "1" << "/a/photo.gif" << "gif" << int(Conversion::Reset) << "";
        QTest::newRow("unknown resets") << "1" << "/a/x.bin" << "?" << int(Conversion::Reset) << "";
        QTest::newRow("no change resets") << "1" << "/a/x.bin" << text::kNoChange << int(Conversion::Reset) << "";
    }
    void conversionPlan() {
        QFETCH(QString, tick);
        QFETCH(QString, path);
        QFETCH(QString, chosen);
        QFETCH(int, kind);
        QFETCH(QString, target);
        ResultTable table;
        const int row = table.addFile(path);
        table.setCell(row, kTick, tick);
        table.setCell(row, kChosen, chosen);
        const Conversion plan = planConversion(table, row);
        QCOMPARE(int(plan.kind), kind);
        QCOMPARE(plan.target, target);
        // The header row and rows without a file are never touched.
        QCOMPARE(int(planConversion(table, 0).kind), int(Conversion::Leave));
        QCOMPARE(int(planConversion(table, 2).kind), int(Conversion::Leave));
    }

    void controlNamesCarryTheFileId() {
        QCOMPARE(controlName(0), QStringLiteral("cmbExtension0"));
        QCOMPARE(controlName(12), QStringLiteral("cmbExtension12"));
    }

    // Ids and paths lead to their rows while rows are removed and renamed.
    void rowsAreFoundByIdAndPath() {
        ResultTable table;
        for (const char* path : {"/a/0.gif", "/a/1.gif", "/a/2.gif", "/a/3.gif"}) table.addFile(QString::fromLatin1(path));
        table.setCell(3, kPath, QStringLiteral("/a/2.jpg"));
        QCOMPARE(table.rowOfPath(QStringLiteral("/a/2.gif")), -1);
        QCOMPARE(table.rowOfPath(QStringLiteral("/a/2.jpg")), 3);
        table.removeRows({2, 1, 2});
        QCOMPARE(table.fileCount(), 2);
        QCOMPARE(table.cell(1, kPath), QStringLiteral("/a/2.jpg"));
        QCOMPARE(table.rowOfFile(2), 1);
        QCOMPARE(table.rowOfFile(3), 2);
        QCOMPARE(table.rowOfFile(0), -1);
        QCOMPARE(table.rowOfPath(QStringLiteral("/a/0.gif")), -1);
        QCOMPARE(table.rowOfPath(QStringLiteral("/a/3.gif")), 2);
        table.removeRows({1, 2});
        QCOMPARE(table.fileCount(), 0);
        QCOMPARE(table.rowCount(), 2);  // the empty row stays
        QCOMPARE(table.fileId(1), -1);
        QCOMPARE(table.addFile(QStringLiteral("/b/x")), 1);
        QCOMPARE(table.fileId(1), 4);  // ids are not given twice
    }

    void realChangesAndRecommendations_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("real");
        QTest::addColumn<QString>("recommended");
        QTest::newRow("misnamed") << "/a/x.gif" << "jpg,jpeg" << "jpeg" << true << "jpg";
        QTest::newRow("present extension") << "/a/x.jpg" << "jpg,jpeg" << "jpg" << false << "";
        QTest::newRow("present in other case") << "/a/x.JPG" << "jpg" << "jpg" << true << "";
        QTest::newRow("unknown") << "/a/x.bin" << "?" << "?" << false << "";
        QTest::newRow("no change") << "/a/x.bin" << "zip" << text::kNoChange << false << "zip";
        QTest::newRow("no extension") << "/a/x" << "txt" << "txt" << true << "txt";
        QTest::newRow("no candidates") << "/a/x.bin" << "" << text::kNoChange << false << "";
    }
    void realChangesAndRecommendations() {
        QFETCH(QString, path);
        QFETCH(QString, engine);
        QFETCH(QString, chosen);
        QFETCH(bool, real);
        QFETCH(QString, recommended);
        ResultTable table;
        const int row = table.addFile(path);
        table.setChoices(row, choicesFor(engine));
        QCOMPARE(isRealChange(chosen, table.cell(row, kPresentExt)), real);
        QCOMPARE(recommendedChoice(table, row), recommended);
    }

    void detailOnOneLine() {
        QCOMPARE(oneLine(QStringLiteral("Level 1")), QStringLiteral("Level 1"));
        QCOMPARE(oneLine(QStringLiteral("Level 1\r\nLayer 3\n\n  Title x \r\n")), QStringLiteral("Level 1; Layer 3; Title x"));
        QCOMPARE(oneLine(QString()), QString());
    }
};

// ---------------------------------------------------------------------------
class TableExportTest : public QObject {
    Q_OBJECT
private slots:
    void csvQuotesOnlyWhatNeedsIt() {
        const QByteArray csv = csvDocument({{"a", "日本語", ""}, {"x,y", "say \"hi\"", "two\nlines"}, {" lead", "tail ", "ok"}});
        QCOMPARE(csv, QByteArray("\xEF\xBB\xBF") + QStringLiteral("a,日本語,\r\n\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\"\r\n"
                                                                   "\" lead\",\"tail \",ok\r\n").toUtf8());
    }

    void tabSeparatedKeepsOneLinePerRow() {
        QCOMPARE(tabSeparated({{"a", "b\tc"}, {"d\r\ne", ""}}), QStringLiteral("a\tb c\nd  e\t\n"));
    }
};

// ---------------------------------------------------------------------------
class RenameTest : public QObject {
    Q_OBJECT
private slots:
    void renamesWithoutReplacing() {
        QTemporaryDir dir;
        const QString from = writeFile(QDir(dir.path()), QStringLiteral("a.gif"), "picture");
        const QString to = dir.filePath(QStringLiteral("a.jpg"));
        QString error;
        QVERIFY(renameNoReplace(from, to, &error));
        QVERIFY(!QFile::exists(from));
        QCOMPARE(readFile(to), QByteArray("picture"));

        const QString other = writeFile(QDir(dir.path()), QStringLiteral("b.gif"), "other");
        QVERIFY(!renameNoReplace(other, to, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFile(to), QByteArray("picture"));
        QCOMPARE(readFile(other), QByteArray("other"));

        error.clear();
        QVERIFY(!renameNoReplace(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("gone.txt")), &error));
        QVERIFY(!error.isEmpty());
    }
};

// ---------------------------------------------------------------------------
class EngineBindingTest : public QObject {
    Q_OBJECT
private:
    struct Report {
        QString text, caption;
    };
    QList<Report> reports_;

private slots:
    void init() {
        reports_.clear();
        EngineBinding::setErrorReport([this](const QString& t, const QString& c) { reports_.append({t, c}); });
    }
    void cleanup() { EngineBinding::setErrorReport({}); }

    void numbersAsTheWindowShowsThem() {
        QCOMPARE(versionText(121), QStringLiteral("1.21"));
        QCOMPARE(versionText(120), QStringLiteral("1.2"));
        QCOMPARE(versionText(100), QStringLiteral("1"));
        QCOMPARE(versionText(5), QStringLiteral("0.05"));
        QCOMPARE(crc16Text(0), QStringLiteral("0000"));
        QCOMPARE(crc32Text(0), QStringLiteral("00000000"));
        QCOMPARE(crc16Text(0x1ABCD), QStringLiteral("1ABCD"));
        QCOMPARE(crc32Text(0xCBF43926), QStringLiteral("CBF43926"));
    }

    void engineTextsAreShiftJis() {
        const QString text = QStringLiteral("書庫「圧縮ﾌｧｲﾙ」");
        const QByteArray bytes = sj(text);
        QCOMPARE(bytes.size(), 2 * 6 + 4);  // half-width katakana stay single bytes
        QCOMPARE(fromEngineText(bytes), text);
    }

    void fieldsStopAtTheirEnd() {
        QByteArray full(16, 'x');
        QCOMPARE(readField(full.constData(), 8), QByteArray(8, 'x'));
        full[3] = '\0';
        QCOMPARE(readField(full.constData(), 8), QByteArray("xxx"));
    }

    void realEngineAnswers() {
        EngineBinding engine({QStringLiteral(ZARVO_LIBRARY_PATH)});
        QCOMPARE(engine.version(), 121);
        QTemporaryDir dir;
        const QString abc = writeFile(QDir(dir.path()), QStringLiteral("abc.txt"), "abc");
        QCOMPARE(engine.fileCrc16Text(abc), QStringLiteral("61DA"));
        QCOMPARE(engine.fileCrc32Text(abc), QStringLiteral("352441C2"));
        QVERIFY(reports_.isEmpty());
    }

    // The engine is loaded afresh for each question, so the report function
    // must be installed each time: a file that cannot be opened is reported.
    void unreadableFileIsReportedThroughTheWindow() {
        EngineBinding engine({QStringLiteral(ZARVO_LIBRARY_PATH)});
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone.gif"));
        QCOMPARE(engine.version(), 121);  // an earlier load and unload
        tFileInfoData info{QStringLiteral("stale"), QStringLiteral("stale"), QStringLiteral("stale")};
        QVERIFY(engine.identify(missing, info));
        QCOMPARE(info.extension, QStringLiteral("?"));
        QCOMPARE(info.description, QString());
        QCOMPARE(info.detail, QString());
        QCOMPARE(reports_.size(), 1);
        QCOMPARE(reports_[0].caption, QStringLiteral("Error"));
        QVERIFY(!reports_[0].text.isEmpty());
        QCOMPARE(engine.fileCrc16Text(missing), QStringLiteral("0000"));
    }

    void missingLibraryOrFunctionLeavesAnswersEmpty() {
        QTemporaryDir dir;
        const QString file = writeFile(QDir(dir.path()), QStringLiteral("a.txt"), "jpg\n");
        const tFileInfoData before{QStringLiteral("kept"), QStringLiteral("kept"), QStringLiteral("kept")};
        for (const QString& library : {dir.filePath(QStringLiteral("NoSuchEngine")), QStringLiteral(STUB_PARTIAL_ENGINE_PATH)}) {
            EngineBinding engine({library});
            tFileInfoData info = before;
            QVERIFY(!engine.identify(file, info));
            QCOMPARE(info.extension, before.extension);
            QCOMPARE(engine.fileCrc16Text(file), QString());
            QCOMPARE(engine.fileCrc32Text(file), QString());
        }
        QCOMPARE(EngineBinding({dir.filePath(QStringLiteral("NoSuchEngine"))}).version(), 0);
        // The partial engine has its version; a later name is tried when the first does not load.
        QCOMPARE(EngineBinding({dir.filePath(QStringLiteral("NoSuchEngine")), QStringLiteral(STUB_PARTIAL_ENGINE_PATH)}).version(), 121);
    }

    void passesSampleLengthAndOptions() {
        EngineBinding engine({QStringLiteral(STUB_ENGINE_PATH)});
        engine.setSampleLength(6000);
        engine.setOptions(4);
        QTemporaryDir dir;
        const QString file = writeFile(QDir(dir.path()), QStringLiteral("a.bin"), "zip,jar\n\n@args\n");
        tFileInfoData info;
        QVERIFY(engine.identify(file, info));
        QCOMPARE(info.extension, QStringLiteral("zip,jar"));
        QCOMPARE(info.detail, QStringLiteral("6000/4"));
    }

    // On a worker thread the engine's report is kept for the caller, never shown.
    void reportsAwayFromTheWindowAreCaptured() {
        EngineBinding engine({QStringLiteral(ZARVO_LIBRARY_PATH)});
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone.gif"));
        QString captured;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            EngineBinding::ReportCapture capture;
            tFileInfoData info;
            engine.identify(missing, info);
            captured = capture.text;
        }));
        worker->start();
        QVERIFY(worker->wait(10000));
        QVERIFY(!captured.isEmpty());
        QVERIFY(reports_.isEmpty());
    }
};

// ---------------------------------------------------------------------------
class FileCheckerTest : public QObject {
    Q_OBJECT
private:
    struct Run {
        QList<CheckAnswer> answers;
        QHash<QString, QString> later;  // path: "crc16/crc32"
        bool finished = false, cancelled = false;
        int done = 0, total = 0;
    };
    static void watch(FileChecker& checker, Run& run) {
        QObject::connect(&checker, &FileChecker::answered, [&run](const QList<CheckAnswer>& a, int done, int total) {
            run.answers += a;
            run.done = done;
            run.total = total;
        });
        QObject::connect(&checker, &FileChecker::checksumsReady,
                         [&run](const QString& path, const QString& a, const QString& b) { run.later[path] = a + '/' + b; });
        QObject::connect(&checker, &FileChecker::finished, [&run](bool cancelled) {
            run.finished = true;
            run.cancelled = cancelled;
        });
    }

private slots:
    // Answers keep the order of the requests; a folder stands for its files
    // when asked, and is passed over otherwise; an unreadable file says why.
    void answersInOrderWithFoldersAndUnreadableFiles() {
        QTemporaryDir dir;
        QDir root(dir.path());
        root.mkpath(QStringLiteral("sub/deeper"));
        const QString a = writeFile(root, QStringLiteral("a.gif"), "jpg\nPhoto\nL1\n");
        const QString b = writeFile(root, QStringLiteral("sub/b"), "txt\n");
        const QString c = writeFile(root, QStringLiteral("sub/deeper/c"), "zip\n");
        const QString gone = root.filePath(QStringLiteral("gone.bin"));
        FileChecker checker;
        Run run;
        watch(checker, run);
        EngineBinding engine({QStringLiteral(STUB_ENGINE_PATH)});
        checker.start(engine, {{a}, {gone}, {root.filePath(QStringLiteral("sub"))}, {root.filePath(QStringLiteral("sub")), true}, {a}});
        QTRY_VERIFY(run.finished);
        QVERIFY(!run.cancelled);
        QVERIFY(!checker.isRunning());
        QStringList paths, kinds;
        for (const CheckAnswer& answer : run.answers) {
            paths << answer.path;
            kinds << QString::number(answer.kind);
        }
        QCOMPARE(paths, QStringList({a, gone, root.filePath(QStringLiteral("sub")), b, c, a}));
        QCOMPARE(kinds, QStringList({"0", "1", "2", "0", "0", "0"}));
        QCOMPARE(run.answers[0].info.extension, QStringLiteral("jpg"));
        QCOMPARE(run.answers[0].info.description, QStringLiteral("Photo"));
        QCOMPARE(run.answers[0].crc32, QStringLiteral("0000000D"));
        QVERIFY(!run.answers[1].reason.isEmpty());
        QCOMPARE(run.answers[1].crc16, QString());
        QCOMPARE(run.done, run.total);
        QCOMPARE(run.total, 7);  // five requests and the folder's two files
    }

    // A large file's answer comes at once; its checksums follow.
    void largeFileChecksumsFollow() {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.bin"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("zip\n");
            QVERIFY(file.resize(FileChecker::kInlineChecksumLimit + 1));  // sparse
        }
        FileChecker checker;
        Run run;
        watch(checker, run);
        checker.start(EngineBinding({QStringLiteral(STUB_ENGINE_PATH)}), {{big}});
        QTRY_VERIFY(run.finished);
        QCOMPARE(run.answers.size(), 1);
        QVERIFY(run.answers[0].checksumsLater);
        QCOMPARE(run.answers[0].crc16, QString());
        const qint64 size = FileChecker::kInlineChecksumLimit + 1;
        QTRY_COMPARE(run.later.value(big), crc16Text(quint32(size)) + u'/' + crc32Text(quint32(size)));
        QTRY_VERIFY(!checker.checksumsPending());
    }

    void cancelStopsTheRun() {
        QTemporaryDir dir;
        QList<CheckRequest> requests;
        for (int i = 0; i < 400; ++i)
            requests.append({writeFile(QDir(dir.path()), QStringLiteral("f%1").arg(i), "txt\n")});
        FileChecker checker;
        Run run;
        watch(checker, run);
        checker.start(EngineBinding({QStringLiteral(STUB_ENGINE_PATH)}), requests);
        checker.cancel();
        QVERIFY(run.finished);
        QVERIFY(run.cancelled);
        QVERIFY(!checker.isRunning());
        QTest::qWait(50);  // nothing of the stopped run arrives later
        QVERIFY(run.answers.size() < 400);
        // The checker takes the next run.
        run = Run{};
        checker.start(EngineBinding({QStringLiteral(STUB_ENGINE_PATH)}), requests.mid(0, 2));
        QTRY_VERIFY(run.finished);
        QCOMPARE(run.answers.size(), 2);
    }
};

// ---------------------------------------------------------------------------
class VersionInfoTest : public QObject {
    Q_OBJECT
private slots:
    void readsValuesThroughTheKeyList() {
        QCOMPARE(versionKeys().size(), 12);
        QCOMPARE(versionKeys()[kProductName], QStringLiteral("ProductName"));
        QCOMPARE(versionKeys()[kProductVersion], QStringLiteral("ProductVersion"));
        VersionResource resource;
        resource.translations << (0x0411u | (0x04B0u << 16)) << 0x0409u;  // only the first counts
        resource.strings.insert(QStringLiteral("\\StringFileInfo\\041104B0\\ProductName"), QStringLiteral("Oxtarn"));
        resource.strings.insert(QStringLiteral("\\StringFileInfo\\04090000\\ProductVersion"), QStringLiteral("9"));
        const VersionInfo info(resource);
        QCOMPARE(info.value(kProductName), QStringLiteral("Oxtarn"));
        QCOMPARE(info.value(kProductVersion), QString());
        QCOMPARE(info.value(12), QString());
    }

    void missingResourceOrTranslation() {
        QCOMPARE(VersionInfo(std::nullopt).value(kProductName), QString());
        VersionResource noTranslation;
        QVERIFY_THROWS_EXCEPTION(VersionInfoError, VersionInfo(noTranslation).value(kProductName));
    }

    void compiledInDataNamesTheProduct() {
        const VersionInfo info(VersionResource::compiledIn());
        QVERIFY(!info.value(kProductName).isEmpty());
        QVERIFY(!info.value(kProductVersion).isEmpty());
        QCOMPARE(info.value(0), QString());  // Comments: none
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    auto run = [&](QObject&& test) { status |= QTest::qExec(&test, argc, argv); };
    run(ProfileFileTest());
    run(InspectionOptionsTest());
    run(ResultTableTest());
    run(TableExportTest());
    run(RenameTest());
    run(EngineBindingTest());
    run(FileCheckerTest());
    run(VersionInfoTest());
    return status;
}

#include "logic_tests.moc"
