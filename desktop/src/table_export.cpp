#include "table_export.hpp"

namespace oxtarn {

namespace {
QString csvField(const QString& field) {
    const bool quote = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
                       field.contains(u'\r') || (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quote) return field;
    return u'"' + QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}
}  // namespace

QByteArray csvDocument(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row) fields << csvField(field);
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString tabSeparated(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (QString field : row) {
            for (QChar& c : field)
                if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
            fields << field;
        }
        text += fields.join(u'\t') + u'\n';
    }
    return text;
}

}  // namespace oxtarn
