#include "placematch.h"

#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/records.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// Words of an address: runs of letters (folded) or of digits; "-" and "/" are words of their own
// since they tell a range and a building's letter.
QStringList addressWords(const QString& text) {
    static const QHash<QString, QString> spelt = {
        {u"u"_s, u"utca"_s},       {u"krt"_s, u"korut"_s},      {u"rkp"_s, u"rakpart"_s},
        {u"sgt"_s, u"sugarut"_s},  {u"stny"_s, u"setany"_s},    {u"ltp"_s, u"lakotelep"_s},
        {u"szt"_s, u"szent"_s},    {u"ker"_s, u"kerulet"_s},    {u"em"_s, u"emelet"_s},
        {u"fszt"_s, u"foldszint"_s}, {u"fsz"_s, u"foldszint"_s}, {u"krtja"_s, u"korutja"_s},
    };
    QStringList words;
    QString word;
    int kind = 0; // 1 letters, 2 digits
    auto flush = [&] {
        if (!word.isEmpty())
            words << (kind == 1 ? spelt.value(word, word) : word);
        word.clear();
        kind = 0;
    };
    const QString decomposed = text.normalized(QString::NormalizationForm_D).toLower();
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const int k = c.isDigit() ? 2 : c.isLetter() ? 1 : 0;
        if (k != kind)
            flush();
        if (k == 0) {
            if (c == u'-' || c == u'/')
                words << QString(c);
            continue;
        }
        kind = k;
        word += c;
    }
    flush();
    return words;
}

bool isDigits(const QString& w) { return !w.isEmpty() && w[0].isDigit(); }
bool isRoman(const QString& w) {
    static const QRegularExpression roman(u"^[ivxlc]+$"_s);
    return roman.match(w).hasMatch();
}
bool isMark(const QString& w) { return w == u"-"_s || w == u"/"_s; }

bool isStreetKind(const QString& w) {
    static const QStringList kinds = {u"utca"_s,    u"ut"_s,      u"utja"_s,   u"ter"_s,     u"tere"_s,   u"korut"_s,
                                      u"korutja"_s, u"rakpart"_s, u"sugarut"_s, u"setany"_s, u"lakotelep"_s, u"koz"_s,
                                      u"sor"_s,     u"fasor"_s,   u"park"_s,   u"liget"_s,   u"dulo"_s,   u"lejto"_s,
                                      u"lepcso"_s,  u"udvar"_s,   u"telep"_s,  u"tanya"_s,   u"kert"_s,   u"orom"_s,
                                      u"pincesor"_s, u"hegy"_s,   u"sziget"_s, u"major"_s,   u"puszta"_s, u"tag"_s};
    return kinds.contains(w);
}

// A postal code at the front and a district ("XIII. ker.", "13. kerület") go.
QStringList withoutCodeAndDistrict(QStringList w) {
    if (!w.isEmpty() && isDigits(w.first()) && w.first().size() == 4)
        w.removeFirst();
    for (qsizetype i = 0; i < w.size(); ++i) {
        if (w[i] != u"kerulet"_s)
            continue;
        const bool numbered = i > 0 && (isRoman(w[i - 1]) || isDigits(w[i - 1]));
        w.remove(numbered ? i - 1 : i, numbered ? 2 : 1);
        i = -1;
    }
    return w;
}

StreetKey keyOfWords(const QStringList& all) {
    const QStringList w = withoutCodeAndDistrict(all);
    StreetKey key;
    qsizetype kindAt = -1;
    for (qsizetype i = 1; i < w.size() && kindAt < 0; ++i)
        if (isStreetKind(w[i]))
            kindAt = i;
    qsizetype numberAt = -1;
    QStringList street;
    if (kindAt >= 0) {
        for (qsizetype i = 0; i <= kindAt; ++i)
            if (!isMark(w[i]))
                street << w[i];
        for (qsizetype i = kindAt + 1; i < w.size() && numberAt < 0; ++i)
            if (isDigits(w[i]))
                numberAt = i;
    } else {
        for (qsizetype i = 0; i < w.size() && numberAt < 0; ++i) {
            if (isDigits(w[i]))
                numberAt = i;
            else if (!isMark(w[i]))
                street << w[i];
        }
    }
    key.street = street.join(u' ');
    if (numberAt >= 0) {
        key.number = w[numberAt].left(6).toInt();
        key.numberTo = key.number;
        qsizetype i = numberAt + 1;
        if (i + 1 < w.size() && w[i] == u"-"_s && isDigits(w[i + 1])) {
            key.numberTo = std::max(key.number, w[i + 1].left(6).toInt());
            i += 2;
        }
        if (i < w.size() && w[i] == u"/"_s)
            ++i;
        // A letter of the building: one letter right after the number ("12/A", "12a", "12. B").
        if (i < w.size() && !isDigits(w[i]) && !isMark(w[i]) && w[i].size() == 1)
            key.letter = w[i];
    }
    return key;
}

