#include "crc.hpp"

#include <memory>

#include "platform/platform.hpp"

// The folding method multiplies with the processor's carry-less multiply
// through the compiler's own intrinsics (<immintrin.h>), compiled for that one
// function with a target attribute and chosen at run time. These are compiler
// built-ins, not a library: the engine still needs the C++ standard library
// alone. Other compilers and processors keep the tables.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define ZARVO_CRC_FOLDING 1
#include <immintrin.h>
#else
#define ZARVO_CRC_FOLDING 0
#endif

namespace zarvo {

namespace {
// Large reads: a checksum is bound by the system's reads, not the arithmetic.
constexpr std::size_t kBlock = 256 * 1024;

// Folding a reflected CRC of width W <= 32 with polynomial P.
//
// Bytes read as a little-endian number put the message's first bit in bit 0:
// in a 16-byte lane, bit i holds the coefficient of x^(127-i). A lane that is
// congruent, modulo P, to the message read so far leaves the same register as
// that message: the tables run over the lane's 16 bytes from a register of 0
// give A(x)·x^W mod P either way. So the long run is folded into one lane and
// the tables finish that lane and the tail of fewer than 16 bytes.
//
// Moving a lane A on by D bits (D bits of message follow it):
//   A = H·x^64 + L, with H in the lane's low 8 bytes and L in its high 8, so
//   A·x^D ≡ H·(x^(64+D) mod P) + L·(x^D mod P),
// a product of at most 96 bits, which fits a lane. The carry-less product of
// two reflected 8-byte halves (bit i for x^(63-i)) puts x^(126-i-j) in bit
// i+j: read as a lane it is x times the product. The multipliers are therefore
// x^(63+D) mod P for H and x^(D-1) mod P for L. A residue in the register's
// own form (bit i for x^(W-1-i)) becomes such a half when shifted up by 64-W.
struct FoldKeys {
    // Each pair: {multiplier for the low half, for the high half}.
    std::uint64_t by512_low, by512_high;  // four lanes on: 4 x 128 bits
    std::uint64_t by128_low, by128_high;  // one lane on
};

template <typename Crc>
constexpr std::uint64_t power_of_x(unsigned n) {  // x^n mod P, as a reflected half
    using T = typename Crc::Value;
    T r = static_cast<T>(T{1} << (Crc::kWidth - 1));  // x^0
    for (unsigned i = 0; i < n; ++i)
        r = (r & 1) ? static_cast<T>((r >> 1) ^ Crc::kPolynomial) : static_cast<T>(r >> 1);
    return std::uint64_t{r} << (64 - Crc::kWidth);
}

template <typename Crc>
constexpr FoldKeys fold_keys() {
    static_assert(Crc::kWidth <= 32, "the folded product must fit a lane");
    return {power_of_x<Crc>(512 + 63), power_of_x<Crc>(512 - 1), power_of_x<Crc>(128 + 63),
            power_of_x<Crc>(128 - 1)};
}

#if ZARVO_CRC_FOLDING
#define ZARVO_FOLDING_TARGET __attribute__((target("pclmul,sse2")))
// The loops over checksums and lanes unrolled, so that every lane stays in a register.
#define ZARVO_UNROLL _Pragma("GCC unroll 4")

ZARVO_FOLDING_TARGET inline __m128i fold(__m128i lane, __m128i keys) {
    return _mm_xor_si128(_mm_clmulepi64_si128(lane, keys, 0x00), _mm_clmulepi64_si128(lane, keys, 0x11));
}

ZARVO_FOLDING_TARGET inline __m128i load_lane(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Folds the whole lanes of p[0, n), n >= 64, for N checksums at once (each
// lane loaded once, the 4·N chains independent): checksum c starts from
// register values[c] with multipliers keys[c] and ends as one lane written to
// out[c]. Returns the bytes used (a multiple of 16).
template <int N>
ZARVO_FOLDING_TARGET std::size_t fold_lanes(const FoldKeys* const* keys, const std::uint32_t* values,
                                            const unsigned char* p, std::size_t n, unsigned char (*out)[16]) {
    __m128i by512[N], by128[N], a[N][4];
    ZARVO_UNROLL
    for (int c = 0; c < N; ++c) {
        by512[c] = _mm_set_epi64x(static_cast<long long>(keys[c]->by512_high),
                                  static_cast<long long>(keys[c]->by512_low));
        by128[c] = _mm_set_epi64x(static_cast<long long>(keys[c]->by128_high),
                                  static_cast<long long>(keys[c]->by128_low));
        // The register meets the first bytes, as in the tables' first step.
        a[c][0] = _mm_xor_si128(load_lane(p), _mm_cvtsi32_si128(static_cast<int>(values[c])));
        ZARVO_UNROLL
        for (int j = 1; j < 4; ++j) a[c][j] = load_lane(p + 16 * j);
    }
    std::size_t i = 64;
    for (; i + 64 <= n; i += 64) {
        ZARVO_UNROLL
        for (int j = 0; j < 4; ++j) {
            const __m128i next = load_lane(p + i + 16 * j);
            ZARVO_UNROLL
            for (int c = 0; c < N; ++c) a[c][j] = _mm_xor_si128(fold(a[c][j], by512[c]), next);
        }
    }
    ZARVO_UNROLL
    for (int c = 0; c < N; ++c) {
        __m128i x = a[c][0];
        ZARVO_UNROLL
        for (int j = 1; j < 4; ++j) x = _mm_xor_si128(fold(x, by128[c]), a[c][j]);
        for (std::size_t k = i; k + 16 <= n; k += 16) x = _mm_xor_si128(fold(x, by128[c]), load_lane(p + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out[c]), x);
    }
    return n & ~std::size_t{15};
}
#endif

// Both checksums, folded in one pass where `path` says so and the processor can.
void update(std::uint16_t* c16, std::uint32_t* c32, std::string_view bytes, CrcPath path) {
#if ZARVO_CRC_FOLDING
    if (path == CrcPath::kFolding && bytes.size() >= 64 && folding_supported()) {
        static constexpr FoldKeys kKeys16 = fold_keys<Crc16>(), kKeys32 = fold_keys<Crc32>();
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        unsigned char lanes[2][16];
        std::size_t used = 0;
        if (c16 && c32) {
            const FoldKeys* keys[2] = {&kKeys16, &kKeys32};
            const std::uint32_t values[2] = {*c16, *c32};
            used = fold_lanes<2>(keys, values, p, bytes.size(), lanes);
        } else {
            const FoldKeys* keys[1] = {c16 ? &kKeys16 : &kKeys32};
            const std::uint32_t values[1] = {c16 ? std::uint32_t{*c16} : *c32};
            used = fold_lanes<1>(keys, values, p, bytes.size(), lanes);
        }
        // The tables finish each lane from a register of 0, then the tail.
        const std::string_view tail = bytes.substr(used);
        int lane = 0;
        if (c16) *c16 = Crc16::update(Crc16::update(0, {reinterpret_cast<const char*>(lanes[lane++]), 16}), tail);
        if (c32) *c32 = Crc32::update(Crc32::update(0, {reinterpret_cast<const char*>(lanes[lane]), 16}), tail);
        return;
    }
#else
    (void)path;
#endif
    if (c16 && c32) update_both(*c16, *c32, bytes);
    else if (c16) *c16 = Crc16::update(*c16, bytes);
    else if (c32) *c32 = Crc32::update(*c32, bytes);
}

// Computes the chosen checksums in one pass over the file.
FileChecksums checksum(const char* path, bool want16, bool want32) {
    FileChecksums out;
    platform::File file = platform::File::open(path);
    if (!file.is_open()) return out;
    out.opened = true;
    const CrcPath method = best_crc_path();
    std::uint16_t c16 = 0xFFFF;
    std::uint32_t c32 = 0xFFFFFFFF;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (std::uint64_t offset = 0;;) {
        long got = file.read_at(offset, block.get(), kBlock);
        if (got > 0) {
            update(want16 ? &c16 : nullptr, want32 ? &c32 : nullptr,
                   std::string_view(block.get(), static_cast<std::size_t>(got)), method);
            offset += static_cast<std::uint64_t>(got);
        }
        // A short read is the end of the file (or a read error).
        if (got < static_cast<long>(kBlock)) break;
    }
    out.crc16 = c16;
    out.crc32 = ~c32;
    return out;
}
}  // namespace

bool folding_supported() {
#if ZARVO_CRC_FOLDING
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    }();
    return supported;
#else
    return false;
#endif
}

CrcPath best_crc_path() { return folding_supported() ? CrcPath::kFolding : CrcPath::kTables; }

std::uint16_t update_crc16(std::uint16_t value, std::string_view bytes, CrcPath path) {
    update(&value, nullptr, bytes, path);
    return value;
}

std::uint32_t update_crc32(std::uint32_t value, std::string_view bytes, CrcPath path) {
    update(nullptr, &value, bytes, path);
    return value;
}

void update_both(std::uint16_t& c16, std::uint32_t& c32, std::string_view bytes, CrcPath path) {
    update(&c16, &c32, bytes, path);
}

FileChecksums file_checksums(const char* path) { return checksum(path, true, true); }

std::uint16_t file_crc16(const char* path) { return checksum(path, true, false).crc16; }

std::uint32_t file_crc32(const char* path) { return checksum(path, false, true).crc32; }

}  // namespace zarvo
