// The look shared by the program's windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QProxyStyle>

namespace oxtarn {

// The windows' background: colour value 10260108, stored blue-green-red.
QColor windowColour();
// The Japanese UI font at 12 pixels: the usual Windows face where present,
// else a Japanese-capable face of the system.
QFont uiFont();

// Hints show 30 ms after the pointer comes to rest.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override;
};
inline constexpr int kHintShowDelay = 30;
inline constexpr int kHintHideDelay = 5000;

}  // namespace oxtarn
