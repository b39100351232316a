#include "PortableMath.h"

#include <cstdint>
#include <limits>

// Every function works in double on a float argument, so a polynomial whose remainder
// stays below 2^-35 of the result leaves the float rounding the only visible error.
// The methods are the classic ones described in J.-M. Muller, "Elementary Functions:
// Algorithms and Implementation": Cody-Waite and Payne-Hanek argument reduction, and
// tables of exact breakpoints for atan, ln and exp. The polynomial coefficients are the
// Taylor coefficients of Abramowitz and Stegun, "Handbook of Mathematical Functions":
// 4.3.65 (sin), 4.3.66 (cos), 4.4.42 (arctan), 4.1.24 (ln(1 + r)) and 4.2.1 (exp), each
// truncated where its remainder on the reduced range drops below that bound. The table
// entries are the named values correctly rounded to double (computed to 300 bits), and
// every constant is written in hexadecimal so that no compiler rounds it.
namespace vexa::portable {

namespace {

constexpr double kPi = 0x1.921fb54442d18p+1;
constexpr double kHalfPi = 0x1.921fb54442d18p+0;
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// pi/2 in two parts, the first with 25 bits, so that n times it is exact for n below 2^28.
constexpr double kHalfPiHigh = 0x1.921fb5p+0;
constexpr double kHalfPiLow = 0x1.110b4611a6263p-26;
// Below this the two-part reduction keeps enough bits of every float; above it the
// exact reduction takes over.
constexpr double kModerateAngle = 0x1p+28;
// 2/pi in 32-bit words, most significant first: as far as the largest float needs.
constexpr std::uint32_t kTwoOverPiWords[] = {0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0,
                                             0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561};
// atan(k/8) for k = 0..8, each the nearest double.
constexpr double kAtanOfEighths[] = {0.0,
                                     0x1.fd5ba9aac2f6ep-4,
                                     0x1.f5b75f92c80ddp-3,
                                     0x1.6f61941e4def1p-2,
                                     0x1.dac670561bb4fp-2,
                                     0x1.1e00babdefeb4p-1,
                                     0x1.4978fa3269ee1p-1,
                                     0x1.700a7c5784634p-1,
                                     0x1.921fb54442d18p-1};
// ln v = e ln 2 + ln(m c) - ln c for v = m 2^e: c, with 20 bits so that m c is exact, is
// the reciprocal of the middle of m's 1/32 of [1, 2), and the entry's second half is -ln c.
struct LogEntry {
    double reciprocal;
    double negativeLog;
};
constexpr LogEntry kLogTable[] = {
    {0x1.f81f8p-1, 0x1.fc0b0b0fc07e4p-7}, {0x1.e9132p-1, 0x1.774537632e48cp-5},
    {0x1.dae6p-1, 0x1.341db961bd9d1p-4},  {0x1.cd856p-1, 0x1.a9271fa4ae0abp-4},
    {0x1.c0e08p-1, 0x1.0d779fcd0a299p-3}, {0x1.b4e82p-1, 0x1.44d2a0ccb7f02p-3},
    {0x1.a98fp-1, 0x1.7ab860210e209p-3},  {0x1.9ec8ep-1, 0x1.af3cc2e80c837p-3},
    {0x1.948bp-1, 0x1.e270c6e2b0be6p-3},  {0x1.8acbap-1, 0x1.0a32272739cc5p-2},
    {0x1.81818p-1, 0x1.229423bcf7986p-2}, {0x1.78a4cp-1, 0x1.3a64db56949b2p-2},
    {0x1.702ep-1, 0x1.51aae872dfa2dp-2},  {0x1.68168p-1, 0x1.686c85e9b14cfp-2},
    {0x1.60582p-1, 0x1.7eaf66b82b655p-2}, {0x1.58ed2p-1, 0x1.94794ac21179dp-2},
    {0x1.51d08p-1, 0x1.a9cec5a9a086ap-2}, {0x1.4afd6p-1, 0x1.beb4f8da722fep-2},
    {0x1.446f8p-1, 0x1.d32ffbe00eef5p-2}, {0x1.3e22cp-1, 0x1.e7444c1d692dp-2},
    {0x1.38138p-1, 0x1.faf58cf78f33fp-2}, {0x1.323e4p-1, 0x1.0723d2c1ce4e4p-1},
    {0x1.2c9fcp-1, 0x1.109f26e2d523bp-1}, {0x1.2735p-1, 0x1.19ee7f467cfafp-1},
    {0x1.21fb8p-1, 0x1.2312ff7bec253p-1}, {0x1.1cf06p-1, 0x1.2c0eb2544947dp-1},
    {0x1.18118p-1, 0x1.34e28bd9ce1e3p-1}, {0x1.135c8p-1, 0x1.3d9028a71570bp-1},
    {0x1.0ecf6p-1, 0x1.4618aaa1c638bp-1}, {0x1.0a682p-1, 0x1.4e7d639b7694ap-1},
    {0x1.0624ep-1, 0x1.56bf97db3f412p-1}, {0x1.0204p-1, 0x1.5ee03a9241a75p-1}};
// 2^(j/32) for j = 0..31.
constexpr double kExp2Table[] = {0x1p+0,
                                 0x1.059b0d3158574p+0,
                                 0x1.0b5586cf9890fp+0,
                                 0x1.11301d0125b51p+0,
                                 0x1.172b83c7d517bp+0,
                                 0x1.1d4873168b9aap+0,
                                 0x1.2387a6e756238p+0,
                                 0x1.29e9df51fdee1p+0,
                                 0x1.306fe0a31b715p+0,
                                 0x1.371a7373aa9cbp+0,
                                 0x1.3dea64c123422p+0,
                                 0x1.44e086061892dp+0,
                                 0x1.4bfdad5362a27p+0,
                                 0x1.5342b569d4f82p+0,
                                 0x1.5ab07dd485429p+0,
                                 0x1.6247eb03a5585p+0,
                                 0x1.6a09e667f3bcdp+0,
                                 0x1.71f75e8ec5f74p+0,
                                 0x1.7a11473eb0187p+0,
                                 0x1.82589994cce13p+0,
                                 0x1.8ace5422aa0dbp+0,
                                 0x1.93737b0cdc5e5p+0,
                                 0x1.9c49182a3f09p+0,
                                 0x1.a5503b23e255dp+0,
                                 0x1.ae89f995ad3adp+0,
                                 0x1.b7f76f2fb5e47p+0,
                                 0x1.c199bdd85529cp+0,
                                 0x1.cb720dcef9069p+0,
                                 0x1.d5818dcfba487p+0,
                                 0x1.dfc97337b9b5fp+0,
                                 0x1.ea4afa2a490dap+0,
                                 0x1.f50765b6e454p+0};
// ln 2 in two parts, the first with 32 bits, so that n times it is exact for any float's n.
constexpr double kLn2High = 0x1.62e42feep-1;
constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
constexpr double k32OverLn2 = 0x1.71547652b82fep+5;
// ln 2 / 32 in two parts, the first with 32 bits, so that n times it is exact for every n
// a float's range needs.
constexpr double kLn2Over32High = 0x1.62e42feep-6;
constexpr double kLn2Over32Low = 0x1.a39ef35793c76p-38;
// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51 to an integer.
constexpr double kRoundToInteger = 0x1.8p+52;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool isNegative(float value) {
    return (BitsOf(value) >> 31) != 0;
}

double roundToInteger(double value) {
    return value + kRoundToInteger - kRoundToInteger;
}

// An angle as quadrant * pi/2 + remainder, the remainder within pi/4 (a hair more where
// the quadrant's rounding is off by one ulp).
struct Reduced {
    double remainder;
    unsigned quadrant;
};

// Bits [position, position + 64) of a number held in little-endian 32-bit limbs.
std::uint64_t bitsAt(const std::uint32_t* limbs, int position) {
    const int limb = position / 32;
    const int shift = position % 32;
    const std::uint64_t low = limbs[limb] | std::uint64_t{limbs[limb + 1]} << 32;
    if (shift == 0) return low;
    return low >> shift | std::uint64_t{limbs[limb + 2]} << (64 - shift);
}

// Payne-Hanek: |x| = m 2^e (m an integer below 2^24) times 2/pi, in integers. Words of
// 2/pi whose product with |x| is a multiple of 4 cannot change the quadrant and are
// skipped; the five words after them leave the remainder exact to 2^-100.
Reduced reduceHuge(std::uint32_t magnitudeBits) {
    const int exponent = static_cast<int>(magnitudeBits >> 23) - 150;
    const std::uint64_t mantissa = (magnitudeBits & 0x7fffffu) | 0x800000u;
    const int first = (exponent - 2) / 32;
    std::uint32_t product[8] = {};
    std::uint64_t carry = 0;
    for (int i = 0; i < 5; ++i) {
        const std::uint64_t term = mantissa * kTwoOverPiWords[first + 4 - i] + carry;
        product[i] = static_cast<std::uint32_t>(term);
        carry = term >> 32;
    }
    product[5] = static_cast<std::uint32_t>(carry);

    // The product is |x| 2/pi scaled by 2^point: the bits above point hold the quadrant.
    const int point = 32 * (first + 5) - exponent;
    unsigned quadrant = static_cast<unsigned>(bitsAt(product, point)) & 3u;
    std::uint64_t high = bitsAt(product, point - 64);
    std::uint64_t low = bitsAt(product, point - 96) & 0xffffffffu;
    // A fraction of a half or more is measured back from the next quadrant.
    const bool past = (high >> 63) != 0;
    if (past) {
        ++quadrant;
        low = (0x100000000u - low) & 0xffffffffu;
        high = ~high + (low == 0 ? 1u : 0u);
    }
    const double fraction =
        (static_cast<double>(high) + static_cast<double>(low) * 0x1p-32) * 0x1p-64;
    const double remainder = fraction * kHalfPi;
    return {past ? -remainder : remainder, quadrant & 3u};
}

Reduced reduce(float angle) {
    const double value = angle;
    const double magnitude = value < 0.0 ? -value : value;
    if (magnitude <= kQuarterPi) return {value, 0};
    if (magnitude < kModerateAngle) {
        const double n = roundToInteger(value * kTwoOverPi);
        const double remainder = value - n * kHalfPiHigh - n * kHalfPiLow;
        return {remainder, static_cast<unsigned>(static_cast<std::int64_t>(n)) & 3u};
    }
    Reduced reduced = reduceHuge(BitsOf(angle) & 0x7fffffffu);
    if (value < 0.0) {
        reduced.remainder = -reduced.remainder;
        reduced.quadrant = (4u - reduced.quadrant) & 3u;
    }
    return reduced;
}

// sin and cos on |r| <= pi/4 (plus a hair).
double sinKernel(double r) {
    const double z = r * r;
    // -0 + (+0) would lose the sign of a zero angle.
    if (z == 0.0) return r;
    return r + r * z *
                   (-1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040 +
                                                     z * (1.0 / 362880 + z * (-1.0 / 39916800)))));
}

