#pragma once

// The program's help: Hungarian HTML pages shipped as resources, shown in one help window.

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace rv {

struct HelpPage {
    QString file;  // under qrc:/help/
    QString title;
};

// Every page, the index first.
const QList<HelpPage>& helpPages();
// The page of a context number (10 index, 11 first steps, 12 settings, 15 multipliers, 30 database window,
// 40 months window, 42 year overview, 50 editor); the index for any other number.
QString helpPageForContext(int context);
// Pages whose text holds every word of the query (letter case ignored), in page order.
QStringList searchHelp(const QString& query);

class frmSugo : public QWidget {
    Q_OBJECT
public:
    explicit frmSugo(QWidget* parent = nullptr);

    void showPage(const QString& file);
    void showSearch();

    QTextBrowser* txtSugo;
    QTabWidget* tabOldalak;
    QListWidget* lstTartalom;
    QLineEdit* txtKereses;
    QListWidget* lstTalalatok;

private:
    void search();
    void openResult();
};

// The keyword search of the help (the main window's "Keresés" item).
void showHelpSearch(QWidget* parent);
// The one help window, created on first use.
frmSugo* helpWindow();

} // namespace rv
