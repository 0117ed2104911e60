// Times LoadDatabase and SaveDatabase on a generated partner file against one plain read of the
// same bytes. Usage: bench_database [partners] [rounds]
#include "storage/datafiles.h"
#include "storage/state.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir dir;
    AppState s;
    s.programDir = dir.path() + u'/';
    s.carDir = u"Users/BENCH/"_s;
    QDir().mkpath(s.carPath(QString()));
    s.partners.resize(n);
    for (int i = 1; i <= n; ++i)
        s.partner(i) = Partner{u"Partner Kft. %1"_s.arg(i), u"Székesfehérvár"_s, u"Fő utca %1."_s.arg(i)};
    s.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            s.distances.at(i, j) = DistanceCell{qint16(i == j ? 0 : (i * 7 + j * 13) % 400 + 1), qint16((i + j) % 6 + 1)};

    std::vector<double> save, load, plain;
    qint64 bytes = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        if (!SaveDatabase(s)) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        save.push_back(t.nsecsElapsed() / 1e9);

        t.restart();
        QFile f(s.carPath(u"data.rvd"_s));
        f.open(QIODevice::ReadOnly);
        const QByteArray raw = f.readAll();
        f.close();
        plain.push_back(t.nsecsElapsed() / 1e9);
        bytes = raw.size();

        t.restart();
        if (!LoadDatabase(s, true)) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        load.push_back(t.nsecsElapsed() / 1e9);
    }
    const double mb = bytes / 1e6;
    std::printf("partners %d, file %.1f MB, %d rounds (median)\n", n, mb, rounds);
    std::printf("plain read    %7.3f s  %8.1f MB/s\n", median(plain), mb / median(plain));
    std::printf("LoadDatabase  %7.3f s  %8.1f MB/s\n", median(load), mb / median(load));
    std::printf("SaveDatabase  %7.3f s  %8.1f MB/s\n", median(save), mb / median(save));
    return 0;
}
