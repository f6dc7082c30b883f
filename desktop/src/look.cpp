#include "look.hpp"

#include <QFontDatabase>

namespace oxtarn {

QColor windowColour() {
    constexpr unsigned value = 10260108;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFont uiFont() {
    const QStringList families = QFontDatabase::families();
    QString family;
    for (const QString& wanted : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                                  QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")}) {
        if (families.contains(wanted)) {
            family = wanted;
            break;
        }
    }
    if (family.isEmpty()) {
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        if (!japanese.isEmpty()) family = japanese.first();
    }
    QFont font;
    if (!family.isEmpty()) font.setFamily(family);
    font.setPixelSize(12);
    return font;
}

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* data) const {
    if (hint == SH_ToolTip_WakeUpDelay) return kHintShowDelay;
    return QProxyStyle::styleHint(hint, option, widget, data);
}

}  // namespace oxtarn
