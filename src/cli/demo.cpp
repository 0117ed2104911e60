#include "demo.h"

#include "startup/demodata.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace rv::cli {
namespace {

int runDemo(Context& c, const ParsedArgs& a) {
    const QString dir = a.positional.value(0);
    const QDate today = QDate::currentDate();
    if (const Result r = writeDemoData(dir, today); !r)
        return failed(c, r);
    c.out << u"A bemutató adatai elkészültek: %1"_s.arg(
                 QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath()))
          << Qt::endl;
    c.out << u"Indítás: rovanta --data-dir %1"_s.arg(
                 QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath()))
          << Qt::endl;
    return ExitOk;
}

} // namespace

Command demoCommand() {
    return {
        u"demo"_s,
        u"KÖNYVTÁR"_s,
        u"bemutató adatkönyvtár készítése"_s,
        u"Teljes adatkönyvtárat ír az üres vagy még nem létező KÖNYVTÁRBA: két autót (egy gázolajost és egy LPG-st), tizenkét partnert "
        u"valódi településeken a köztük levő távolságokkal és útvonaltípusokkal, a törvényi szorzókat, a "
        u"program NAV-üzemanyagárait és az előző év első három hónapjának minta-nyilvántartását folytonos "
        u"km-óra állással. Nem üres könyvtárba nem ír, ekkor 1-gyel lép ki."_s,
        {},
        1,
        1,
        runDemo};
}

} // namespace rv::cli
