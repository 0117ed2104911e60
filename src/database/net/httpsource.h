#pragma once

// The one place that speaks HTTP: NAV's pages fetched with Qt Network.

#include "database/navupdate.h"

#include <functional>

namespace rv {

class HttpPageSource : public PageSource {
public:
    struct Limits {
        int timeoutMs = 30000;            // the whole page, however slowly it comes
        qint64 maxBytes = 5 * 1024 * 1024; // NAV's page is a few hundred kilobytes
        int maxRedirects = 5;
    };
    HttpPageSource() = default;
    explicit HttpPageSource(Limits limits) : m_limits(limits) {}

    // Called as the page arrives (bytes so far, expected total or -1); false cancels.
    std::function<bool(qint64 received, qint64 total)> progress;

    PageResult fetch(const QString& url) override;

private:
    Limits m_limits;
};

} // namespace rv
