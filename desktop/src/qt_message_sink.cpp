#include "qt_message_sink.hpp"

#include <QApplication>
#include <QMessageBox>

namespace oxtarn {

MessageSink::Answer QtMessageSink::show(Icon icon, const QString& caption, const QString& text, Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    // The busy cursor of a running drop does not belong over a question.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool ok = box.exec() == QMessageBox::Ok;
    QApplication::restoreOverrideCursor();
    return ok ? Answer::Ok : Answer::Cancel;
}

}  // namespace oxtarn
