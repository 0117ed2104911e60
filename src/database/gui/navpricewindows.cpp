#include "navpricewindows.h"

#include "database/navupdate.h"
#include "database/net/httpsource.h"
#include "database/publishedprices.h"
#include "storage/navpaste.h"
#include "model/state.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"
#include "storage/prompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmNavBeillesztes::frmNavBeillesztes(AppState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(u"frmNavBeillesztes"_s);
    setWindowTitle(u"NAV-árak beillesztése"_s);
    const int year = QDate::currentDate().year();
    lblNavTabla = new QLabel(u"Nyissa meg a NAV honlapján az év üzemanyagár-oldalát („%1 alkalmazható "
                             u"üzemanyagárak”), jelölje ki a táblázatot az év címsorával (például „%2.év”) együtt, "
                             u"másolja ki, és illessze be &ide:"_s.arg(yearInessive(year))
                                 .arg(year),
                             this);
    lblNavTabla->setWordWrap(true);
    txtNavTabla = new QPlainTextEdit(this);
    txtNavTabla->setObjectName(u"txtNavTabla"_s);
    txtNavTabla->setTabChangesFocus(true);
    lblNavTabla->setBuddy(txtNavTabla);

    const DialogButtons buttons = dialogButtons(this, true);
    cmdOK = buttons.ok;
    cmdOK->setText(u"&Beolvasás"_s);
    cmdMegsem = buttons.cancel;
    cmdSugo = buttons.help;
    connect(cmdOK, &QPushButton::clicked, this, &frmNavBeillesztes::accept);
    connect(cmdSugo, &QPushButton::clicked, this, [this] { showHelp(this, kNavPricesHelp); });
    helpKey(this, kNavPricesHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNavTabla);
    layout->addWidget(txtNavTabla, 1);
    layout->addWidget(buttons.box);
    resize(560, 420);
}

void frmNavBeillesztes::accept() {
    QVector<NavPriceRow> rows;
    if (const Result r = parseNavPastedText(txtNavTabla->toPlainText(), u"beillesztett NAV-táblázat"_s, rows); !r) {
        // The text stays, to be mended or pasted again.
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    QDialog::accept();
    importPublishedRows(m_state, rows, u"A beillesztett táblázat"_s);
}

bool downloadNavPrices(AppState& state, QWidget* parent) {
    QProgressDialog progress(u"A NAV üzemanyagár-oldalának letöltése..."_s, u"&Mégse"_s, 0, 0, parent);
    progress.setObjectName(u"frmNavLetoltes"_s);
    progress.setWindowTitle(u"Letöltés a NAV honlapjáról"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    HttpPageSource source;
    source.progress = [&](qint64 received, qint64 total) {
        progress.setMaximum(total > 0 ? int(std::min<qint64>(total, INT_MAX)) : 0);
        progress.setValue(total > 0 ? int(std::min<qint64>(received, INT_MAX)) : 0);
        return !progress.wasCanceled();
    };
    QVector<NavPriceRow> rows;
    const Result r = downloadNavRowsViaList(source, navListUrl(state.settings), navUrlTemplate(state.settings),
                                            QDate::currentDate(), rows);
    progress.close();
    if (!r) {
        state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return false;
    }
    return importPublishedRows(state, rows, u"A NAV honlapjáról letöltött táblázat"_s);
}

} // namespace rv
