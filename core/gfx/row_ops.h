// Row kernels of the software renderer: copying and blending runs of pixels.
// The blend has vector code for x86 builds with SSE2 and scalar code for the
// others, the same bits for every input. Copies go to the C library's
// memcpy: measured here, a copy loop of our own was no faster, not even for
// sprite-sized runs.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/gfx/color.h"
#include "core/gfx/pixel_ops.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sarvel::gfx {

// Source-over of a premultiplied pixel onto an opaque one, as one formula for
// all four channels: c = min(src + round(dst * (255 - a) / 255), 255). For
// an opaque destination and a source whose transparent pixels are 0 this is
// BlendOver exactly; the vector code computes the very same formula.
constexpr Argb BlendPremultiplied(Argb dst, Argb src) {
  const uint32_t inv = 255 - (src >> 24);
  Argb out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t c = ((src >> shift) & 0xFF) + Div255(((dst >> shift) & 0xFF) * inv);
    out |= std::min<uint32_t>(c, 255) << shift;
  }
  return out;
}

namespace detail {

inline void BlendRowScalar(Argb* dst, const Argb* src, int n) {
  for (int i = 0; i < n; ++i) dst[i] = BlendPremultiplied(dst[i], src[i]);
}

#if defined(__SSE2__)

// Two pixels widened to 16 bits a channel: the blend of BlendPremultiplied.
inline __m128i Blend2(__m128i d, __m128i s) {
  const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
  // d * inv <= 65025 fits an unsigned 16-bit lane, and so does every sum below.
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(d, inv), _mm_set1_epi16(128));
  t = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  return _mm_add_epi16(s, t);  // the caller's saturating pack clamps to 255
}

inline void BlendRowSse2(Argb* dst, const Argb* src, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    // Four transparent pixels leave the target alone, four opaque ones
    // replace it: both are common inside a sprite.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
      _mm_storeu_si128(out, s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(out);
    const __m128i lo = Blend2(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = Blend2(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(out, _mm_packus_epi16(lo, hi));
  }
  BlendRowScalar(dst + i, src + i, n - i);
}

// dst[i] = BlendPremultiplied(base[i], src[i]): the blend onto another row.
inline void BlendRowOntoSse2(Argb* dst, const Argb* base, const Argb* src, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
      _mm_storeu_si128(out, s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) {
      _mm_storeu_si128(out, d);
      continue;
    }
    const __m128i lo = Blend2(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    const __m128i hi = Blend2(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    _mm_storeu_si128(out, _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) dst[i] = BlendPremultiplied(base[i], src[i]);
}

#endif

}  // namespace detail

// Asks for the cache lines of a block of rows ahead of their use: sprite-
// sized blocks lie scattered over surfaces far larger than the caches, and
// asking for all their lines early overlaps the waits. They go to the
// second-level cache: the rows of a wide surface map to few sets of the
// first-level one, where a block's lines would push each other out before
// their use.
inline void PrefetchBlock(const Argb* first, size_t stride, int rows, int n) {
  if (rows <= 0 || n <= 0) return;
#if defined(__SSE2__)
  const size_t bytes = size_t(n) * sizeof(Argb);
  for (int y = 0; y < rows; ++y) {
    const char* p = reinterpret_cast<const char*>(first + size_t(y) * stride);
    for (size_t at = 0; at < bytes; at += 64) {
      _mm_prefetch(p + at, _MM_HINT_T1);
      // GCC drops loops that only prefetch: this empty statement keeps it.
      __asm__ __volatile__("" : : "r"(p + at));
    }
    _mm_prefetch(p + bytes - 1, _MM_HINT_T1);
  }
#else
  (void)first, (void)stride, (void)rows, (void)n;
#endif
}

// The same for one run of n pixels.
inline void PrefetchRun(const Argb* first, int n) { PrefetchBlock(first, 0, 1, n); }

// dst[i] = BlendPremultiplied(dst[i], src[i]) for n pixels.
inline void BlendRow(Argb* dst, const Argb* src, int n) {
#if defined(__SSE2__)
  detail::BlendRowSse2(dst, src, n);
#else
  detail::BlendRowScalar(dst, src, n);
#endif
}

// dst[i] = BlendPremultiplied(base[i], src[i]) for n pixels: a blend that
// takes what lies under it from another surface. `dst` must not overlap
// `base` or `src`.
inline void BlendRowOnto(Argb* dst, const Argb* base, const Argb* src, int n) {
#if defined(__SSE2__)
  detail::BlendRowOntoSse2(dst, base, src, n);
#else
  for (int i = 0; i < n; ++i) dst[i] = BlendPremultiplied(base[i], src[i]);
#endif
}

// Copies n pixels; the runs must not overlap.
inline void CopyRow(Argb* dst, const Argb* src, int n) {
#if defined(__SSE2__)
  if (n <= 128) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
    }
    for (; i < n; ++i) dst[i] = src[i];
    return;
  }
#endif
  if (n > 0) std::memcpy(dst, src, size_t(n) * sizeof(Argb));
}

}  // namespace sarvel::gfx
