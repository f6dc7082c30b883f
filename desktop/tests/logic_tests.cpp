// The desktop program's logic, without a display.
#include <QTemporaryDir>
#include <QTest>

#include "engine_binding.hpp"
#include "file_ops.hpp"
#include "inspection_options.hpp"
#include "profile_file.hpp"
#include "result_table.hpp"
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

    void controlNamesLeadBackToTheirRow() {
        QCOMPARE(rowOfControlName(controlName(1)), 1);
        QCOMPARE(rowOfControlName(QStringLiteral("cmbExtension12")), 13);
        QCOMPARE(rowOfControlName(QStringLiteral("cmbExtension")), -1);
        QCOMPARE(rowOfControlName(QStringLiteral("cmbExtensionX")), -1);
        QCOMPARE(rowOfControlName(QStringLiteral("other3")), -1);
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
    run(RenameTest());
    run(EngineBindingTest());
    run(VersionInfoTest());
    return status;
}

#include "logic_tests.moc"
