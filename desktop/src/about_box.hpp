// The about box: the program's name and version from its own version
// information, the author, links to the support site and the author's mail
// address, a disclaimer and the copyright line. It is modal over the main
// window, and closes by its OK button, Escape or the close button.
#pragma once

#include <QDialog>

#include "url_link.hpp"
#include "version_info.hpp"

class QLabel;
class QPushButton;

namespace oxtarn {

class TfrmVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVersion(const VersionInfo& version, QWidget* parent = nullptr);

    QLabel* productNameLabel() const { return productName_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* authorLabel() const { return author_; }
    QLabel* disclaimerLabel() const { return disclaimer_; }
    QLabel* copyrightLabel() const { return copyright_; }
    TURLLink* siteLink() const { return site_; }
    TURLLink* mailLink() const { return mail_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Fills the labels from the version information; a failure leaves the
    // rest of them as designed.
    void fill(const VersionInfo& version);

    QLabel* icon_ = nullptr;
    QLabel* productName_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* author_ = nullptr;
    QLabel* disclaimer_ = nullptr;
    QLabel* copyright_ = nullptr;
    TURLLink* site_ = nullptr;
    TURLLink* mail_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace oxtarn
