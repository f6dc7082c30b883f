// oxtarn: drop files on the window to see what they really are.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "engine_binding.hpp"
#include "file_manager.hpp"
#include "inspection_options.hpp"
#include "look.hpp"
#include "main_window.hpp"
#include "qt_message_sink.hpp"
#include "texts.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("oxtarn"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) icon.addFile(QStringLiteral(":/oxtarn/icons/%1.png").arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("oxtarn"), icon));
    QApplication::setFont(oxtarn::uiFont());
    QApplication::setStyle(new oxtarn::HintTimingStyle);

    oxtarn::QtMessageSink messages;
    oxtarn::EngineBinding::setErrorReport([&messages](const QString& text, const QString& caption) {
        messages.show(oxtarn::MessageSink::Icon::Information, caption, text, oxtarn::MessageSink::Buttons::Ok);
    });

    oxtarn::TForm1Setup setup;
    setup.messages = &messages;
    setup.programDir = QCoreApplication::applicationDirPath();
    setup.settingsPath = oxtarn::options::settingsPath(
        setup.programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    setup.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    setup.showInFileManager = &oxtarn::showFileInFileManager;

    oxtarn::TForm1 window(std::move(setup));
    window.show();

    // Files named on the command line are listed as if dropped.
    QStringList paths = QCoreApplication::arguments().mid(1);
    if (!paths.isEmpty()) QTimer::singleShot(0, &window, [&window, paths] { window.DropDst1FileDrop(paths); });
    const int status = app.exec();
    // The checksum of a very large file cannot be stopped half-way; the
    // window is closed and its settings are written, so do not wait for it.
    if (window.checksumsPending()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
