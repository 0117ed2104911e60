#include "dialogvalues.h"
#include "model/grouping.h"

#include "model/statefiles.h"
#include "model/norms.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "storage/settings.h"
#include "model/state.h"
#include "storage/locks.h"
#include "ui/lockquestions.h"

#include <cmath>
#include <optional>
#include <vector>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString numericDisplay(const QString& stored) { return shownNumber(QString::number(leadingNumber(stored), 'g', 15)); }

SetupValues readSetup(const Settings& settings) {
    SetupValues v;
    v.confirmExit = settings.confirmExit();
    v.loadCities = settings.loadCities();
    v.tolerance = numericDisplay(settings.text(keys::Tolerance, u"10"_s));
    v.tries = numericDisplay(settings.text(keys::Tries, u"100"_s));
    return v;
}

Result writeSetup(Settings& settings, const SetupValues& v) {
    const std::pair<QString, QString> values[] = {{keys::ConfirmExit, v.confirmExit ? u"1"_s : u"0"_s},
                                                  {keys::LoadCities, v.loadCities ? u"1"_s : u"0"_s},
                                                  {keys::Tolerance, v.tolerance},
                                                  {keys::Tries, v.tries}};
    std::vector<std::optional<QString>> before;
    for (const auto& [key, value] : values) {
        before.push_back(settings.contains(key) ? std::optional(settings.text(key)) : std::nullopt);
        settings.setText(key, value);
    }
    Result r = settings.sync();
    if (!r) {
        // What the program goes on with is what the store still holds.
        for (size_t i = 0; i < before.size(); ++i)
            before[i] ? settings.setText(values[i].first, *before[i]) : settings.remove(values[i].first);
    }
    return r;
}

QString multiplierBoxText(float value) {
    // The shortest per cent text that gives back the very same multiplier, so 1.075 reads 107.5
    // (not the 107.50001 of a single-precision product) and OK stores what was read.
    const double percent = double(value) * 100.0;
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const QString text = QString::number(percent, 'f', decimals);
        if (float(text.toDouble() / 100.0) == value) {
            QString trimmed = text;
            if (trimmed.contains(u'.')) {
                while (trimmed.endsWith(u'0'))
                    trimmed.chop(1);
                if (trimmed.endsWith(u'.'))
                    trimmed.chop(1);
            }
            return shownNumber(trimmed);
        }
    }
    return singleText(value * 100.0f);
}

MultiplierTexts multiplierTexts(const AppState& s) {
    MultiplierTexts texts;
    for (int i = 0; i < kMultiplierBoxCount; ++i)
        texts[size_t(i)] = multiplierBoxText(s.multipliers[size_t(i + 1)].value);
    return texts;
}

QString legalMultipliersQuestion(const AppState& s) {
    QStringList values;
    for (const LegalMultiplier& m : legalMultipliers())
        values << u"%1 %2 %"_s.arg(s.multipliers[size_t(m.entry)].name, shownFigure(m.percent));
    return u"A jogszabály korrekciós szorzói: %1.\r\nEzek a típus szerinti alapnormát módosítják (a városi "
           u"szorzók lakott területen belül, a klímahasználat május 1. és szeptember 1. között); a hengerűrtartalom "
           u"szerinti alapnorma-átalányhoz nem járnak.\r\n\r\nBeírja ezeket az értékeket? A többi szorzó nem "
           u"változik."_s.arg(values.join(u", "_s));
}

MultiplierTexts withLegalMultipliers(MultiplierTexts texts) {
    for (const LegalMultiplier& m : legalMultipliers())
        texts[size_t(m.entry - 1)] = QString::number(m.percent);
    return texts;
}

std::optional<MultiplierProblem> applyMultipliers(AppState& s, const MultiplierTexts& texts, int defaultRouteType) {
    std::array<float, kMultiplierBoxCount> values{};
    for (int i = 0; i < kMultiplierBoxCount; ++i) {
        const QString& name = s.multipliers[size_t(i + 1)].name;
        const auto number = toNumber(texts[size_t(i)]);
        if (!number)
            return MultiplierProblem{i, u"A(z) „%1” szorzó nincs megadva."_s.arg(name)};
        const double value = *number / 100.0;
        const ValueRange& range = rangeOf(Quantity::Multiplier);
        if (!range.contains(double(float(value))))
            return MultiplierProblem{i, u"A(z) „%1” szorzó %2 és %3 százalék közötti lehet."_s.arg(name)
                                            .arg(shownFigure(range.min * 100), shownFigure(range.max * 100))};
        values[size_t(i)] = float(value);
    }
    // The multipliers belong to every car: written under the folder lock, never beside another write.
    DataLock folder(s.programDir, folderLockPath(s.programDir));
    if (Result r = takeFolderLock(folder, s.prompter, u"a szorzók fájlja"_s); !r)
        return MultiplierProblem{-1, r.message()};
    const HeldFolder held(s, folder);
    const auto oldMultipliers = s.multipliers;
    const qint16 oldDefault = s.defaultRouteType;
    for (int i = 0; i < kMultiplierBoxCount; ++i)
        s.multipliers[size_t(i + 1)].value = values[size_t(i)];
    if (defaultRouteType >= 1 && defaultRouteType <= kRouteTypeCount)
        s.defaultRouteType = qint16(defaultRouteType);
    if (Result r = SaveMultipliers(s); !r) {
        s.multipliers = oldMultipliers;
        s.defaultRouteType = oldDefault;
        return MultiplierProblem{-1, u"A szorzók nem menthetők:\r\n%1"_s.arg(r.message())};
    }
    return std::nullopt;
}

} // namespace rv
