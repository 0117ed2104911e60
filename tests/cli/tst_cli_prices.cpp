#include "clifixture.h"
#include "database/navupdate.h"
#include "database/net/httpsource.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// Pages on 127.0.0.1 only: the NAV page of 2024, a page without a table, and the bad answers.
class LoopbackServer : public QObject {
public:
    LoopbackServer() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString url(const QString& path) const { return u"http://127.0.0.1:%1/%2"_s.arg(m_server.serverPort()).arg(path); }
    int requests = 0;

private:
    void answer(QTcpSocket* s) {
        const QByteArray request = s->property("buffer").toByteArray() + s->readAll();
        s->setProperty("buffer", request);
        if (!request.contains("\r\n\r\n") || s->property("answered").toBool())
            return;
        s->setProperty("answered", true);
        ++requests;
        const QByteArray path = request.split(' ').value(1);
        const auto reply = [s](const QByteArray& head, const QByteArray& body) {
            s->write("HTTP/1.1 " + head + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                     "\r\nConnection: close\r\n\r\n" + body);
            s->disconnectFromHost();
        };
        const QByteArray html = "200 OK\r\nContent-Type: text/html; charset=utf-8";
        if (path == "/2024")
            reply(html, testData(u"nav/2024.html"_s));
        else if (path == "/uzemanyag")
            reply(html, testData(u"nav/lista.html"_s));
        else if (path == "/uzemanyag/Korabbi_evben_alkalma20150212")
            reply(html, testData(u"nav/korabbi.html"_s));
        else if (path == "/uzemanyag/2025_uzemanyagar")
            reply(html, testData(u"nav/ev-2025.html"_s));
        else if (path == "/uzemanyag/2026-ban-alkalmazhato-uzemanyagarak")
            reply(html, testData(u"nav/ev-2026.html"_s));
        else if (path == "/nincs-tablazat")
            reply("200 OK", "<html><body><p>Oldal karbantartás miatt nem érhető el.</p></body></html>");
        else if (path == "/kor")
            reply("302 Found\r\nLocation: /kor", {});
        else if (path == "/csendes")
            ; // never answers
        else if (path == "/lassu") { // a byte now and then, forever
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html>");
            auto* t = new QTimer(s);
            connect(t, &QTimer::timeout, s, [s] { s->write(" "); });
            t->start(100);
        } else if (path == "/nagy" || path == "/nagy-hossz-nelkul") {
            // 50 MB as fast as the socket takes them: once as a static page is served, its length
            // said, once as a script streams it, its end only the closed connection.
            s->write(path == "/nagy" ? "HTTP/1.1 200 OK\r\nContent-Length: 52428800\r\nConnection: close\r\n\r\n"
                                     : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            auto* sent = new qint64(0);
            const auto more = [s, sent] {
                while (*sent < 50LL * 1024 * 1024 && s->bytesToWrite() < 1024 * 1024) {
                    s->write(QByteArray(64 * 1024, 'x'));
                    *sent += 64 * 1024;
                }
            };
            connect(s, &QTcpSocket::bytesWritten, s, more);
            connect(s, &QObject::destroyed, s, [sent] { delete sent; });
            more();
        } else
            reply("404 Not Found", "<html>Nincs ilyen oldal</html>");
    }
    QTcpServer m_server;
};

const QByteArray kB95Jan = "1\r\n#2024-01-01#\r\n583\r\n";

} // namespace