// The words of a town as they must appear in an address: no postal code, no district.
QStringList townWords(const QString& city) {
    QStringList out;
    const QStringList w = addressWords(city);
    for (qsizetype i = 0; i < w.size(); ++i) {
        if (isDigits(w[i]) || isMark(w[i]) || w[i] == u"kerulet"_s || (i > 0 && isRoman(w[i])))
            continue;
        out << w[i];
    }
    return out;
}

// Removes the town's words (with a postal code before them) from words; false when absent.
bool removeTown(QStringList& words, const QStringList& town) {
    if (town.isEmpty())
        return false;
    for (qsizetype i = 0; i + town.size() <= words.size(); ++i) {
        if (words.mid(i, town.size()) != town)
            continue;
        qsizetype from = i;
        if (from > 0 && isDigits(words[from - 1]) && words[from - 1].size() == 4)
            --from;
        words.remove(from, i + town.size() - from);
        return true;
    }
    return false;
}

// "Budapest XIII., Váci út" leaves the district's numeral before the street; a street may also begin
// with one ("II. Rákóczi Ferenc út"). Either way the rest must agree.
bool streetsAgree(const QString& a, const QString& b) {
    auto bare = [](const QString& s) {
        const qsizetype space = s.indexOf(u' ');
        return space > 0 && isRoman(s.left(space)) ? s.mid(space + 1) : s;
    };
    return a == b || bare(a) == bare(b);
}

bool numbersAgree(const StreetKey& a, const StreetKey& b) {
    if (a.number == 0 || b.number == 0)
        return true;
    if (a.number > b.numberTo || b.number > a.numberTo)
        return false;
    return a.letter.isEmpty() || b.letter.isEmpty() || a.letter == b.letter;
}

int partnerByTexts(const QVector<Partner>& partners, const Partner& p) {
    for (qsizetype i = 0; i < partners.size(); ++i)
        if (partners[i].name.trimmed() == p.name.trimmed() && partners[i].city.trimmed() == p.city.trimmed() &&
            partners[i].address.trimmed() == p.address.trimmed())
            return int(i + 1);
    return 0;
}

PlaceMatch fromKnown(const QVector<Partner>& partners, const KnownPlace& k) {
    PlaceMatch m;
    if (k.isPrivate)
        m.isPrivate = true;
    else
        m.partner = partnerByTexts(partners, k.partner);
    return m;
}

const QString kMagic = u"RVP"_s;
constexpr int kVersion = 1;

QString folderOf(const QString& carDir) { return carDir.endsWith(u'/') ? carDir : carDir + u'/'; }

} // namespace

QString placeKey(const QString& text) { return addressWords(text).join(u' '); }

bool addressMatches(const Partner& partner, const QString& recorded) {
    const QStringList town = townWords(partner.city);
    QStringList words = addressWords(recorded);
    if (!removeTown(words, town))
        return false;
    const StreetKey got = keyOfWords(words);
    QStringList own = addressWords(partner.address);
    removeTown(own, town); // an address that repeats the town
    const StreetKey want = keyOfWords(own);
    if (want.street.isEmpty())
        return got.street.isEmpty() && got.number == 0;
    return streetsAgree(got.street, want.street) && numbersAgree(got, want);
}

bool nameMatches(const Partner& partner, const QString& recorded) {
    const QString name = foldText(partner.name);
    const QString got = foldText(recorded);
    if (name.isEmpty() || got.isEmpty())
        return false;
    return got == name || got == foldText(partner.name + u' ' + partner.city) || got == foldText(partnerLabel(partner));
}