double cosKernel(double r) {
    const double z = r * r;
    return 1.0 + z * (-1.0 / 2 +
                      z * (1.0 / 24 +
                           z * (-1.0 / 720 +
                                z * (1.0 / 40320 + z * (-1.0 / 3628800 + z * (1.0 / 479001600))))));
}

// sin of quadrant * pi/2 + r, given sin r and cos r.
float sinInQuadrant(double sinR, double cosR, unsigned quadrant) {
    const double value = (quadrant & 1u) != 0 ? cosR : sinR;
    return static_cast<float>((quadrant & 2u) != 0 ? -value : value);
}

bool isFinite(float value) {
    return (BitsOf(value) & 0x7f800000u) != 0x7f800000u;
}

// atan(t) for t in [0, 1]: with c the nearest multiple of 1/8,
// atan(t) = atan(c) + atan((t - c) / (1 + t c)), the second argument below 1/16.
double atanUnit(double t) {
    const double k = roundToInteger(t * 8.0);
    const double c = k * 0.125;
    const double u = (t - c) / (1.0 + t * c);
    const double z = u * u;
    const double series = u + u * z * (-1.0 / 3 + z * (1.0 / 5 + z * (-1.0 / 7)));
    return kAtanOfEighths[static_cast<int>(k)] + series;
}

