#include "app/scene/frame_composer.h"

#include <algorithm>

#include "core/gfx/pixel_ops.h"
#include "core/gfx/row_ops.h"

namespace sarvel {
namespace {

// Rows of one band: the parts of the three surfaces a band touches stay in
// the second-level cache and their pages in the TLB.
constexpr int kBandRows = 32;

bool SameSize(const gfx::Surface& a, const gfx::Surface& b) {
  return a.width() == b.width() && a.height() == b.height();
}

uint64_t Area(const gfx::Rect& r) { return r.empty() ? 0 : uint64_t(r.w) * uint64_t(r.h); }

void Prefetch(const gfx::Surface& s, const gfx::Rect& r) {
  if (!r.empty()) gfx::PrefetchBlock(s.row(r.y) + r.x, size_t(s.width()), r.h, r.w);
}

// The columns of `r` that a sprite at (px, py) covers, in both surfaces; all
// of `r` without a sprite.
void PrefetchCovered(const gfx::Surface& a, const gfx::Surface& b, const gfx::Rect& r,
                     const gfx::Sprite* sprite, int64_t px, int64_t py) {
  if (!sprite) {
    Prefetch(a, r);
    Prefetch(b, r);
    return;
  }
  for (int y = r.y; y < r.bottom(); ++y) {
    const gfx::ColumnSpan span = gfx::SpriteRowSpan(*sprite, px, py, y, r);
    if (span.empty()) continue;
    gfx::PrefetchRun(a.row(y) + span.first, span.size());
    gfx::PrefetchRun(b.row(y) + span.first, span.size());
  }
}

}  // namespace

template <class AreaOf>
void FrameComposer::Bands::Sort(size_t n, int bands, AreaOf&& area_of) {
  first.assign(size_t(bands) + 1, 0);
  auto span_of = [&](const gfx::Rect& a, int& b0, int& b1) {
    b0 = std::clamp(a.y / kBandRows, 0, bands - 1);
    b1 = std::clamp((a.bottom() - 1) / kBandRows, 0, bands - 1);
  };
  for (size_t i = 0; i < n; ++i) {
    const gfx::Rect a = area_of(i);
    if (a.empty()) continue;
    int b0, b1;
    span_of(a, b0, b1);
    for (int b = b0; b <= b1; ++b) ++first[size_t(b) + 1];
  }
  for (size_t b = 1; b < first.size(); ++b) first[b] += first[b - 1];
  items.resize(first.back());
  fill.assign(first.begin(), first.end() - 1);
  for (size_t i = 0; i < n; ++i) {
    const gfx::Rect a = area_of(i);
    if (a.empty()) continue;
    int b0, b1;
    span_of(a, b0, b1);
    for (int b = b0; b <= b1; ++b) items[fill[size_t(b)]++] = uint32_t(i);
  }
}

FrameComposer::FrameComposer(size_t max_draws)
    : damage_(max_draws), restored_(max_draws), present_(2 * max_draws), max_draws_(max_draws) {
  draws_.reserve(max_draws);
  bg_draws_.reserve(max_draws);
  damage_owners_.reserve(max_draws);
  restored_owners_.reserve(max_draws);
  same_draw_.reserve(max_draws);
  same_restore_.reserve(max_draws);
  same_copy_.reserve(2 * max_draws);
  repeats_.reserve(max_draws);
  onto_bg_.reserve(max_draws);
  shown_.reserve(2 * max_draws);
  for (Bands* b : {&restore_bands_, &draw_bands_, &copy_bands_}) {
    // Rectangles up to a band and a bit tall meet three bands; screens up
    // to 16384 rows.
    b->items.reserve(3 * 2 * max_draws);
    b->first.reserve(16384 / kBandRows + 2);
    b->fill.reserve(16384 / kBandRows + 2);
  }
}

void FrameComposer::ReserveForHeight(int rows) {
  // A rectangle meets at most this many bands; every list of rectangles
  // holds at most twice max_draws of them.
  const size_t bands = size_t(std::max(rows, 1) + kBandRows - 2) / kBandRows + 1;
  for (Bands* b : {&restore_bands_, &draw_bands_, &copy_bands_})
    b->items.reserve(bands * 2 * max_draws_);
}

void FrameComposer::Begin(gfx::Surface& background, gfx::Surface& frame_buffer,
                          gfx::Surface& window, bool track) {
  restored_.swap(damage_);
  restored_owners_.swap(damage_owners_);
  damage_.Clear();
  damage_owners_.clear();
  same_copy_.clear();
  present_.Clear();
  draws_.clear();
  bg_draws_.clear();
  pixels_ = {};
  bg_ = &background;
  buffer_ = &frame_buffer;
  window_ = &window;
  const bool lost = damage_lost_;
  damage_lost_ = false;
  whole_now_ = whole_next_ || lost || !track || !SameSize(background, frame_buffer) ||
               !SameSize(window, frame_buffer);
  whole_next_ = true;  // until this frame has been presented
  shown_frame_ = true;
  queuing_ = !whole_now_;
  if (whole_now_) {
    gfx::Blit(frame_buffer, 0, 0, background, background.bounds());
    pixels_.restored += Area(background.bounds());
    return;
  }
  for (const gfx::Rect& r : restored_) present_.Add(r);  // cannot fill up: twice the room
}

void FrameComposer::BeginUnseen() {
  damage_.Clear();
  damage_owners_.clear();
  same_copy_.clear();
  present_.Clear();
  draws_.clear();
  pixels_ = {};
  damage_lost_ = false;
  whole_next_ = true;
  shown_frame_ = false;
  queuing_ = false;
}

void FrameComposer::AddDamage(const gfx::Rect& r, const Owner& owner) {
  bool fresh = false;
  const int at = damage_.Insert(r, &fresh);
  if (at == gfx::RectList::kFull) damage_lost_ = true;  // the lists never grow: no allocation
  if (at < 0) return;
  if (fresh) {
    damage_owners_.push_back(owner);
  } else {
    damage_owners_[size_t(at)] = Owner{};  // two sources: no single owner
  }
}

void FrameComposer::Drawn(const gfx::Rect& r) {
  AddDamage(r, Owner{});
  pixels_.drawn += Area(r);
}

void FrameComposer::Queue(SpriteCache& sprites, bool into_background, int id, int64_t px,
                          int64_t py, int w, int h) {
  const gfx::Surface& target = into_background ? *bg_ : *buffer_;
  Draw d;
  d.px = px;
  d.py = py;
  d.sprite = sprites.Sprite(id, w, h);
  if (d.sprite) {
    // Read again when the frame is composed.
    gfx::PrefetchRun(d.sprite->spans, d.sprite->height);
    d.area = gfx::SpriteArea(*d.sprite, d.px, d.py, target.bounds());
  } else {
    d.icon = sprites.Picture(id, w, h);
    if (d.icon->width() <= 0 || d.icon->height() <= 0) return;
    d.area = gfx::ClipRect(px, py, w, h, target.bounds());
    d.w = w;
    d.h = h;
  }
  if (d.area.empty()) return;
  AddDamage(d.area,
            into_background || !d.sprite ? Owner{} : Owner{d.sprite, d.px, d.py, draws_.size()});
  if (into_background) {
    bg_draws_.push_back(std::move(d));
    return;
  }
  if (!present_.Add(d.area)) damage_lost_ = true;
  draws_.push_back(std::move(d));
}

namespace {

// Returns the pixels it may have changed.
uint64_t DrawClipped(gfx::Surface& dst, const gfx::Sprite* sprite, const gfx::ImageRef& icon,
                     int64_t px, int64_t py, int w, int h, const gfx::Rect& clip) {
  if (sprite) return gfx::DrawSpriteAt(dst, *sprite, px, py, clip);
  gfx::DrawIconAt(dst, *icon, px, py, w, h, clip);
  return Area(gfx::ClipRect(px, py, w, h, clip.Intersected(dst.bounds())));
}

}  // namespace

void FrameComposer::Compose() {
  if (!queuing_) return;
  queuing_ = false;
  gfx::Surface& buffer = *buffer_;
  const int bands = (buffer.height() + kBandRows - 1) / kBandRows;
  if (bands > 0) ComposeBands(bands);
  draws_.clear();
  for (const Draw& d : bg_draws_)
    pixels_.drawn += DrawClipped(*bg_, d.sprite, d.icon, d.px, d.py, d.w, d.h, bg_->bounds());
  bg_draws_.clear();
}

// Whether `area` meets any of `rects` (found through their bands) other
// than rects[except] for which `allowed` says no.
template <class Allowed>
bool FrameComposer::Blocked(const Bands& bands, std::span<const gfx::Rect> rects,
                            const gfx::Rect& area, size_t except, Allowed&& allowed) const {
  const int last = int(bands.first.size()) - 2;
  const int b0 = std::clamp(area.y / kBandRows, 0, last);
  const int b1 = std::clamp((area.bottom() - 1) / kBandRows, 0, last);
  for (int b = b0; b <= b1; ++b) {
    for (uint32_t k = bands.first[size_t(b)]; k < bands.first[size_t(b) + 1]; ++k) {
      const uint32_t i = bands.items[k];
      if (i != except && !rects[i].Intersected(area).empty() && !allowed(i)) return true;
    }
  }
  return false;
}

// Draws the last frame made the very same way are left out, as long as
// what they overlap, then and now, is only other such draws, met in the same
// order: frame_buffer and the window already hold them. Candidates that
// overlap anything else drop out until none does. (A draw made twice where
// it was made once blocks itself: the two copies meet out of order.)
void FrameComposer::FindUnchanged() {
  const auto restored = restored_.rects();
  same_draw_.assign(draws_.size(), 0);
  same_restore_.assign(restored.size(), 0);
  same_copy_.assign(present_.size(), 0);
  repeats_.assign(draws_.size(), -1);
  shown_.clear();  // the draws' areas, to test them against each other
  for (const Draw& d : draws_) shown_.push_back(d.area);
  for (size_t i = 0; i < draws_.size(); ++i) {
    const Draw& d = draws_[i];
    if (!d.sprite) continue;
    const int j = restored_.Find(d.area);
    if (j < 0) continue;
    const Owner& was = restored_owners_[size_t(j)];
    if (was.sprite != d.sprite || was.px != d.px || was.py != d.py) continue;
    repeats_[i] = j;
    same_draw_[i] = same_restore_[size_t(j)] = 1;
  }
  for (bool dropped = true; dropped;) {
    dropped = false;
    for (size_t i = 0; i < draws_.size(); ++i) {
      if (!same_draw_[i]) continue;
      const size_t j = size_t(repeats_[i]);
      const size_t order = restored_owners_[j].order;
      const bool blocked =
          Blocked(restore_bands_, restored, shown_[i], j,
                  [&](size_t k) { return same_restore_[k] != 0; }) ||
          Blocked(draw_bands_, shown_, shown_[i], i, [&](size_t k) {
            // Another repeated draw, on the same side of this one as before.
            return same_draw_[k] &&
                   (k < i) == (restored_owners_[size_t(repeats_[k])].order < order);
          });
      if (!blocked) continue;
      same_draw_[i] = same_restore_[j] = 0;
      dropped = true;
    }
  }
  for (size_t i = 0; i < draws_.size(); ++i) {
    if (!same_draw_[i]) continue;
    const int c = present_.Find(shown_[i]);
    if (c >= 0) same_copy_[size_t(c)] = 1;
  }
}

void FrameComposer::ComposeBands(int bands) {
  gfx::Surface& buffer = *buffer_;
  const auto restored = restored_.rects();
  const auto copies = present_.rects();
  restore_bands_.Sort(restored.size(), bands, [&](size_t i) { return restored[i]; });
  draw_bands_.Sort(draws_.size(), bands, [&](size_t i) { return draws_[i].area; });
  FindUnchanged();
  restore_bands_.Sort(restored.size(), bands,
                      [&](size_t i) { return same_restore_[i] ? gfx::Rect{} : restored[i]; });
  draw_bands_.Sort(draws_.size(), bands,
                   [&](size_t i) { return same_draw_[i] ? gfx::Rect{} : draws_[i].area; });
  // Composing straight into the window's image leaves nothing to copy.
  const bool copy = window_ != buffer_;
  copy_bands_.Sort(copies.size(), bands,
                   [&](size_t i) { return same_copy_[i] || !copy ? gfx::Rect{} : copies[i]; });
  auto band_rect = [&](int b) {
    return gfx::Rect{0, b * kBandRows, buffer.width(), kBandRows}.Intersected(buffer.bounds());
  };
  // Everything a band will touch is asked for while the band before it is
  // being worked on.
  auto prefetch = [&](int b) {
    if (b >= bands) return;
    const gfx::Rect band = band_rect(b);
    for (uint32_t k = restore_bands_.first[size_t(b)]; k < restore_bands_.first[size_t(b) + 1];
         ++k) {
      const uint32_t i = restore_bands_.items[k];
      const Owner& was = restored_owners_[i];
      PrefetchCovered(*bg_, buffer, restored[i].Intersected(band), was.sprite, was.px, was.py);
    }
    for (uint32_t k = draw_bands_.first[size_t(b)]; k < draw_bands_.first[size_t(b) + 1]; ++k) {
      const Draw& d = draws_[draw_bands_.items[k]];
      const gfx::Rect r = d.area.Intersected(band);
      PrefetchCovered(*bg_, buffer, r, d.sprite, d.px, d.py);
      if (d.sprite && !r.empty()) {
        // Its rows in this band: one block of the sprite.
        const int64_t sy = r.y - d.py;
        gfx::PrefetchRun(d.sprite->pixels + sy * d.sprite->width, r.h * d.sprite->width);
      }
    }
    for (uint32_t k = copy_bands_.first[size_t(b)]; k < copy_bands_.first[size_t(b) + 1]; ++k) {
      Prefetch(*window_, copies[copy_bands_.items[k]].Intersected(band));
    }
  };
  prefetch(0);
  for (int b = 0; b < bands; ++b) {
    prefetch(b + 1);
    const gfx::Rect band = band_rect(b);
    const uint32_t draws_from = draw_bands_.first[size_t(b)],
                   draws_to = draw_bands_.first[size_t(b) + 1];
    MarkDrawsOntoBackground(draws_from, draws_to, band);
    for (uint32_t k = restore_bands_.first[size_t(b)]; k < restore_bands_.first[size_t(b) + 1];
         ++k) {
      const uint32_t i = restore_bands_.items[k];
      RestoreOutsideDrawsOnto(restored[i].Intersected(band), restored_owners_[i], draws_from,
                              draws_to, band);
    }
    for (uint32_t k = draws_from; k < draws_to; ++k) {
      const Draw& d = draws_[draw_bands_.items[k]];
      if (onto_bg_[k - draws_from]) {
        pixels_.drawn += gfx::DrawSpriteOnto(buffer, *bg_, *d.sprite, d.px, d.py, band);
      } else {
        pixels_.drawn += DrawClipped(buffer, d.sprite, d.icon, d.px, d.py, d.w, d.h, band);
      }
    }
    for (uint32_t k = copy_bands_.first[size_t(b)]; k < copy_bands_.first[size_t(b) + 1]; ++k) {
      const gfx::Rect r = copies[copy_bands_.items[k]].Intersected(band);
      gfx::Blit(*window_, r.x, r.y, buffer, r);
      pixels_.copied += Area(r);
    }
  }
}

// A draw that meets no earlier draw of the band finds background under it in
// frame_buffer (what the restoring puts there, or what was there all along
// outside the damage): it can take its background from background directly and
// write every column it covers, which then need no restoring.
void FrameComposer::MarkDrawsOntoBackground(uint32_t from, uint32_t to, const gfx::Rect& band) {
  onto_bg_.assign(to - from, 0);
  for (uint32_t k = from; k < to; ++k) {
    const Draw& d = draws_[draw_bands_.items[k]];
    if (!d.sprite) continue;
    const gfx::Rect mine = d.area.Intersected(band);
    bool alone = true;
    for (uint32_t e = from; e < k && alone; ++e) {
      alone = draws_[draw_bands_.items[e]].area.Intersected(mine).empty();
    }
    onto_bg_[k - from] = alone;
  }
}

// Restores `r` from background where `was` drew into it (all of it when its
// source is not one sprite), leaving out the columns that the first draw onto
// the background it meets writes anyway (a moved sprite usually covers most
// of where it was). The rest is restored even where other such draws will
// write it again.
void FrameComposer::RestoreOutsideDrawsOnto(const gfx::Rect& r, const Owner& was, uint32_t from,
                                            uint32_t to, const gfx::Rect& band) {
  if (r.empty()) return;
  const Draw* cut = nullptr;
  for (uint32_t k = from; k < to && !cut; ++k) {
    const Draw& d = draws_[draw_bands_.items[k]];
    if (onto_bg_[k - from] && !d.area.Intersected(r).empty()) cut = &d;
  }
  gfx::Surface& buffer = *buffer_;
  auto restore = [&](int y, int first, int end) {
    if (end <= first) return;
    gfx::CopyRow(buffer.row(y) + first, bg_->row(y) + first, end - first);
    pixels_.restored += uint64_t(end - first);
  };
  for (int y = r.y; y < r.bottom(); ++y) {
    const gfx::ColumnSpan old = was.sprite ? gfx::SpriteRowSpan(*was.sprite, was.px, was.py, y, r)
                                           : gfx::ColumnSpan{r.x, r.right()};
    if (old.empty()) continue;
    const gfx::ColumnSpan now =
        cut ? gfx::SpriteRowSpan(*cut->sprite, cut->px, cut->py, y, band) : gfx::ColumnSpan{};
    if (now.empty()) {
      restore(y, old.first, old.end);
      continue;
    }
    restore(y, old.first, std::min(old.end, now.first));
    restore(y, std::max(old.first, now.end), old.end);
  }
}

void FrameComposer::Printed(const gfx::Rect& r) {
  AddDamage(r, Owner{});
  pixels_.drawn += Area(r);
  if (!shown_frame_ || whole_now_ || r.empty()) return;
  if (window_ != buffer_) {
    gfx::Blit(*window_, r.x, r.y, *buffer_, r);
    pixels_.copied += Area(r);
  }
  const int at = present_.Insert(r, nullptr);
  if (at == gfx::RectList::kFull) damage_lost_ = true;
  if (at >= 0 && size_t(at) < same_copy_.size()) same_copy_[size_t(at)] = 0;  // changed after all
}

void FrameComposer::Present(SceneHost& host) {
  if (!shown_frame_) return;
  Compose();  // in case the frame's drawing was cut short
  if (whole_now_ || damage_lost_) {
    gfx::Blit(*window_, 0, 0, *buffer_, buffer_->bounds());
    if (window_ != buffer_) pixels_.copied += Area(buffer_->bounds());
    host.Refresh();
  } else {
    // By rows, as the window system copies them; what stayed the same is
    // not shown again.
    shown_.clear();
    for (size_t i = 0; i < present_.size(); ++i) {
      if (i >= same_copy_.size() || !same_copy_[i]) shown_.push_back(present_.rects()[i]);
    }
    std::sort(shown_.begin(), shown_.end(), [](const gfx::Rect& a, const gfx::Rect& b) {
      return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    host.RefreshRects(shown_);
  }
  shown_frame_ = false;
  whole_next_ = false;
}

void FrameComposer::End() {
  if (queuing_ || shown_frame_) whole_next_ = true;
  // Draws into background are the scene's state: they are made even so.
  if (queuing_) {
    for (const Draw& d : bg_draws_)
      DrawClipped(*bg_, d.sprite, d.icon, d.px, d.py, d.w, d.h, bg_->bounds());
  }
  queuing_ = false;
  shown_frame_ = false;
  draws_.clear();
  bg_draws_.clear();
}

}  // namespace sarvel
