#include "httpsource.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace rv {

PageResult HttpPageSource::fetch(const QString& url) {
    PageResult result;
    const QUrl address(url);
    if (!address.isValid() || (address.scheme() != u"https"_s && address.scheme() != u"http"_s)) {
        result.error = u"A cím nem http vagy https webcím: %1"_s.arg(url);
        return result;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, u"Rovanta"_s);
    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QString stopped; // why the program stopped the transfer itself
    const QString tooLarge = u"az oldal nagyobb %1 MB-nál, ez nem a NAV ártáblázata."_s.arg(m_limits.maxBytes / (1024 * 1024));
    const auto stop = [&](const QString& why) {
        if (stopped.isEmpty())
            stopped = why;
        reply->abort();
    };
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        stop(u"a kiszolgáló %1 másodperc alatt sem küldte el az oldalt."_s.arg(m_limits.timeoutMs / 1000));
    });
    qint64 lastReceived = 0;
    qint64 lastTotal = -1;
    const auto report = [&] {
        if (progress && !progress(lastReceived, lastTotal)) {
            result.cancelled = true;
            stop(u"megszakítva."_s);
        }
    };
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
        lastReceived = received;
        lastTotal = total;
        if (received > m_limits.maxBytes || total > m_limits.maxBytes)
            stop(tooLarge);
        else
            report();
    });
    // A page sent without its length is reported only once it is whole: its size is counted
    // as it comes in, so that an endless one is stopped at the limit.
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (reply->bytesAvailable() > m_limits.maxBytes)
            stop(tooLarge);
    });
    // A server that sends nothing must not keep the cancel button from answering.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, report);
    poll.start(100);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(m_limits.timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();
    poll.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!stopped.isEmpty()) {
        result.error = stopped;
    } else if (reply->error() == QNetworkReply::TooManyRedirectsError) {
        result.error = u"az oldal %1-nél többször irányít tovább."_s.arg(m_limits.maxRedirects);
    } else if (status != 0 && status != 200) {
        result.error = u"a kiszolgáló válasza: HTTP %1 %2"_s.arg(status).arg(
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = reply->errorString();
    } else {
        result.body = reply->readAll();
        if (result.body.size() > m_limits.maxBytes) {
            result.body.clear();
            result.error = tooLarge;
        } else {
            result.ok = true;
        }
    }
    reply->deleteLater();
    return result;
}

} // namespace rv
