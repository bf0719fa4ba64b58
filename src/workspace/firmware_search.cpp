#include "workspace/firmware_search.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TESSARO_X86_SEARCH 1
#else
#define TESSARO_X86_SEARCH 0
#endif

namespace tessaro {

namespace {

// The filter looks at the byte pairs at even offsets, 64 bytes at a time. Every "@(#)"
// holds "@(" or "(#" at an even offset, every "2CLICK" "2C" or "CL": a pair at offset L
// flags the positions L − 1 and L, which are then compared in full. About one random pair
// in 16000 is flagged.
constexpr size_t kGroup = 64;
constexpr const char* kPairs[4] = {"@(", "(#", "2C", "CL"};

// The first group from `p` with a flagged pair: bit L (L even) of `bits` stands for the pair
// at p + L, whose positions p + L − 1 and p + L are compared in full. When no whole group fits the window any more, `bits` is 0 and `p` is where the
// byte-by-byte search takes over.
struct Candidates {
    size_t p;
    uint64_t bits;
};

uint16_t pairValue(const char* pair)
{
    uint16_t v;
    std::memcpy(&v, pair, 2);
    return v;
}

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

bool versionMarkAt(const uint8_t* buf, size_t length, size_t p)
{
    if (p + 5 > length || std::memcmp(buf + p, "@(#)", 4) != 0)
        return false;
    const uint8_t letter = buf[p + 4];
    return letter == 'T' || letter == 'G' || (letter == 'R' && p + 6 <= length && isDigit(buf[p + 5]));
}

bool itemTableAt(const uint8_t* buf, size_t length, size_t p)
{
    return p + 6 <= length && std::memcmp(buf + p, "2CLICK", 6) == 0;
}

// Looks at one position; returns true once nothing is wanted any more.
bool checkCandidate(const uint8_t* buf, size_t length, size_t p, bool wantVersion, bool wantTable,
                    PatternHits& hits)
{
    if (wantVersion && hits.version == PatternHits::npos && versionMarkAt(buf, length, p))
        hits.version = p;
    if (wantTable && hits.table == PatternHits::npos && itemTableAt(buf, length, p))
        hits.table = p;
    return (!wantVersion || hits.version != PatternHits::npos) &&
           (!wantTable || hits.table != PatternHits::npos);
}

// Portable filter, for want of wider vectors: the first and the last byte of each pattern
// ("@" ... ")" of "@(#)", "2" ... "K" of "2CLICK") in 16-byte vectors of the compiler's vector
// extension (SSE2, NEON), which costs fewer operations at that width than the pairs. Its
// bits flag the candidate positions themselves; the caller's extra look at the position
// before each one is harmless.
constexpr size_t kPortableReach = 5;  // the last byte looked at lies 5 bytes after a position

Candidates skipPortable(const uint8_t* buf, size_t length, size_t p)
{
    using V16 = uint8_t __attribute__((vector_size(16)));
    auto filter = [buf](size_t at) {
        V16 a, c, f;
        std::memcpy(&a, buf + at, 16);
        std::memcpy(&c, buf + at + 3, 16);
        std::memcpy(&f, buf + at + 5, 16);
        return ((a == '@') & (c == ')')) | ((a == '2') & (f == 'K'));
    };
    for (; p + kGroup + kPortableReach <= length; p += kGroup) {
        const auto m = filter(p) | filter(p + 16) | filter(p + 32) | filter(p + 48);
        uint64_t halves[2];
        std::memcpy(halves, &m, 16);
        if ((halves[0] | halves[1]) == 0)
            continue;
        uint64_t bits = 0;
        for (size_t j = 0; j < kGroup; ++j) {
            const uint8_t* q = buf + p + j;
            if ((q[0] == '@' && q[3] == ')') || (q[0] == '2' && q[5] == 'K'))
                bits |= uint64_t{1} << j;
        }
        return {p, bits};
    }
    return {p, 0};
}

#if TESSARO_X86_SEARCH
__attribute__((target("avx2"))) Candidates skipAvx2(const uint8_t* buf, size_t length, size_t p)
{
    const __m256i a = _mm256_set1_epi16(static_cast<short>(pairValue(kPairs[0])));
    const __m256i b = _mm256_set1_epi16(static_cast<short>(pairValue(kPairs[1])));
    const __m256i c = _mm256_set1_epi16(static_cast<short>(pairValue(kPairs[2])));
    const __m256i d = _mm256_set1_epi16(static_cast<short>(pairValue(kPairs[3])));
    for (; p + kGroup <= length; p += kGroup) {
        const __m256i x0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buf + p));
        const __m256i x1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buf + p + 32));
        const __m256i m0 = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi16(x0, a), _mm256_cmpeq_epi16(x0, b)),
                                           _mm256_or_si256(_mm256_cmpeq_epi16(x0, c), _mm256_cmpeq_epi16(x0, d)));
        const __m256i m1 = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi16(x1, a), _mm256_cmpeq_epi16(x1, b)),
                                           _mm256_or_si256(_mm256_cmpeq_epi16(x1, c), _mm256_cmpeq_epi16(x1, d)));
        if (_mm256_testz_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m0, m1)))
            continue;
        const uint64_t bytes = static_cast<uint32_t>(_mm256_movemask_epi8(m0)) |
                               (uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(m1))} << 32);
        return {p, bytes & 0x5555555555555555ull};
    }
    return {p, 0};
}

