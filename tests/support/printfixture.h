#pragma once

#include "model/cost.h"
#include "printing/printout.h"
#include "printing/recordingcanvas.h"
#include "model/state.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace rv {

// A logged-in car with four partners (the third without address), a full distance matrix
// (i -> j is 10 (i + j) km) and an open March 2002 at 250 Ft/L.
struct PrintFixture {
    AppState s;
    MonthLog& log = s.month;

    PrintFixture() {
        s.cars.append(CarRecord{QStringLiteral("Teszt"), QStringLiteral(" Opel Astra "), QStringLiteral("ABC-123 "), 3, 8.0f,
                                10.0f, QStringLiteral(" Budapest"), QStringLiteral("Teszt Kft. "),
                                QStringLiteral("Fő utca 1."), QStringLiteral("ABC-123")});
        s.currentCar = 1;
        s.partners = {{QStringLiteral("Központ"), QStringLiteral("Budapest"), QStringLiteral("Fő utca 1.")},
                      {QStringLiteral("Alfa Bt."), QStringLiteral("Győr"), QStringLiteral("Ipar út 2.")},
                      {QStringLiteral("Béta Zrt."), QStringLiteral("Szeged"), QStringLiteral("   ")},
                      {QStringLiteral("Gamma Kft."), QStringLiteral("Pécs"), QStringLiteral("Tér 3.")}};
        s.distances.reset(4);
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j)
                if (i != j)
                    s.distances.at(i, j) = DistanceCell{qint16(10 * (i + j)), qint16(i == 1 || j == 1 ? 1 : 3)};
        const float values[] = {1.0f, 1.1f, 1.25f, 1.2f, 1.3f, 1.4f, 1.05f, 1.03f};
        for (int i = 0; i < kMultiplierCount; ++i)
            s.multipliers[size_t(i)].value = values[i];
        setMonth(2002, 3);
        s.fuelPrices = {{QDate(2002, 1, 10), 250}};
    }

    void setMonth(int year, int month) {
        log.year = year;
        log.month = month;
        log.startOdometer = 10000;
        log.stopWidth = 5;
        log.stops.reset(5);
        refresh();
    }
    void day(int d, std::initializer_list<int> stops) {
        int c = 1;
        for (int p : stops)
            log.stops.at(d, c++) = qint16(p);
        refresh();
    }
    // n legs of 30 km (1 -> 2 -> 1 ...), four a day from day 1 on.
    void legs(int n) {
        for (int d = 1; n > 0; ++d, n -= 4)
            for (int c = 1; c <= std::min(n, 4) + 1; ++c)
                log.stops.at(d, c) = qint16(c % 2 ? 1 : 2);
        refresh();
    }
    void refresh() { refreshKilometres(s, log); }

    RecordingCanvas layout(Printout which, const Twin& twin = Twin::printer(), int* pages = nullptr,
                           const Season& season = {}) const {
        RecordingCanvas c(twin.isPreview() ? 8800 : 11000);
        const Result r = layoutPrintout(c, s, log, which, season, twin, pages);
        if (!r)
            qWarning() << r.message();
        return c;
    }
};

inline void verifyAt(const RecordingCanvas::Item* item, double x, double y) {
    QVERIFY(item);
    QCOMPARE(item->x1, x);
    QCOMPARE(item->y1, y);
}

// The tops of the items, in drawing order; with a text, of the items showing exactly it.
inline QList<double> tops(const QVector<RecordingCanvas::Item>& items, const QString& text = {}) {
    QList<double> y;
    for (const auto& i : items)
        if (text.isNull() || i.text == text)
            y << i.y1;
    return y;
}

// Page objects of a PDF file ("/Type /Pages" is the page tree, not a page).
inline int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(f.readAll()).count(page));
}

} // namespace rv
