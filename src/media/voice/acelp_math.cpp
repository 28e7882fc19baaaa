#include "media/voice/acelp_math.h"

#include "media/voice/g729_tables.h"

#include <cmath>

namespace acelp {

namespace {

// Interpolates a 33-entry table of one octave at position fraction (0 <= f < 1).
double Interpolate(const std::array<std::int16_t, 33>& table, double fraction) {
    const double position = fraction * 32;
    const int index = static_cast<int>(position);
    const double step = position - index;
    return table[index] + step * (table[index + 1] - table[index]);
}

// Coefficients of prod (1 - 2 q z^-1 + z^-2) over the pairs start, start + 2, ...
std::array<double, 6> PairPolynomial(const std::array<double, AcelpPostFilter::kOrder>& lsp,
                                     int start) {
    std::array<double, 6> f{};
    f[0] = 1;
    f[1] = -2 * lsp[start];
    for (int i = 2; i <= 5; ++i) {
        const double b = -2 * lsp[start + 2 * (i - 1)];
        f[i] = b * f[i - 1] + 2 * f[i - 2];
        for (int j = i - 1; j >= 2; --j)
            f[j] += b * f[j - 1] + f[j - 2];
        f[1] += b;
    }
    return f;
}

} // namespace

double Log2(double x) {
    int exponent = 0;
    const double mantissa = std::frexp(x, &exponent) * 2; // 1 <= mantissa < 2
    return exponent - 1 + Interpolate(g729::kLog2, mantissa - 1) / 32768.0;
}

double Pow2(double y) {
    const double whole = std::floor(y);
    return std::ldexp(Interpolate(g729::kPow2, y - whole) / 16384.0, static_cast<int>(whole));
}

AcelpPostFilter::Lpc LspToLpc(const std::array<double, AcelpPostFilter::kOrder>& lsp) {
    const std::array<double, 6> even = PairPolynomial(lsp, 0);
    const std::array<double, 6> odd = PairPolynomial(lsp, 1);
    AcelpPostFilter::Lpc a{};
    a[0] = 1;
    for (int i = 1; i <= 5; ++i) {
        const double sum = even[i] + even[i - 1];
        const double difference = odd[i] - odd[i - 1];
        a[i] = (sum + difference) / 2;
        a[AcelpPostFilter::kOrder + 1 - i] = (sum - difference) / 2;
    }
    return a;
}

} // namespace acelp
