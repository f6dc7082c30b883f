// oxtarn: drop files on the window to see what they really are.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include "engine_binding.hpp"
#include "inspection_options.hpp"
#include "look.hpp"
#include "main_window.hpp"
#include "qt_message_sink.hpp"
#include "texts.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("oxtarn"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/oxtarn/oxtarn.png")));
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
    setup.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    oxtarn::TForm1 window(std::move(setup));
    window.show();

    // Files named on the command line are listed as if dropped.
    QStringList paths = QCoreApplication::arguments().mid(1);
    if (!paths.isEmpty()) QTimer::singleShot(0, &window, [&window, paths] { window.DropDst1FileDrop(paths); });
    return app.exec();
}