// ln v for a positive finite v, with ln(1 + r) for |r| < 1/64 from its series.
double logPositive(double v) {
    const std::uint64_t bits = BitsOf(v);
    const double e = static_cast<int>(bits >> 52) - 1023;
    const LogEntry& entry = kLogTable[(bits >> 47) & 31u];
    const double m = DoubleFromBits((bits & 0xfffffffffffffu) | 0x3ff0000000000000u);
    const double r = m * entry.reciprocal - 1.0;
    const double series =
        r + r * r * (-1.0 / 2 + r * (1.0 / 3 + r * (-1.0 / 4 + r * (1.0 / 5 + r * (-1.0 / 6)))));
    return e * kLn2High + (e * kLn2Low + (entry.negativeLog + series));
}

// e^w for w in [-104, 89], all a float can show: w = (32 k + j) ln 2 / 32 + r with
// |r| <= ln 2 / 64, and e^w = 2^k 2^(j/32) e^r.
double expBounded(double w) {
    const double n = roundToInteger(w * k32OverLn2);
    const double r = w - n * kLn2Over32High - n * kLn2Over32Low;
    const auto whole = static_cast<std::int64_t>(n);
    const std::int64_t j = whole & 31;
    const std::int64_t k = (whole - j) / 32;
    const double series = 1.0 + r * (1.0 + r * (1.0 / 2 + r * (1.0 / 6 + r * (1.0 / 24))));
    const double scale = DoubleFromBits(static_cast<std::uint64_t>(k + 1023) << 52);
    return kExp2Table[j] * series * scale;
}

