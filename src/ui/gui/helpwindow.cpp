#include "helpwindow.h"

#include "navigation.h"
#include "windowparts.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

// The pages live in a static library, whose resources are linked in only when asked for.
static void initHelpResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(done)
}

namespace rv {

namespace {

QString pageText(const QString& file) {
    initHelpResources();
    static QHash<QString, QString> cache;
    auto it = cache.find(file);
    if (it != cache.end())
        return *it;
    QFile f(u":/help/"_s + file);
    QString text;
    if (f.open(QIODevice::ReadOnly)) {
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(f.readAll()));
        text = doc.toPlainText();
    }
    cache.insert(file, text);
    return text;
}

QPointer<frmSugo>& theWindow() {
    static QPointer<frmSugo> window;
    return window;
}

} // namespace

const QList<HelpPage>& helpPages() {
    initHelpResources();
    static const QList<HelpPage> pages = {
        {u"index.html"_s, u"Tartalom"_s},
        {u"elso-lepesek.html"_s, u"Első lépések"_s},
        {u"foablak.html"_s, u"A főablak és a gépkocsik"_s},
        {u"gepkocsi.html"_s, u"Gépkocsi felvétele és módosítása"_s},
        {u"adatbazis.html"_s, u"Partnerek, távolságok, üzemanyagárak"_s},
        {u"honapok.html"_s, u"Nyilvántartások (hónapok)"_s},
        {u"eves.html"_s, u"Éves összesítő"_s},
        {u"szerkeszto.html"_s, u"A havi útnyilvántartás szerkesztése"_s},
        {u"nyomtatas.html"_s, u"Nyomtatás"_s},
        {u"maganhasznalat.html"_s, u"Magánhasználat és üzleti arány"_s},
        {u"rendelveny.html"_s, u"Kiküldetési rendelvény"_s},
        {u"szorzok.html"_s, u"Szorzók"_s},
        {u"beallitasok.html"_s, u"Beállítások"_s},
        {u"atalakitas.html"_s, u"Régebbi adatok átalakítása"_s},
        {u"nav-arak.html"_s, u"NAV-üzemanyagárak"_s},
        {u"utimport.html"_s, u"Utak betöltése nyomkövetőből"_s},
    };
    return pages;
}

QString helpPageForContext(int context) {
    switch (context) {
    case 11: return u"elso-lepesek.html"_s;
    case 12: return u"beallitasok.html"_s;
    case 15: return u"szorzok.html"_s;
    case 20: return u"gepkocsi.html"_s;
    case 30: return u"adatbazis.html"_s;
    case 40: return u"honapok.html"_s;
    case 41: return u"utimport.html"_s;
    case 42: return u"eves.html"_s;
    case 45: return u"nyomtatas.html"_s;
    case 50: return u"szerkeszto.html"_s;
    case 35: return u"nav-arak.html"_s;
    case 60: return u"atalakitas.html"_s;
    default: return u"index.html"_s;
    }
}

QStringList searchHelp(const QString& query) {
    const QStringList words = query.simplified().split(u' ', Qt::SkipEmptyParts);
    QStringList found;
    if (words.isEmpty())
        return found;
    for (const HelpPage& page : helpPages()) {
        const QString text = page.title + u'\n' + pageText(page.file);
        bool all = true;
        for (const QString& w : words)
            all = all && text.contains(w, Qt::CaseInsensitive);
        if (all)
            found.append(page.file);
    }
    return found;
}

