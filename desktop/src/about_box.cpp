#include "about_box.hpp"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHideEvent>
#include <QPushButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "deployment.hpp"
#include "look.hpp"
#include "texts.hpp"

namespace oxtarn {

namespace {
QLabel* label(const QString& text, int pixelSize, const QColor& colour, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    if (pixelSize > 0) f.setPixelSize(pixelSize);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

TURLLink* link(TURLLink::URLType type, const QString& target, QWidget* parent) {
    auto* l = new TURLLink(parent);
    l->setURLType(type);
    l->setLink(target);
    l->setText(target);
    l->setFontColor(QColor(0, 0, 128));  // navy
    l->setLinkColor(Qt::red);
    l->setEnableShowHint(false);
    return l;
}
}  // namespace

TfrmVersion::TfrmVersion(const VersionInfo& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmVersion"));
    setWindowTitle(text::kVersion);
    setFont(uiFont());
    QPalette p = palette();
    p.setColor(QPalette::Window, windowColour());
    setPalette(p);
    setAutoFillBackground(true);

    // Design-time contents; creation fills the name, version, disclaimer,
    // site link caption and icon.
    icon_ = new QLabel(this);
    icon_->setFixedSize(32, 32);
    productName_ = label(QStringLiteral("ProductName"), 27, Qt::white, this);
    version_ = label(text::kVersionLabelPrefix, 16, Qt::white, this);
    version_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    author_ = label(QString::fromUtf8(deployment::kAuthor), 0, Qt::black, this);
    site_ = link(TURLLink::WebLink, QString::fromUtf8(deployment::kSiteUrl), this);
    mail_ = link(TURLLink::MailLink, QString::fromUtf8(deployment::kMail), this);
    disclaimer_ = label(QString(), 0, Qt::black, this);
    disclaimer_->setWordWrap(true);
    disclaimer_->setFixedWidth(268);
    disclaimer_->setMinimumHeight(81);
    disclaimer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    copyright_ = label(QString::fromUtf8(deployment::kCopyright), 0, Qt::black, this);
    copyright_->setAlignment(Qt::AlignCenter);

    auto* top = new QHBoxLayout;
    top->addWidget(icon_);
    top->addSpacing(8);
    top->addWidget(productName_, 1);
    auto* authorBox = new QGroupBox(text::kAuthorGroup, this);
    (new QVBoxLayout(authorBox))->addWidget(author_);
    auto* supportBox = new QGroupBox(text::kSupportGroup, this);
    auto* supportLayout = new QVBoxLayout(supportBox);
    supportLayout->addWidget(site_);
    supportLayout->addWidget(mail_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 8);
    layout->addLayout(top);
    layout->addWidget(version_);
    layout->addWidget(authorBox);
    layout->addWidget(supportBox);
    layout->addWidget(disclaimer_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(copyright_);
    // OK closes the box, as Escape does; it is the default button.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 0, Qt::AlignHCenter);
    // Over its window, which takes no input meanwhile.
    setModal(true);

    fill(version);

    // 371 by 353, or larger where the system's font needs more room.
    const QSize needed = layout->sizeHint();
    setFixedSize(std::max(371, needed.width()), std::max(353, needed.height()));
}

void TfrmVersion::fill(const VersionInfo& version) {
    try {
        productName_->setText(version.value(kProductName));
        version_->setText(text::kVersionLabelPrefix + version.value(kProductVersion));
        disclaimer_->setText(QString(text::kDisclaimer).replace(text::kCrLf, QStringLiteral("\n")));
        disclaimer_->setMinimumHeight(std::max(81, disclaimer_->heightForWidth(268)));
        site_->setText(QString::fromUtf8(deployment::kSiteName) + u'\n' + site_->link());
        icon_->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    } catch (const VersionInfoError&) {
        // The labels keep their design-time contents.
    }
}

void TfrmVersion::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

}  // namespace oxtarn
