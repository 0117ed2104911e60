#include "partners.h"

#include "model/statefiles.h"
#include "storage/fieldtext.h"
#include "storage/prompter.h"

using namespace Qt::Literals::StringLiterals;

namespace rv {

Partner trimmedPartner(const QString& name, const QString& city, const QString& address) {
    return Partner{fieldText(name), fieldText(city), fieldText(address)};
}

PartnerInputError checkPartnerInput(const AppState& s, const Partner& input, int skip) {
    const Partner p = trimmedPartner(input.name, input.city, input.address);
    if (IsBlank(p.name))
        return PartnerInputError::NoName;
    if (IsBlank(p.city))
        return PartnerInputError::NoCity;
    if (!unstorableTextProblem(p.name + p.city + p.address).isEmpty())
        return PartnerInputError::Unstorable;
    for (int i = 1; i <= s.partnerCount(); ++i) {
        if (i == skip)
            continue;
        if (s.partner(i) == p)
            return PartnerInputError::Duplicate;
    }
    return PartnerInputError::None;
}

QString partnerInputMessage(PartnerInputError e, const Partner& input) {
    switch (e) {
    case PartnerInputError::Unstorable:
        return unstorableTextProblem(input.name + input.city + input.address);
    case PartnerInputError::NoName:
        return u"Hiányzik a partner neve."_s;
    case PartnerInputError::NoCity:
        return u"Hiányzik a város."_s;
    case PartnerInputError::Duplicate:
        return u"Ez a partner ezen a címen már szerepel."_s;
    case PartnerInputError::None:
        break;
    }
    return {};
}

Result changeAndSaveDatabase(AppState& s, const std::function<void()>& change) {
    QVector<Partner> partners = s.partners;
    DistanceMatrix distances = s.distances;
    change();
    Result r = SaveDatabase(s);
    if (!r) {
        s.partners = std::move(partners);
        s.distances = std::move(distances);
    }
    return r;
}

Result addPartner(AppState& s, const Partner& p) {
    if (s.partnerCount() >= kMaxPartners)
        return Result::failure(u"Az adatbázisban legfeljebb %1 partner lehet."_s.arg(kMaxPartners));
    return changeAndSaveDatabase(s, [&] {
        const int n = s.partnerCount() + 1;
        s.partners.append(p);
        s.distances.resize(n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                if (s.distances.at(i, j).routeType == 0)
                    s.distances.at(i, j).routeType = s.defaultRouteType;
    });
}

Result modifyPartner(AppState& s, int i, const Partner& p) {
    if (i < 1 || i > s.partnerCount())
        return Result::failure(u"Nincs ilyen partner."_s);
    return changeAndSaveDatabase(s, [&] { s.partner(i) = p; });
}

bool canDeletePartner(const AppState& s, int d) { return d >= 2 && d <= s.partnerCount(); }

Result deletePartner(AppState& s, int d) {
    if (!canDeletePartner(s, d))
        return Result::failure(u"A saját telephely nem törölhető."_s);
    const int n = s.partnerCount();
    DistanceMatrix m;
    m.reset(n - 1);
    for (int i = 1, ni = 1; i <= n; ++i) {
        if (i == d)
            continue;
        for (int j = 1, nj = 1; j <= n; ++j) {
            if (j == d)
                continue;
            m.at(ni, nj++) = s.distances.at(i, j);
        }
        ++ni;
    }
    return changeAndSaveDatabase(s, [&] {
        s.partners.removeAt(d - 1);
        s.distances = std::move(m);
    });
}

bool removePartnerFromStops(MonthLog& month, int d) {
    const int width = std::min(month.stopWidth, month.stops.columns());
    bool changed = false;
    for (int day = 1; day <= kLogDays; ++day) {
        for (int k = 1; k <= width; ++k) {
            // A loop, not a test: the stop moved up into k may be d too.
            while (month.stops.at(day, k) == d) {
                for (int c = k; c < width; ++c)
                    month.stops.at(day, c) = month.stops.at(day, c + 1);
                month.stops.at(day, width) = 0;
                changed = true;
            }
            if (month.stops.at(day, k) > d) {
                --month.stops.at(day, k);
                changed = true;
            }
        }
    }
    if (changed)
        month.modified = true;
    return changed;
}

Result deleteAllPartners(AppState& s) {
    const Partner own = s.partnerCount() >= 1 ? s.partner(1) : Partner{};
    return changeAndSaveDatabase(s, [&] {
        s.partners = {own};
        s.distances.reset(1);
    });
}

void reportSaveFailure(AppState& s, const Result& r) {
    if (s.prompter)
        s.prompter->ask(u"A mentés nem sikerült.\r\n\r\n"_s + r.message(), Ok, MsgIcon::Exclamation);
}

QString partnerCountText(const AppState& s) {
    return QString::number(std::max(0, s.partnerCount() - 1)) + u" partner az adatbázisban"_s;
}

} // namespace rv
