// A text label that opens a web page or a mail address when clicked. Under
// the pointer its text takes LinkColor, and, when EnableShowHint is on, a
// small borderless pop-up near the pointer shows the link.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QUrl>

#include <functional>
#include <memory>

namespace oxtarn {

class TURLLink : public QLabel {
    Q_OBJECT
public:
    enum URLType { WebLink, MailLink };
    using Opener = std::function<void(const QUrl&)>;

    explicit TURLLink(QWidget* parent = nullptr);
    ~TURLLink() override;

    URLType urlType() const { return urlType_; }
    void setURLType(URLType type);
    QString link() const { return link_; }
    void setLink(const QString& link);
    QColor linkColor() const { return linkColor_; }
    void setLinkColor(const QColor& colour);
    QColor fontColor() const;
    void setFontColor(const QColor& colour);
    bool enableShowHint() const { return enableShowHint_; }
    void setEnableShowHint(bool on);
    QColor hintFormColor() const { return hintFormColor_; }
    void setHintFormColor(const QColor& colour);
    QFont hintFormFont() const { return hintFormFont_; }
    void setHintFormFont(const QFont& font);
    int hintOffsetX() const { return hintOffsetX_; }
    int hintOffsetY() const { return hintOffsetY_; }
    void setHintOffset(int x, int y);

    // What a click opens: Link, or "mailto:" followed by Link.
    QUrl target() const;
    // The desktop's URL handler unless a test installs its own.
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    bool hintShown() const { return hintShown_; }
    QWidget* hintWindow() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class HintWindow;
    void showHint(const QPoint& globalPos);
    void hideHint();

    URLType urlType_ = WebLink;
    QString link_ = QStringLiteral("http://");
    QColor linkColor_ = Qt::red;
    bool enableShowHint_ = true;
    QColor hintFormColor_;
    QFont hintFormFont_;
    int hintOffsetX_ = 15;
    int hintOffsetY_ = 15;
    QColor savedColour_;
    bool hovering_ = false;
    bool hintShown_ = false;
    std::unique_ptr<HintWindow> hint_;
    Opener opener_;
};

}  // namespace oxtarn
