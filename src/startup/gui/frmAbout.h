#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

namespace rv {

class Prompter;

// Title, version, licence and the maker's web and e-mail links.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const QString& mainCaption, QWidget* parent = nullptr);

    // The addresses the build was given; a link without one is not shown. Tests set their own.
    static QString web;
    static QString email;
    static QUrl webAddress();
    static QUrl mailAddress(); // with the subject "Rovanta"

    // Opens a link through the desktop; tests look at what would be opened.
    std::function<bool(const QUrl&)> openUrl;
    // Tells that a link could not be opened (no browser or mail program); unset: nobody is told.
    Prompter* prompter = nullptr;

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblINet;
    QLabel* lblEMail;
    QLabel* lblLicence;
    QPushButton* cmdOK;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void underline(QLabel* label, bool on);
    void follow(QLabel* label);
};

} // namespace rv
