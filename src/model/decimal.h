#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace rv {

// Every figure of a statement is worked out on the decimals the user typed, not on the binary
// singles the files keep them as: 1.15 is stored as 1.1499999762, so a product that is a whole
// number of forints or tenths of a litre would come out just below it. A single counts as the
// decimal of its shortest text; products and sums are exact, cut only at the end.
class Decimal {
public:
    Decimal() = default;
    explicit Decimal(quint64 whole);
    // The decimal a single is shown as; none for a negative or endless one.
    static std::optional<Decimal> of(float value);

    friend Decimal operator*(const Decimal& a, const Decimal& b);
    friend Decimal operator+(const Decimal& a, const Decimal& b);

    // floor(value / 10^digits), or none past 18 digits.
    std::optional<qint64> cut(int digits = 0) const;

private:
    using Limbs = std::vector<quint64>; // nine decimal digits each, lowest first
    Decimal(Limbs digits, int scale) : m_digits(std::move(digits)), m_scale(scale) {}
    Decimal scaled(int scale) const;
    Limbs m_digits{0};
    int m_scale = 0; // value = digits * 10^-scale
};

} // namespace rv
