#include "url_link.hpp"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace oxtarn {

class TURLLink::HintWindow : public QWidget {
public:
    HintWindow() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
    QString text;
    QColor colour;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), colour);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ToolTipText));
        painter.drawText(QPoint(2, 2 + fontMetrics().ascent()), text);
    }
};

TURLLink::TURLLink(QWidget* parent) : QLabel(parent) {
    hintFormColor_ = QToolTip::palette().color(QPalette::ToolTipBase);
    hintFormFont_ = QToolTip::font();
    setFontColor(Qt::blue);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    opener_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

TURLLink::~TURLLink() = default;

void TURLLink::setURLType(URLType type) {
    urlType_ = type;
    update();
}

void TURLLink::setLink(const QString& link) {
    if (link == link_) return;
    link_ = link;
    update();
}

void TURLLink::setLinkColor(const QColor& colour) {
    linkColor_ = colour;
    if (hovering_) setFontColor(colour);
    update();
}

QColor TURLLink::fontColor() const { return palette().color(QPalette::WindowText); }

void TURLLink::setFontColor(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
    update();
}

void TURLLink::setEnableShowHint(bool on) {
    enableShowHint_ = on;
    if (!on) hideHint();
    update();
}

void TURLLink::setHintFormColor(const QColor& colour) {
    hintFormColor_ = colour;
    update();
}

void TURLLink::setHintFormFont(const QFont& font) {
    hintFormFont_ = font;
    update();
}

void TURLLink::setHintOffset(int x, int y) {
    hintOffsetX_ = x;
    hintOffsetY_ = y;
    update();
}

QUrl TURLLink::target() const {
    return urlType_ == MailLink ? QUrl(QStringLiteral("mailto:") + link_) : QUrl(link_);
}

QWidget* TURLLink::hintWindow() const { return hint_.get(); }

void TURLLink::enterEvent(QEnterEvent* event) {
    if (!hovering_) {
        savedColour_ = fontColor();
        hovering_ = true;
    }
    setFontColor(linkColor_);
    QLabel::enterEvent(event);
}

void TURLLink::mouseMoveEvent(QMouseEvent* event) {
    if (enableShowHint_ && !hintShown_) showHint(event->globalPosition().toPoint());
    QLabel::mouseMoveEvent(event);
}

void TURLLink::leaveEvent(QEvent* event) {
    if (hovering_) {
        setFontColor(savedColour_);
        hovering_ = false;
    }
    hideHint();
    QLabel::leaveEvent(event);
}

void TURLLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        update();
        if (opener_) opener_(target());
        hideHint();
    }
    QLabel::mousePressEvent(event);
}

void TURLLink::showHint(const QPoint& globalPos) {
    if (!hint_) hint_ = std::make_unique<HintWindow>();
    hint_->text = link_;
    hint_->colour = hintFormColor_;
    hint_->setFont(hintFormFont_);
    const QFontMetrics metrics(hintFormFont_);
    hint_->resize(metrics.horizontalAdvance(link_) + 6, metrics.height() + 3);
    hint_->move(globalPos + QPoint(hintOffsetX_, hintOffsetY_));
    hint_->show();
    hintShown_ = true;
}

void TURLLink::hideHint() {
    if (!hintShown_) return;
    if (hint_) hint_->hide();
    hintShown_ = false;
}

}  // namespace oxtarn