QByteArray serializePlaces(const QVector<KnownPlace>& places) {
    RecordWriter w;
    w.str(kMagic).integer(kVersion).endLine();
    w.line(places.size());
    for (const KnownPlace& p : places) {
        w.integer(p.isPrivate ? 1 : 0).integer(p.at ? 1 : 0);
        w.integer(p.at ? std::llround(p.at->lat * 1e6) : 0).integer(p.at ? std::llround(p.at->lon * 1e6) : 0);
        w.str(storableText(p.text)).str(storableText(p.partner.name)).str(storableText(p.partner.city));
        w.str(storableText(p.partner.address)).endLine();
    }
    return w.data();
}

Result parsePlaces(const QByteArray& data, const QString& fileName, QVector<KnownPlace>& out) {
    QVector<KnownPlace> places;
    const Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        if (in.readString() != kMagic)
            in.fail(u"nem a program helyfájlja"_s);
        if (const qint32 version = in.readInt32(); version != kVersion)
            in.fail(u"ismeretlen változat (%1)"_s.arg(version));
        const int countLine = in.line();
        const qint32 n = in.readInt32();
        if (n < 0)
            in.fail(u"érvénytelen darabszám (%1)"_s.arg(n));
        in.requireRoom(qint64(n) * 20, countLine);
        places.reserve(n);
        for (qint32 i = 0; i < n; ++i) {
            KnownPlace p;
            const qint32 priv = in.readInt32();
            const qint32 hasPoint = in.readInt32();
            const qint32 lat = in.readInt32();
            const qint32 lon = in.readInt32();
            if (priv < 0 || priv > 1 || hasPoint < 0 || hasPoint > 1 || lat < -90000000 || lat > 90000000 ||
                lon < -180000000 || lon > 180000000)
                in.fail(u"érvénytelen hely"_s);
            p.isPrivate = priv == 1;
            if (hasPoint == 1)
                p.at = GeoPoint{lat / 1e6, lon / 1e6};
            p.text = in.readString();
            p.partner.name = in.readString();
            p.partner.city = in.readString();
            p.partner.address = in.readString();
            places << p;
        }
        in.requireEnd();
    });
    if (r)
        out = std::move(places);
    return r;
}

Result readPlaces(const QString& dataDir, const QString& carDir, QVector<KnownPlace>& out) {
    const QString path = folderOf(carDir) + kPlacesFileName;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        out.clear();
        return Result::success();
    }
    QByteArray data;
    if (Result r = readDataFile(dataDir, path, data); !r)
        return r;
    return parsePlaces(data, kPlacesFileName, out);
}

Result savePlaces(const WriteGate& gate, const QString& carDir, const QVector<KnownPlace>& places) {
    return gate.save(folderOf(carDir) + kPlacesFileName, serializePlaces(places));
}

PlaceMatch matchPlace(const QVector<Partner>& partners, const QVector<KnownPlace>& known, const QString& text,
                      const std::optional<GeoPoint>& at) {
    const QString key = placeKey(text);
    if (!key.isEmpty())
        for (const KnownPlace& k : known)
            if (!k.at && k.text == key)
                if (const PlaceMatch m = fromKnown(partners, k); m.matched())
                    return m;
    if (at) {
        const KnownPlace* nearest = nullptr;
        double best = kPlaceRadiusMetres;
        for (const KnownPlace& k : known) {
            if (!k.at)
                continue;
            const double d = haversineMetres(*at, *k.at);
            if (d <= best && fromKnown(partners, k).matched()) {
                best = d;
                nearest = &k;
            }
        }
        if (nearest)
            return fromKnown(partners, *nearest);
    }
    if (key.isEmpty())
        return {};
    PlaceMatch m;
    for (auto fits : {&nameMatches, &addressMatches}) {
        int found = 0, count = 0;
        for (qsizetype i = 0; i < partners.size(); ++i)
            if (fits(partners[i], text)) {
                found = int(i + 1);
                ++count;
            }
        if (count == 1) {
            m.partner = found;
            m.ambiguous = false;
            return m;
        }
        m.ambiguous = m.ambiguous || count > 1;
    }
    return m;
}

} // namespace rv
