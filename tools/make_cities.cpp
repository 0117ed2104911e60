// Writes cities.rvd (heading, count, one quoted name a line, Windows-1250, CR LF) from a UTF-8
// list of settlement names, sorted in Hungarian alphabetical order.
#include "storage/datafiles.h"
#include "storage/fileio.h"

#include <QCollator>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_cities telepulesek.txt cities.rvd\n");
        return 2;
    }
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QStringList names;
    for (const QByteArray& line : in.readAll().split('\n')) {
        const QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty() && !name.contains(u'"'))
            names.append(name);
    }
    QCollator collator{QLocale(QLocale::Hungarian, QLocale::Hungary)};
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    names.removeDuplicates();
    const rv::Result r =
        rv::saveWholeFile(QFileInfo(args[2]).absolutePath(), args[2], rv::serializeCities(u"Magyarország települései"_s, names));
    if (!r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.message()));
        return 1;
    }
    return 0;
}