// The comparisons land in mask registers: a group costs one load, four comparisons and three
// mask operations.
__attribute__((target("avx512bw"))) Candidates skipAvx512(const uint8_t* buf, size_t length, size_t p)
{
    const __m512i a = _mm512_set1_epi16(static_cast<short>(pairValue(kPairs[0])));
    const __m512i b = _mm512_set1_epi16(static_cast<short>(pairValue(kPairs[1])));
    const __m512i c = _mm512_set1_epi16(static_cast<short>(pairValue(kPairs[2])));
    const __m512i d = _mm512_set1_epi16(static_cast<short>(pairValue(kPairs[3])));
    for (; p + kGroup <= length; p += kGroup) {
        const __m512i x = _mm512_loadu_si512(buf + p);
        const __mmask32 lanes = _mm512_cmpeq_epi16_mask(x, a) | _mm512_cmpeq_epi16_mask(x, b) |
                                _mm512_cmpeq_epi16_mask(x, c) | _mm512_cmpeq_epi16_mask(x, d);
        if (lanes == 0)
            continue;
        uint64_t bits = 0;
        for (uint32_t l = lanes; l != 0; l &= l - 1)
            bits |= uint64_t{1} << (2 * __builtin_ctz(l));
        return {p, bits};
    }
    return {p, 0};
}
#endif

SearchVariant resolve(SearchVariant variant)
{
    if (variant == SearchVariant::Best) {
        if (searchVariantAvailable(SearchVariant::Avx512))
            return SearchVariant::Avx512;
        if (searchVariantAvailable(SearchVariant::Avx2))
            return SearchVariant::Avx2;
        return SearchVariant::Portable;
    }
    return searchVariantAvailable(variant) ? variant : SearchVariant::Portable;
}

} // namespace

bool searchVariantAvailable(SearchVariant variant)
{
    switch (variant) {
    case SearchVariant::Best:
    case SearchVariant::Portable:
        return true;
#if TESSARO_X86_SEARCH
    case SearchVariant::Avx2:
        return __builtin_cpu_supports("avx2");
    case SearchVariant::Avx512:
        return __builtin_cpu_supports("avx512bw");
#else
    case SearchVariant::Avx2:
    case SearchVariant::Avx512:
        return false;
#endif
    }
    return false;
}

PatternHits findFirmwarePatterns(const uint8_t* buf, size_t length, bool wantVersion, bool wantTable,
                                 SearchVariant variant)
{
    PatternHits hits;
    if (!wantVersion && !wantTable)
        return hits;
    const SearchVariant use = resolve(variant);
    auto skip = [&](size_t p) -> Candidates {
#if TESSARO_X86_SEARCH
        if (use == SearchVariant::Avx512)
            return skipAvx512(buf, length, p);
        if (use == SearchVariant::Avx2)
            return skipAvx2(buf, length, p);
#endif
        return skipPortable(buf, length, p);
    };
    size_t p = 0;
    while (true) {
        const Candidates group = skip(p);
        p = group.p;
        if (group.bits == 0)
            break;
        for (uint64_t bits = group.bits; bits != 0; bits &= bits - 1) {
            const size_t pair = p + static_cast<size_t>(__builtin_ctzll(bits));
            if (pair > 0 && checkCandidate(buf, length, pair - 1, wantVersion, wantTable, hits))
                return hits;
            if (checkCandidate(buf, length, pair, wantVersion, wantTable, hits))
                return hits;
        }
        p += kGroup;
    }
    // The pattern that starts just before the first unfiltered byte was flagged by no group.
    for (p = p > 0 ? p - 1 : 0; p < length; ++p)
        if (checkCandidate(buf, length, p, wantVersion, wantTable, hits))
            return hits;
    return hits;
}

} // namespace tessaro
