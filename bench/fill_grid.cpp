// How long the desktop program takes to fill its grid: an offscreen window
// is given a list of files, as a drop would give it, and the time until the
// last row is listed is reported; then the time to page through the list.
//
//   oxtarn_fill_bench [COUNT...]         COUNT files made from examples/ (default 2000 10000)
//   oxtarn_fill_bench --files-from LIST  the files named in LIST, one a line
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>

#include "main_window.hpp"

namespace {

class SilentSink : public oxtarn::MessageSink {
public:
    Answer show(Icon, const QString&, const QString&, Buttons) override { return Answer::Ok; }
};

QList<QByteArray> exampleContents() {
    QList<QByteArray> contents;
    const QDir examples(QStringLiteral(OXTARN_EXAMPLES_DIR));
    for (const QFileInfo& info : examples.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly)) contents << file.readAll();
    }
    if (contents.isEmpty()) contents << QByteArray("plain text\n");
    return contents;
}

QStringList makeFiles(const QString& folder, int count) {
    const QList<QByteArray> contents = exampleContents();
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("f%1.dat").arg(i, 6, 10, QChar(u'0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) continue;
        file.write(contents[i % contents.size()]);
        paths << path;
    }
    return paths;
}

void measure(const QStringList& files) {
    QTemporaryDir program;
    SilentSink sink;
    oxtarn::TForm1Setup setup;
    setup.messages = &sink;
    setup.programDir = program.path();
    setup.settingsPath = program.filePath(QStringLiteral("data.ini"));
    setup.openUrl = [](const QUrl&) { return true; };
    oxtarn::TForm1 window(std::move(setup));
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.DropDst1FileDrop(files);
    while (window.isBusy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    const double fill = timer.nsecsElapsed() / 1e9;

    // Page through the whole list, as a user holding Page Down would.
    QScrollBar* bar = window.grid()->verticalScrollBar();
    int pages = 0;
    timer.restart();
    while (bar->value() < bar->maximum() && pages < 400) {
        bar->setValue(bar->value() + bar->pageStep());
        QCoreApplication::processEvents();
        ++pages;
    }
    const double perPage = pages ? timer.nsecsElapsed() / 1e6 / pages : 0;
    std::printf("%7lld files listed of %7lld: %7.3f s, %8.0f files/s; %d pages at %.2f ms a page\n",
                static_cast<long long>(window.table().fileCount()), static_cast<long long>(files.size()), fill,
                files.size() / fill, pages, perPage);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == QStringLiteral("--files-from")) {
        QFile list(args[1]);
        if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) return 2;
        QStringList files;
        while (!list.atEnd()) {
            const QString line = QString::fromLocal8Bit(list.readLine()).trimmed();
            if (!line.isEmpty()) files << line;
        }
        measure(files);
        return 0;
    }
    if (args.isEmpty()) args = {QStringLiteral("2000"), QStringLiteral("10000")};
    for (const QString& arg : args) {
        QTemporaryDir folder;
        measure(makeFiles(folder.path(), arg.toInt()));
    }
    return 0;
}
