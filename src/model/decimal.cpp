#include "decimal.h"

#include <QByteArray>

#include <algorithm>

#include <charconv>
#include <cmath>

namespace rv {
namespace {

using Limbs = std::vector<quint64>;
constexpr quint64 kLimb = 1000000000;

Limbs limbs(quint64 v) {
    Limbs b;
    do {
        b.push_back(v % kLimb);
        v /= kLimb;
    } while (v);
    return b;
}
void trim(Limbs& r) {
    while (r.size() > 1 && r.back() == 0)
        r.pop_back();
}
Limbs times(const Limbs& a, const Limbs& b) {
    Limbs r(a.size() + b.size(), 0);
    for (size_t i = 0; i < a.size(); ++i) {
        quint64 carry = 0;
        for (size_t j = 0; j < b.size() || carry; ++j) {
            const quint64 t = r[i + j] + carry + (j < b.size() ? a[i] * b[j] : 0);
            r[i + j] = t % kLimb;
            carry = t / kLimb;
        }
    }
    trim(r);
    return r;
}
Limbs plus(const Limbs& a, const Limbs& b) {
    Limbs r(std::max(a.size(), b.size()) + 1, 0);
    quint64 carry = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        const quint64 t = carry + (i < a.size() ? a[i] : 0) + (i < b.size() ? b[i] : 0);
        r[i] = t % kLimb;
        carry = t / kLimb;
    }
    trim(r);
    return r;
}
Limbs tenPower(int n) {
    Limbs b = limbs(1);
    for (; n >= 9; n -= 9)
        b = times(b, limbs(kLimb));
    for (; n > 0; --n)
        b = times(b, limbs(10));
    return b;
}

} // namespace

Decimal::Decimal(quint64 whole) : m_digits(limbs(whole)) {}

std::optional<Decimal> Decimal::of(float value) {
    if (!std::isfinite(value) || value < 0)
        return std::nullopt;
    char buf[32];
    const char* end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    quint64 digits = 0;
    int scale = 0;
    bool point = false;
    const char* p = buf;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            point = true;
            continue;
        }
        digits = digits * 10 + quint64(*p - '0'); // at most nine significant digits
        scale += point;
    }
    int exponent = 0;
    if (p < end)
        std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    scale -= exponent;
    if (scale < 0)
        return Decimal(times(limbs(digits), tenPower(-scale)), 0);
    return Decimal(limbs(digits), scale);
}

Decimal Decimal::scaled(int scale) const {
    return scale <= m_scale ? *this : Decimal(times(m_digits, tenPower(scale - m_scale)), scale);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
    return Decimal(times(a.m_digits, b.m_digits), a.m_scale + b.m_scale);
}

Decimal operator+(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.m_scale, b.m_scale);
    return Decimal(plus(a.scaled(scale).m_digits, b.scaled(scale).m_digits), scale);
}

std::optional<qint64> Decimal::cut(int digits) const {
    QByteArray text = QByteArray::number(m_digits.back());
    for (auto it = m_digits.rbegin() + 1; it != m_digits.rend(); ++it)
        text += QByteArray::number(*it).rightJustified(9, '0');
    const int drop = m_scale + digits;
    if (drop < 0)
        text += QByteArray(-drop, '0');
    else
        text.chop(drop);
    if (text.size() > 18)
        return std::nullopt;
    return text.isEmpty() ? 0 : text.toLongLong();
}

} // namespace rv