class TestCliPrices : public QObject {
    Q_OBJECT
private slots:
    void badAnswersAreToldAndChangeNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("404") << u"nincs"_s << u"HTTP 404"_s;
        QTest::newRow("redirect loop") << u"kor"_s << u"többször irányít tovább"_s;
        QTest::newRow("silent server") << u"csendes"_s << u"másodperc alatt sem küldte el"_s;
        QTest::newRow("endless trickle") << u"lassu"_s << u"másodperc alatt sem küldte el"_s;
        QTest::newRow("50 MB") << u"nagy"_s << u"nagyobb 5 MB-nál"_s;
        QTest::newRow("50 MB, no length") << u"nagy-hossz-nelkul"_s << u"nagyobb 5 MB-nál"_s;
        QTest::newRow("no table") << u"nincs-tablazat"_s << u"nincs felismerhető NAV-ártáblázat"_s;
    }
    void badAnswersAreToldAndChangeNothing() {
        QFETCH(QString, path);
        QFETCH(QString, message);
        LoopbackServer server;
        // Only the servers that keep the page back meet the 2 s deadline: the size limit must
        // stop the others however slowly a busy machine takes their bytes, and the page without
        // its length never ends by itself.
        const bool waits = message.contains(u"másodperc"_s);
        HttpPageSource source({waits ? 2000 : 60000, 5 * 1024 * 1024, 5});
        QVector<NavPriceRow> rows{NavPriceRow{}};
        const Result r = downloadNavRows(source, {NavPage{server.url(path), 2024}}, rows);
        QVERIFY2(!r && r.message().contains(message), qPrintable(r.message()));
        QCOMPARE(rows.size(), 1);
    }

    void cancelStopsTheDownload() {
        LoopbackServer server;
        HttpPageSource source({20000, 5 * 1024 * 1024, 5});
        int calls = 0;
        source.progress = [&](qint64, qint64) { return ++calls < 3; };
        const PageResult got = source.fetch(server.url(u"csendes"_s));
        QVERIFY(got.cancelled && !got.ok);
    }

    // The page fetched and merged: only the months the published file lacks come in.
    void updateFromTheLoopbackPage() {
        LoopbackServer server;
        CliFixture f;
        f.write(u"Users/b95.rvd"_s, kB95Jan);
        const auto r = f.run({u"prices"_s, u"update"_s, u"--url"_s, server.url(u"2024"_s)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        // 10 ESZ-95, 11 gázolaj, 11 keverék
        QVERIFY(r.out.contains(u"2024. október, 2024. november."_s) && r.out.contains(u"A táblázat 11 hónapja beolvasva: 54 új ár"_s));
        const QByteArray b95 = f.read(u"Users/b95.rvd"_s);
        QVERIFY(b95.startsWith("11\r\n#2024-01-01#\r\n583\r\n#2024-02-01#\r\n566\r\n") && b95.endsWith("#2024-11-01#\r\n588\r\n"));
        QVERIFY(f.read(u"Users/bkev.rvd"_s).endsWith("#2024-11-01#\r\n639\r\n"));
        // Once more: nothing new, nothing written.
        const auto again = f.run({u"prices"_s, u"update"_s, u"--url"_s, server.url(u"2024"_s)});
        QVERIFY(again.code == 0 && again.out.contains(u"beolvasva: 0 új ár"_s));
    }

    // The list page leads to this year's page, its "Korábbi" page to last year's; links off the
    // list page's host or path are not followed. A list page that cannot be had leaves the
    // address template.
    void theListPageLeadsToTheYears() {
        LoopbackServer server;
        HttpPageSource source({20000, 5 * 1024 * 1024, 5});
        QVector<NavPriceRow> rows;
        Result r = downloadNavRowsViaList(source, server.url(u"uzemanyag"_s), server.url(u"nincs/{év}"_s),
                                          QDate(2026, 1, 15), rows);
        QVERIFY2(r, qPrintable(r.message()));
        QStringList months;
        for (const NavPriceRow& row : rows)
            months << u"%1-%2"_s.arg(row.year).arg(row.month);
        QCOMPARE(months, (QStringList{u"2024-12"_s, u"2025-11"_s, u"2025-12"_s, u"2026-1"_s, u"2026-2"_s, u"2026-3"_s,
                                      u"2026-4"_s}));
        QCOMPARE(server.requests, 4);
        // Without the list page: the template's page of the year.
        r = downloadNavRowsViaList(source, server.url(u"nincs"_s), server.url(u"uzemanyag/{év}_uzemanyagar"_s),
                                   QDate(2025, 6, 1), rows);
        QVERIFY2(r && rows.size() == 3, qPrintable(r.message()));
        r = downloadNavRowsViaList(source, server.url(u"nincs"_s), server.url(u"nincs/{év}"_s), QDate(2025, 6, 1), rows);
        QVERIFY2(!r && r.message().contains(u"oldalainak listája"_s) && r.message().contains(u"HTTP 404"_s),
                 qPrintable(r.message()));
        // The links as read: the year in the address or, beside "üzemanyag", in the text.
        const QByteArray list = testData(u"nav/lista.html"_s);
        QCOMPARE(yearPageLink(list, u"https://nav.gov.hu/uzemanyag"_s, 2026),
                 u"https://nav.gov.hu/uzemanyag/2026-ban-alkalmazhato-uzemanyagarak"_s);
        QCOMPARE(yearPageLink(list, u"https://nav.gov.hu/uzemanyag"_s, 2025), QString());
        QCOMPARE(yearPageLink(testData(u"nav/korabbi.html"_s), u"https://nav.gov.hu/uzemanyag/x"_s, 2017,
                              u"https://nav.gov.hu/uzemanyag"_s),
                 u"https://nav.gov.hu/uzemanyag/uzemanyagar_2017"_s);
    }

    void yearPagesFollowTheSpokenYear() {
        QCOMPARE(QStringList({yearInessive(2024), yearInessive(2026), yearInessive(2020), yearInessive(2010),
                              yearInessive(2023), yearInessive(2000), yearInessive(2100), yearInessive(2029)}),
                 QStringList({u"2024-ben"_s, u"2026-ban"_s, u"2020-ban"_s, u"2010-ben"_s, u"2023-ban"_s, u"2000-ben"_s,
                              u"2100-ban"_s, u"2029-ben"_s}));
        const auto pages = navPagesFor(defaultNavUrl(), QDate(2027, 1, 5));
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].url, u"https://nav.gov.hu/ugyfeliranytu/uzemanyag/2026-ban-alkalmazhato-uzemanyagarak"_s);
        QCOMPARE(std::pair(pages[1].year, pages[1].url.contains(u"/2027-ben-"_s)), std::pair(2027, true));
        QCOMPARE(navPagesFor(defaultNavUrl(), QDate(2026, 12, 7)).size(), 1);
    }

    // A row of 1 Ft prices went in as success; so did a letter in a price, the month dropped.
    // Now the first waits for --elfogad, the second is refused whole with its line.
    void doubtfulAndBrokenPastes() {
        CliFixture f;
        f.write(u"Users/b95.rvd"_s, kB95Jan);
        f.write(u"egyes.txt"_s, "2024.év\nfebruár 1 1 1 1 1\n");
        auto r = f.run({u"prices"_s, u"import"_s, f.path(u"egyes.txt"_s)});
        QVERIFY2(r.code == 1 && r.err.contains(u"2024. február, ESZ-95: 1 Ft (nem 100 és 2000 Ft közötti)"_s) &&
                     r.err.contains(u"--elfogad"_s),
                 qPrintable(r.err));
        QCOMPARE(f.read(u"Users/b95.rvd"_s), kB95Jan);
        r = f.run({u"prices"_s, u"import"_s, f.path(u"egyes.txt"_s), u"--elfogad"_s});
        QVERIFY2(r.code == 0 && f.read(u"Users/b95.rvd"_s).endsWith("#2024-02-01#\r\n1\r\n"), qPrintable(r.err));
        f.write(u"betus.txt"_s, "2024.év\tESZ-95\tGázolaj\tKeverék\tLPG\tCNG\nmárcius\t6O8\t638\t650\t332\t794\n");
        r = f.run({u"prices"_s, u"import"_s, f.path(u"betus.txt"_s), u"--elfogad"_s});
        QVERIFY2(r.code == 1 && r.err.contains(u"2. sor (2024. március): a(z) ESZ-95 ára („6O8”) nem ár"_s), qPrintable(r.err));
    }

    // Pasted text as a file, then every car given the months it lacks.
    void importPastedThenSync() {
        CliFixture f;
        f.write(u"Users/b95.rvd"_s, kB95Jan);
        f.write(u"masolt.txt"_s, testData(u"nav/2024-sorok.txt"_s));
        const auto r = f.run({u"prices"_s, u"import"_s, f.path(u"masolt.txt"_s)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(u"A táblázat 11 hónapja beolvasva: 54 új ár"_s));
        const auto sync = f.run({u"prices"_s, u"sync"_s, u"ABC-123"_s});
        QCOMPARE(std::pair(sync.code, sync.out), std::pair(0, u"Kovács Péter\t9 új havi ár\n"_s));
        const QByteArray car = f.read(CliFixture::car1(u"benzin.rvd"_s));
        // January and March were typed (600, 620 from the 15th): they stay.
        QVERIFY(car.startsWith("11\r\n#2024-01-01#\r\n600\r\n#2024-02-01#\r\n566\r\n#2024-03-15#\r\n620\r\n#2024-04-01#\r\n617\r\n"));
    }

    // A month costed at January's price while the published list lacks March: exit 1 unless --elfogad.
    void costAtAnEarlierMonthsPrice() {
        CliFixture f;
        f.write(u"Users/b95.rvd"_s, kB95Jan);
        f.write(CliFixture::car1(u"gepkocsi.rvd"_s), "\"RVA\",3\r\n1,0\r\n1\r\n"); // a NAV car
        const QString fault = u"2024. márciusra nincs közzétett NAV-ár (ESZ-95); a 2024. januári 600 Ft/l-rel számolva"_s;
        const auto cost = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QVERIFY2(cost.code == 1 && cost.err.contains(fault) && cost.out.isEmpty(), qPrintable(cost.err + cost.out));
        const auto accepted = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s, u"--elfogad"_s});
        QVERIFY(accepted.code == 0 && accepted.err.contains(fault) && accepted.out.contains(u"Összes költség"_s));
        QVERIFY(f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s}).out.contains(fault));
        const auto year = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QVERIFY(year.code == 1 && year.err.contains(fault) && year.err.contains(u"2024. februárra"_s));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"--elfogad"_s}).code, 0);
        const auto print = f.run({u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--statement"_s, u"-o"_s, f.dir.filePath(u"k.pdf"_s)});
        QVERIFY(print.code == 1 && !QFile::exists(f.dir.filePath(u"k.pdf"_s)));
        // Published since, not in the car's list: the days before the price typed for the 15th
        // still take January's, and the fix is one step. February's legs are on the 29th, at
        // January's price too.
        f.write(u"Users/b95.rvd"_s, "2\r\n#2024-01-01#\r\n583\r\n#2024-03-01#\r\n601\r\n");
        const auto lacking = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QVERIFY2(lacking.code == 1 &&
                     lacking.err.contains(u"2024. márciusra a közzétett NAV-ár (ESZ-95) 601 Ft/l, de az autó árai között nincs"_s) &&
                     lacking.err.contains(u"rovanta-cli prices sync ABC-123"_s),
                 qPrintable(lacking.err));
        QCOMPARE(f.run({u"cost"_s, u"ABC-123"_s, u"2024-02"_s}).code, 1);
    }
};

QTEST_GUILESS_MAIN(TestCliPrices)
#include "tst_cli_prices.moc"