// Every float of magnitude 2^24 or more is an even integer.
bool isInteger(float value) {
    const float magnitude = value < 0.0f ? -value : value;
    if (magnitude >= 0x1p24f) return true;
    return static_cast<float>(static_cast<std::int32_t>(value)) == value;
}

bool isOddInteger(float value) {
    const float magnitude = value < 0.0f ? -value : value;
    if (magnitude >= 0x1p24f) return false;
    const auto whole = static_cast<std::int32_t>(value);
    return static_cast<float>(whole) == value && (whole & 1) != 0;
}

}  // namespace

float Sin(float angle) {
    if (!isFinite(angle)) return angle - angle;
    const Reduced reduced = reduce(angle);
    const double r = reduced.remainder;
    const bool odd = (reduced.quadrant & 1u) != 0;
    return sinInQuadrant(odd ? 0.0 : sinKernel(r), odd ? cosKernel(r) : 0.0, reduced.quadrant);
}

float Cos(float angle) {
    if (!isFinite(angle)) return angle - angle;
    const Reduced reduced = reduce(angle);
    const double r = reduced.remainder;
    const bool odd = (reduced.quadrant & 1u) != 0;
    return sinInQuadrant(odd ? sinKernel(r) : 0.0, odd ? 0.0 : cosKernel(r), reduced.quadrant + 1);
}

void SinCos(float angle, float& sine, float& cosine) {
    if (!isFinite(angle)) {
        sine = cosine = angle - angle;
        return;
    }
    const Reduced reduced = reduce(angle);
    const double sinR = sinKernel(reduced.remainder);
    const double cosR = cosKernel(reduced.remainder);
    sine = sinInQuadrant(sinR, cosR, reduced.quadrant);
    cosine = sinInQuadrant(sinR, cosR, reduced.quadrant + 1);
}

float Atan2(float y, float x) {
    if (x != x || y != y) return x + y;
    const double height = y < 0.0f ? -static_cast<double>(y) : y;
    const double width = x < 0.0f ? -static_cast<double>(x) : x;
    double angle;
    if (height == kInfinity && width == kInfinity) {
        angle = kQuarterPi;
    } else if (height == 0.0 && width == 0.0) {
        angle = 0.0;
    } else if (height <= width) {
        angle = atanUnit(height / width);
    } else {
        angle = kHalfPi - atanUnit(width / height);
    }
    // The signs, not the comparisons, decide: -0 lies on the left and below.
    if (isNegative(x)) angle = kPi - angle;
    return static_cast<float>(isNegative(y) ? -angle : angle);
}

float Pow(float base, float exponent) {
    if (exponent == 0.0f || base == 1.0f) return 1.0f;
    if (base != base || exponent != exponent) return base + exponent;
    const double infinity = kInfinity;
    bool negate = false;
    if (isNegative(base)) {
        if (base != 0.0f && isFinite(base) && !isInteger(exponent)) {
            return std::numeric_limits<float>::quiet_NaN();
        }
        negate = isOddInteger(exponent);
    }
    const double magnitude = isNegative(base) ? -static_cast<double>(base) : base;
    double result;
    if (magnitude == 0.0) {
        result = exponent < 0.0f ? infinity : 0.0;
    } else if (magnitude == infinity) {
        result = exponent < 0.0f ? 0.0 : infinity;
    } else if (magnitude == 1.0) {
        result = 1.0;
    } else {
        const double w = exponent * logPositive(magnitude);
        result = w > 89.0 ? infinity : (w < -104.0 ? 0.0 : expBounded(w));
    }
    return static_cast<float>(negate ? -result : result);
}

}  // namespace vexa::portable