frmSugo::frmSugo(QWidget* parent) : QWidget(parent, Qt::Window) {
    initHelpResources();
    setObjectName(u"frmSugo"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Rovanta+ súgó"_s);

    txtSugo = new QTextBrowser(this);
    txtSugo->setObjectName(u"txtSugo"_s);
    txtSugo->setSearchPaths({u":/help"_s});
    txtSugo->setOpenExternalLinks(true);

    tabOldalak = new QTabWidget(this);
    tabOldalak->setObjectName(u"tabOldalak"_s);
    lstTartalom = new QListWidget(tabOldalak);
    lstTartalom->setObjectName(u"lstTartalom"_s);
    for (const HelpPage& page : helpPages()) {
        auto* item = new QListWidgetItem(page.title, lstTartalom);
        item->setData(Qt::UserRole, page.file);
    }
    tabOldalak->addTab(lstTartalom, u"&Tartalom"_s);

    auto* searchPage = new QWidget(tabOldalak);
    auto* searchLayout = new QVBoxLayout(searchPage);
    auto* searchLabel = new QLabel(u"Írja be a keresett &szót (Ctrl+F):"_s, searchPage);
    txtKereses = new QLineEdit(searchPage);
    txtKereses->setObjectName(u"txtKereses"_s);
    txtKereses->setClearButtonEnabled(true);
    searchLabel->setBuddy(txtKereses);
    lstTalalatok = new QListWidget(searchPage);
    lstTalalatok->setObjectName(u"lstTalalatok"_s);
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(txtKereses);
    searchLayout->addWidget(lstTalalatok);
    tabOldalak->addTab(searchPage, u"&Keresés"_s);

    auto* back = new QPushButton(u"&Vissza"_s, this);
    auto* forward = new QPushButton(u"&Előre"_s, this);
    auto* home = new QPushButton(u"T&artalom"_s, this);
    auto* close = new QPushButton(u"&Bezárás"_s, this);
    back->setEnabled(false);
    forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tabOldalak);
    splitter->addWidget(txtSugo);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 560});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter);

    connect(back, &QPushButton::clicked, txtSugo, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, txtSugo, &QTextBrowser::forward);
    connect(txtSugo, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(txtSugo, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(home, &QPushButton::clicked, this, [this] { showPage(u"index.html"_s); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Escape and Ctrl+W close it, as they do every window it is opened from.
    closeKeys(this, close);
    // The search box from anywhere in the window: Ctrl+F, or the tab chosen with Alt+K.
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, &frmSugo::showSearch);
    connect(tabOldalak, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            txtKereses->setFocus();
    });
    connect(lstTartalom, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(lstTartalom, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(txtKereses, &QLineEdit::textChanged, this, &frmSugo::search);
    connect(txtKereses, &QLineEdit::returnPressed, this, &frmSugo::openResult);
    connect(lstTalalatok, &QListWidget::itemActivated, this, &frmSugo::openResult);
    connect(lstTalalatok, &QListWidget::itemClicked, this, &frmSugo::openResult);
    connect(txtSugo, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QString file = url.fileName();
        for (int i = 0; i < lstTartalom->count(); ++i)
            if (lstTartalom->item(i)->data(Qt::UserRole).toString() == file) {
                QSignalBlocker block(lstTartalom);
                lstTartalom->setCurrentRow(i);
            }
    });
    resize(820, 600);
}

void frmSugo::showPage(const QString& file) { txtSugo->setSource(QUrl(u"qrc:/help/"_s + file)); }

void frmSugo::showSearch() {
    tabOldalak->setCurrentIndex(1);
    txtKereses->setFocus();
    txtKereses->selectAll();
}

void frmSugo::search() {
    lstTalalatok->clear();
    const QStringList files = searchHelp(txtKereses->text());
    for (const HelpPage& page : helpPages())
        if (files.contains(page.file)) {
            auto* item = new QListWidgetItem(page.title, lstTalalatok);
            item->setData(Qt::UserRole, page.file);
        }
    if (lstTalalatok->count() > 0)
        lstTalalatok->setCurrentRow(0);
}

void frmSugo::openResult() {
    QListWidgetItem* item = lstTalalatok->currentItem();
    if (!item)
        return;
    showPage(item->data(Qt::UserRole).toString());
    // The first place of the first word is shown marked.
    const QString first = txtKereses->text().simplified().section(u' ', 0, 0);
    if (!first.isEmpty())
        txtSugo->find(first);
}

frmSugo* helpWindow() {
    QPointer<frmSugo>& window = theWindow();
    if (!window)
        window = new frmSugo;
    // A modal dialog blocks every window but its own: the help it asks for must belong to it.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && window->parentWidget() != modal && window != modal) {
        // Kept where it was by its frame's corner; a window never placed is left to be placed
        // (a client-area position would put the title bar above the screen).
        const bool placed = window->testAttribute(Qt::WA_Moved);
        const QPoint corner = window->pos();
        const QSize size = window->size();
        window->setParent(modal, Qt::Window);
        window->resize(size);
        if (placed)
            window->move(corner);
    }
    return window;
}

void showHelp(QWidget* /*parent*/, int context) {
    frmSugo* w = helpWindow();
    w->showPage(helpPageForContext(context));
    w->show();
    w->raise();
    w->activateWindow();
}

void showHelpSearch(QWidget* /*parent*/) {
    frmSugo* w = helpWindow();
    if (w->txtSugo->source().isEmpty())
        w->showPage(u"index.html"_s);
    w->showSearch();
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace rv
