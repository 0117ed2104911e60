// Times the sample generation on a large sparse partner matrix and the months window listing a
// car's logbooks. Usage: bench_months [partners] [logbooks] [rounds]
#include "editor/logbookfile.h"
#include "months/gui/frmHonapok.h"
#include "months/monthlist.h"
#include "months/sample.h"
#include "storage/random.h"
#include "storage/state.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every partner with about ten known distances, both ways.
void sparsePartners(AppState& s, int n) {
    s.partners.resize(n);
    for (int i = 1; i <= n; ++i)
        s.partner(i) = Partner{u"Partner Kft. %1"_s.arg(i), u"Székesfehérvár"_s, u"Fő utca %1."_s.arg(i)};
    s.distances.reset(n);
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> partner(1, n), km(3, 90);
    for (int i = 1; i <= n; ++i)
        for (int k = 0; k < 5; ++k) {
            const int j = partner(gen);
            if (j == i)
                continue;
            const qint16 d = qint16(km(gen));
            s.distances.at(i, j) = DistanceCell{d, 1};
            s.distances.at(j, i) = DistanceCell{d, 1};
        }
}

// A month of 22 working days with six stops each.
StoredLogbook busyMonth(const AppState& s, int year, int month) {
    StoredLogbook log;
    log.year = year;
    log.month = month;
    log.monthKm = 2500;
    log.stopWidth = 6;
    for (int d = 1; d <= 22; ++d) {
        for (int k = 0; k < 6; ++k)
            log.stops[size_t(d - 1)].append(s.partner(1 + (d * 7 + k * 13) % s.partnerCount()));
        log.comments[size_t(d - 1)] = u"Tárgyalás"_s;
    }
    return log;
}

// Counts the tries: the generation lets the window breathe once after each.
class CountingProgress : public NoProgress {
public:
    void keepResponsive() override { ++tries; }
    int tries = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int partners = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int logbooks = argc > 2 ? std::atoi(argv[2]) : 240;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 9;

    QTemporaryDir dir;
    AppState s;
    s.programDir = dir.path() + u'/';
    s.carDir = u"Users/BENCH/"_s;
    QDir().mkpath(s.carPath(QString()));
    sparsePartners(s, partners);

    // The generation with the default settings (10 %, 100 tries), for a month of 3000 km and for
    // the largest target.
    MersenneRandom random(1);
    s.random = &random;
    std::vector<double> generation[2];
    int tries[2] = {0, 0};
    const int targets[2] = {3000, 20000};
    for (int which = 0; which < 2; ++which) {
        SampleRequest request;
        request.year = 2026;
        request.month = 3;
        request.target = targets[which];
        for (int r = 0; r < rounds; ++r) {
            CountingProgress progress;
            QElapsedTimer t;
            t.start();
            MintaKeszites(s, request, progress);
            generation[which].push_back(t.nsecsElapsed() / 1e9);
            tries[which] = std::max(tries[which], progress.tries);
        }
    }

    for (int i = 0; i < logbooks; ++i) {
        const int year = 2000 + i / 12;
        const int month = i % 12 + 1;
        QFile f(s.carPath(newMonthFileName(year, month)));
        if (!f.open(QIODevice::WriteOnly) || f.write(serializeLogbook(busyMonth(s, year, month))) < 0) {
            std::fprintf(stderr, "cannot write logbooks\n");
            return 1;
        }
    }
    std::vector<double> listing, window;
    int listed = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        listed = int(listLogbooks(s).entries.size());
        listing.push_back(t.nsecsElapsed() / 1e9);
        t.restart();
        {
            frmHonapok w(s, nullptr);
        }
        window.push_back(t.nsecsElapsed() / 1e9);
    }

    for (int which = 0; which < 2; ++which)
        std::printf("MintaKeszites, %d partners (about 10 distances each), %d km, up to %d tries: %.4f s\n", partners,
                    targets[which], tries[which], median(generation[which]));
    std::printf("listLogbooks, %d logbooks: %.4f s\n", listed, median(listing));
    std::printf("frmHonapok opened on %d logbooks: %.4f s\n", listed, median(window));
    return 0;
}
