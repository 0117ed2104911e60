#include "frmAbout.h"

#include "storage/tables.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrlQuery>
#include <QVBoxLayout>

#include <tuple>

#ifndef ROVANTA_WEB_URL
#define ROVANTA_WEB_URL ""
#endif
#ifndef ROVANTA_EMAIL
#define ROVANTA_EMAIL ""
#endif

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString frmAbout::web = QString::fromUtf8(ROVANTA_WEB_URL);
QString frmAbout::email = QString::fromUtf8(ROVANTA_EMAIL);

QUrl frmAbout::webAddress() { return QUrl(web); }

QUrl frmAbout::mailAddress() {
    QUrl url(u"mailto:"_s + email);
    QUrlQuery query;
    query.addQueryItem(u"subject"_s, u"Rovanta"_s);
    url.setQuery(query);
    return url;
}

frmAbout::frmAbout(const QString& mainCaption, QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmAbout"_s);
    setWindowTitle(mainCaption + u" - Névjegy -"_s);
    setMouseTracking(true);
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    lblTitle = new QLabel(kAppTitle, this);
    lblTitle->setObjectName(u"lblTitle"_s);
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(u"%1.%2.%3 verzió"_s.arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch), this);
    lblVersion->setObjectName(u"lblVersion"_s);
    auto* what = new QLabel(u"Útnyilvántartás és üzemanyag-költségelszámolás\ncéges gépkocsikhoz"_s, this);

    auto link = [this](const QString& name, const QString& text, const QString& tip) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(tip);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
        l->setPalette(pal);
        l->setMouseTracking(true);
        // Reached with Tab and opened with Enter or Space, as a link of a browser is.
        l->setFocusPolicy(Qt::StrongFocus);
        l->installEventFilter(this);
        return l;
    };
    lblINet = link(u"lblINet"_s, webAddress().toString(), u"A honlap megnyitása"_s);
    lblEMail = link(u"lblEMail"_s, email, u"Levél írása"_s);
    lblLicence = new QLabel(u"Szabad szoftver: a GNU GPL 3. vagy bármely későbbi változata szerint\n"
                            u"terjeszthető és módosítható, garancia nélkül. A Qt az LGPL, a\n"
                            u"libxlsxwriter a BSD licenc szerint része."_s,
                            this);
    lblLicence->setObjectName(u"lblLicence"_s);

    cmdOK = new QPushButton(u"&OK"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setDefault(true);
    // Enter closes the window as it opens; Tab still reaches the links.
    cmdOK->setFocus();
    helpKey(this, 10);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addSpacing(8);
    layout->addWidget(what);
    layout->addSpacing(8);
    layout->addWidget(lblLicence);
    // A build given no address shows no link rather than a made-up one.
    for (auto [caption, label, address] : {std::tuple{u"Honlap:"_s, lblINet, web}, {u"E-mail:"_s, lblEMail, email}}) {
        if (address.isEmpty()) {
            label->hide();
            continue;
        }
        layout->addSpacing(4);
        layout->addWidget(new QLabel(caption, this));
        layout->addWidget(label);
    }
    layout->addSpacing(12);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdOK);
    layout->addLayout(row);
}

void frmAbout::underline(QLabel* label, bool on) {
    QFont f = label->font();
    if (f.underline() == on)
        return;
    f.setUnderline(on);
    label->setFont(f);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label == lblINet || label == lblEMail) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
        case QEvent::FocusIn:
            underline(label, true);
            break;
        case QEvent::Leave:
        case QEvent::FocusOut:
            underline(label, false);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
                break;
            follow(label);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                follow(label);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::follow(QLabel* label) {
    const bool web = label == lblINet;
    if (!openUrl || openUrl(web ? webAddress() : mailAddress()) || !prompter)
        return;
    const QString what = web ? u"A honlap (%1) nem nyitható meg: nincs beállítva böngésző."_s.arg(webAddress().toString())
                             : u"Nem indítható levelezőprogram a(z) %1 címre írt levélhez."_s.arg(label->text());
    prompter->ask(what, Ok, MsgIcon::Exclamation);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event) {
    underline(lblINet, false);
    underline(lblEMail, false);
    QDialog::mouseMoveEvent(event);
}

} // namespace rv
