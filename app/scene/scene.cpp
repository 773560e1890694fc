#include "app/scene/scene.h"

#include <algorithm>
#include <cmath>

#include "app/background_kinds.h"
#include "app/general.h"
#include "app/maker.h"
#include "app/resource_ids.h"
#include "core/base/checked.h"
#include "core/base/failure.h"
#include "core/gfx/painter.h"
#include "core/gfx/picture_codec.h"
#include "core/report/procedure.h"

namespace sarvel {
namespace {

// 32-bit tick counts as the frame procedure keeps them.
int32_t AsSigned(uint32_t tick) { return static_cast<int32_t>(tick); }

int16_t Clamp16(int32_t v, int32_t lo, int32_t hi) { return int16_t(std::clamp(v, lo, hi)); }

// The most a frame draws: every leaf settling (three draws), every mushroom
// strewing its eleven leaves, the overlay's three texts. Beyond it a frame
// simply copies everything.
constexpr size_t kMaxDamage =
    size_t(kSpriteTableSize) * 3 + size_t(kSpriteTableSize / 3 + 1) * 11 + 3;

// The icons and the sizes the scene draws them at: mushrooms growing up to
// 48 (drawn one larger); leaves falling at 24 to 34, lying in the carpet at
// 32 x 32, settled by a maturing mushroom at 32 x 28 and 32 x 26, strewn at
// 32 x 30.
constexpr int kTallestSprite = 49;

// A capture without a single lit pixel saw no desktop: the display could not
// be read (a secure desktop, a failed copy), or it lent us a black window.
bool ShowsNothing(const gfx::Surface& capture) {
  for (int y = 0; y < capture.height(); ++y) {
    const gfx::Argb* row = capture.row(y);
    for (int x = 0; x < capture.width(); ++x)
      if ((row[x] & 0x00FFFFFFu) != 0) return false;
  }
  return true;
}

std::vector<SpriteCache::Family> SceneSprites() {
  SpriteCache::Family mushrooms{IDI_MUSHROOM_FIRST, IDI_MUSHROOM_LAST, {}};
  for (int s = 1; s <= kTallestSprite; ++s) mushrooms.sizes.emplace_back(s, s);
  SpriteCache::Family leaves{IDI_LEAF_FIRST, IDI_LEAF_LAST, {}};
  for (int s = 24; s <= 34; ++s) leaves.sizes.emplace_back(s, s);
  for (int h : {26, 28, 30}) leaves.sizes.emplace_back(32, h);
  return {mushrooms, leaves};
}

}  // namespace

void GroundWaveTable::Recreate(int32_t last_index) {
  last_ = std::max(last_index, first() - 1);
  values_.assign(size_t(last_ - first() + 1), 0);
}

int16_t& GroundWaveTable::operator()(int32_t x) {
  if (x < first() || x > last_) Raise(Err::kSubscriptOutOfRange);
  return values_[size_t(x - first())];
}

Scene::Scene(SceneContext context, SceneHost& host)
    : c_(context), host_(host), sprites_(context.resources, SceneSprites()), composer_(kMaxDamage) {
  background.set_back_color(gfx::kBlack);
  frame_buffer.set_back_color(gfx::kWhite);
}

gfx::Surface& Scene::FrameSurface() {
  return rendering_.track_damage ? host_.WindowImage() : frame_buffer;
}

// frame_buffer has the window's size while frames are composed in it; otherwise
// (the window's image has that size already) it keeps no memory.
void Scene::SizeFrameBuffer() {
  const bool own_buffer = &FrameSurface() == &frame_buffer;
  frame_buffer.Resize(own_buffer ? device_width_ : 0, own_buffer ? device_height_ : 0);
}

void Scene::set_rendering(Rendering r) {
  rendering_ = r;
  SizeFrameBuffer();
  sprites_.set_enabled(r.cache_sprites);
  composer_.Invalidate();
}

// A sprite at logical (x, y), w x h logical pixels, drawn in device pixels.
// During a frame the draw waits for the composer; into frame_buffer while nobody
// looks it is left out. What goes into background always goes in: it is the
// scene's state.
void Scene::DrawSprite(gfx::Surface& dst, int id, float x, float y, int w, int h) {
  gfx::Surface& frame = FrameSurface();
  if (&dst == &frame && !painting_) return;
  const int64_t px = DevicePosition(x, scale_), py = DevicePosition(y, scale_);
  const int dw = DeviceLength(w, scale_), dh = DeviceLength(h, scale_);
  if (composer_.queuing() && (&dst == &frame || &dst == &background)) {
    composer_.Queue(sprites_, &dst == &background, id, px, py, dw, dh);
    return;
  }
  composer_.Drawn(sprites_.Draw(dst, id, px, py, dw, dh));
}

// The sprite count for a new scene. Quantity levels that the settings
// dialog cannot produce are kept to what the 501-entry tables hold; for the
// dialog's levels (2..10) the bounds and the draw are unchanged.
int16_t Scene::LeafCountFromSettings() {
  const int32_t lo = std::clamp(int32_t(c_.settings.min_leaf) * 20, 0, int32_t(kMaxLeafCount));
  const int32_t hi = std::clamp(int32_t(c_.settings.max_leaf) * 20, 0, int32_t(kMaxLeafCount));
  return Clamp16(RandomInt(c_.rng, lo, hi), 0, kMaxLeafCount);
}

// A speed of 0 or below is taken as the lowest the dialog offers. A speed so
// large that a drifting sprite could leave the ground wave's table, or fall
// beyond the 16-bit range, is limited to the largest that cannot: one drift
// step past the right edge must wrap back inside the window.
float Scene::SafeSpeed() const {
  float speed = c_.settings.leaf_speed;
  if (!(speed > 0.0f)) speed = 0.1f;  // NaN too
  const float by_width = (float(width_) + 10.0f) / 6.0f;
  const float by_height = (32767.0f - float(height_) - 202.0f) / 7.0f;
  return std::max(0.1f, std::min({speed, by_width, by_height}));
}

// Reported as "Form_Load". Lines: 10 count, 20 interval, 30 maximize.
void Scene::Start() {
  Procedure p(c_.reporter, "frmMain", "Form_Load");
  p.Step(10, [&] { c_.leaf_count = LeafCountFromSettings(); });
  p.Step(20, [&] {
    float speed = c_.settings.leaf_speed;
    if (!(speed > 0.0f)) speed = 0.1f;
    interval_ = std::max(1, ToInt32(150.0f / speed));
    host_.SetTimerInterval(interval_);
  });
  p.Step(30, [&] { host_.Maximize(); });
}

// The layout. Lines are the steps in order, 10 to 170.
void Scene::LayOut() {
  Procedure p(c_.reporter, "frmMain", "Form_Resize");
  composer_.Invalidate();
  p.Step(10, [&] { host_.EnableTimer(false); });
  p.Step(20, [&] {
    device_width_ = std::max(0, host_.ClientWidth());
    device_height_ = std::max(0, host_.ClientHeight());
    scale_ = SaneScale(host_.DeviceScale());
    width_ = LogicalLength(device_width_, scale_);
    height_ = LogicalLength(device_height_, scale_);
    speed_ = SafeSpeed();
    sprites_.SetScale(scale_);
    background.Resize(device_width_, device_height_);
  });
  p.Step(30, [&] {
    if (c_.settings.random_background) {
      const int16_t i = RandomInt(c_.rng, 0, int32_t(kPaintedKindCount) - 1);
      c_.settings.background_kind = kPaintedKinds[size_t(i)];
    }
  });
  p.Step(40, [&] {
    const int16_t kind = c_.settings.background_kind;
    if ((kind == kBackgroundDesktop || c_.settings.random_background) && !desktop_captured) {
      // A capture that reads nothing leaves black behind.
      background.DropStoredPicture();
      background.Clear();
      host_.CaptureDesktop(background, device_width_, device_height_);
      desktop_snapshot = background.Snapshot();
      desktop_captured = true;
      desktop_seen = !ShowsNothing(background);
    }
  });
  p.Step(50, [&] { PaintBackground(); });
  p.Step(60, [&] {
    gfx::Surface& window = host_.WindowImage();
    gfx::Blit(window, 0, 0, background, background.bounds());
    host_.Refresh();
  });
  p.Step(70, [&] {
    SizeFrameBuffer();
    background.Resize(device_width_, device_height_);
  });
  p.Step(80, [&] {
    const gfx::Surface& window = host_.WindowImage();
    gfx::Blit(FrameSurface(), 0, 0, window, window.bounds());
    background.SetStoredPicture(window.Snapshot());
  });
  // The overlay is laid out in device pixels against the window's edges:
  // the font is at the device scale, the margins are scaled.
  p.Step(90, [&] {
    const gfx::Font& font = host_.SceneFont();
    address_label.width = font.TextWidth(kMakerAddress);
    address_label.height = font.TextHeight(kMakerAddress);
    address_label.left = device_width_ - address_label.width - Dev(3);
    address_label.top = device_height_ - address_label.height;
  });
  p.Step(100, [&] {
    gfx::Blit(host_.WindowImage(), 0, 0, background, background.bounds());
    // The tallest draw: a mushroom of 49, or a line of text (whose damage
    // may be three lines tall).
    composer_.ReserveForHeight(
        std::max(DeviceLength(kTallestSprite, scale_), 3 * address_label.height));
  });
  p.Step(110, [&] { ground_wave.Recreate(ToInt32(W() + 100.0f)); });
  p.Step(120, [&] { ShapeGroundWave(); });
  p.Step(130, [&] { ground_base = ToInt16(double(H()) * 0.9); });
  PaintLeafCarpet(p);
  PlaceLeafSprites(p);
  PlaceMushrooms(p);
  p.Step(170, [&] { host_.EnableTimer(true); });
}

// Five rows of 101 leaves near the bottom edge, each row 15 pixels higher,
// following the ground wave.
void Scene::PaintLeafCarpet(Procedure& p) {
  for (int j = 1; j <= 5 && !p.left(); ++j) {
    for (int i = 0; i <= 100 && !p.left(); ++i) {
      p.Step(140, [&] {
        const int16_t x = RandomInt(c_.rng, -20, ToInt16(W()));
        const int16_t y = ToInt16(H() - float(ground_wave(x)) - float(j * 15));
        const int16_t id = RandomInt(c_.rng, 141, 190);
        const int16_t top = RandomInt(c_.rng, Sub16(y, 20), ToInt16(H() - 30.0f));
        DrawSprite(background, id, float(x), float(top), 32, 32);
      });
    }
  }
}

void Scene::PlaceLeafSprites(Procedure& p) {
  for (int i = 0; i <= c_.leaf_count && !p.left(); ++i) {
    p.Step(150, [&] {
      SpriteRecord& s = leaves.at(size_t(i));
      const int16_t x = RandomInt(c_.rng, -20, ToInt16(W()));
      s.icon_id = Add16(RandomInt(c_.rng, 41, 90), 100);
      s.size = float(RandomInt(c_.rng, 24, 34));
      s.y = float(RandomInt(c_.rng, 0, ToInt16(double(H()) * 0.85)));
      s.x = float(x);
      s.active = false;
      s.matured = false;
    });
  }
}

void Scene::PlaceMushrooms(Procedure& p) {
  for (int i = 0; i <= c_.leaf_count / 3 && !p.left(); ++i) {
    p.Step(160, [&] {
      SpriteRecord& m = mushrooms.at(size_t(i));
      const int16_t x = RandomInt(c_.rng, -10, ToInt16(W()));
      const int16_t h = RandomInt(c_.rng, 20, 60);
      const int16_t y = ToInt16(H() - float(ground_wave(x)) - float(h));
      m.icon_id = Add16(RandomInt(c_.rng, 1, 40), 100);
      m.size = float(RandomInt(c_.rng, 16, 40));
      m.y = float(y);
      m.x = float(x);
      m.active = true;
      m.matured = false;
    });
  }
}

// The frame procedure. Lines: 10 tick, 20 restoring the frame surface from
// the background, 30 mushrooms, 40 leaves (and composing their drawing),
// 50 to 80 overlay, 90 showing the frame, 100 restart test.
//
// While the host says nobody can see the window, a frame runs the rules only:
// the sprites move, settle and mature, the background takes what settles and
// the restart comes on time, with the same random numbers, so the scene goes
// on exactly as if it were watched; composing the frame surface, the overlay
// and presenting rest. The first frame watched again repaints everything.
void Scene::OnFrameTimer() {
  Procedure p(c_.reporter, "frmMain", "tmrAnimation_timer");
  p.Step(10, [&] { tick_now = AsSigned(c_.clock.TickCount()); });
  painting_ = host_.Visible();
  p.Step(20, [&] {
    if (painting_) {
      composer_.Begin(background, FrameSurface(), host_.WindowImage(), rendering_.track_damage);
    } else {
      composer_.BeginUnseen();
    }
  });
  p.Step(30, [&] { GrowMushrooms(); });
  p.Step(40, [&] {
    MoveLeaves();
    composer_.Compose();
  });
  if (painting_) PrintOverlay(p);
  p.Step(90, [&] { composer_.Present(host_); });
  RestartTest(p);
  composer_.End();
  painting_ = true;
}

void Scene::PrintOverlay(Procedure& p) {
  composer_.Compose();  // the text goes over the sprites
  const gfx::Font& font = host_.SceneFont();
  gfx::TextCursor cursor(FrameSurface(), font, gfx::kWhite);
  p.Step(50, [&] { cursor.MoveTo(Dev(5), device_height_ - font.TextHeight("1") - Dev(3)); });
  LocalTime now;
  if (c_.settings.show_date != 0 || c_.settings.show_time != 0) now = c_.clock.Now();
  if (c_.settings.show_date != 0) {
    p.Step(60, [&] { composer_.Printed(cursor.Print(c_.regional.ShortDate(now) + "   ")); });
  }
  if (c_.settings.show_time != 0) {
    p.Step(70, [&] { composer_.Printed(cursor.Print(c_.regional.TimeOfDay(now))); });
  }
  p.Step(80, [&] {
    cursor.MoveTo(address_label.left, address_label.top - Dev(1));
    composer_.Printed(cursor.Print(kMakerAddress));
  });
}

// The restart test. The elapsed time is taken modulo 2^32, so the tick
// count's wrap-around after 24.8 and 49.7 days neither fails nor stops the
// restarts, and the limit is formed in 64 bits.
void Scene::RestartTest(Procedure& p) {
  p.Step(100, [&] {
    const int64_t elapsed = int64_t(uint32_t(tick_now) - uint32_t(last_restart));
    const int64_t limit = int64_t(c_.settings.restart_seconds) * 1000;
    if (!(elapsed > limit && c_.settings.auto_restart != 0)) return;
    if (last_restart != 0) {
      host_.EnableTimer(false);
      background.DropStoredPicture();
      frame_buffer.DropStoredPicture();
      c_.leaf_count = LeafCountFromSettings();
      wave_amplitude = 0;
      mature_count = 0;
      LayOut();
    }
    last_restart = tick_now;
  });
}

// The falling leaf sprites. Lines: 10 landing depth, 20 settling, 30 fall,
// 40 drift, 50 wrap, 60 draw.
void Scene::MoveLeaves() {
  Procedure p(c_.reporter, "frmMain", "Blaetter");
  const int count = std::min<int>(c_.leaf_count, kMaxLeafCount);
  for (int i = 0; i <= count && !p.left(); ++i) {
    SpriteRecord& s = leaves[size_t(i)];
    bool settles = false;
    if (s.y > float(landing_line)) {
      p.Step(10, [&] {
        const int32_t col = ToInt32(s.x);
        const int16_t depth =
            Add16(Sub16(ground_base, ground_wave(col)), RandomInt(c_.rng, 30, 100));
        settles = s.y > float(depth);
      });
    }
    if (settles) {
      p.Step(20, [&] {
        if (i % 2 == 0) s.y = float(RandomInt(c_.rng, ToInt16(s.y), ToInt16(H() - 20.0f)));
        DrawSprite(FrameSurface(), s.icon_id, s.x, s.y + 2.0f, int(s.size), int(s.size));
        DrawSprite(background, s.icon_id, s.x, s.y + 2.0f, int(s.size), int(s.size));
        s.icon_id = RandomInt(c_.rng, 141, 190);
        s.y = -10.0f;
        s.size = float(RandomInt(c_.rng, 24, 34));
        s.x = float(RandomInt(c_.rng, 0, ToInt16(W())));
      });
    }
    p.Step(30, [&] { s.y = float(RandomInt(c_.rng, -3, ToInt16(speed_ * 7.0f))) + s.y + 2.0f; });
    p.Step(40, [&] { s.x = float(RandomInt(c_.rng, -3, 6)) * speed_ + s.x; });
    p.Step(50, [&] {
      if (s.x > W()) s.x = s.x - W() - 10.0f;
      if (s.x < 0.0f) s.x = W() - 5.0f;
    });
    p.Step(60, [&] { DrawSprite(FrameSurface(), s.icon_id, s.x, s.y, int(s.size), int(s.size)); });
  }
}

// The mushrooms. Lines: 10 activation, 20 growth, 30 maturing, 40 raising
// the ground, 50 strewing leaves, 60 rebirth.
void Scene::GrowMushrooms() {
  Procedure p(c_.reporter, "frmMain", "Pilze");
  const int count = std::min<int>(c_.leaf_count, kMaxLeafCount) / 3;
  for (int i = 0; i <= count && !p.left(); ++i) {
    SpriteRecord& m = mushrooms[size_t(i)];
    if (!m.active) {
      m.active = true;
      continue;
    }
    if (!m.matured) {
      if (m.size >= 48.0f) continue;
      int16_t s = 0;
      p.Step(20, [&] {
        const float g = float(double(RandomInt(c_.rng, 10, 50)) * 0.0004 * double(speed_));
        m.size = g + m.size;
        m.y = m.y - g;
        s = ToInt16(m.size + 1.0f);
        DrawSprite(FrameSurface(), m.icon_id, m.x, m.y, s, s);
      });
      if (m.size > 42.0f) p.Step(30, [&] { MatureInto(m, s); });
    } else {
      p.Step(40, [&] {
        ground_base = Sub16(ground_base, 1);
        landing_line = Sub16(landing_line, 1);
        mature_count = Add16(mature_count, 1);
        if (mature_count > 3000) mature_count = 0;
        if (mature_count % 20 == 0) ShapeGroundWave();
        if (ground_base < 10) ground_base = 100;
      });
      for (int j = 0; j <= 10 && !p.left(); ++j) {
        p.Step(50, [&] {
          const int16_t x = RandomInt(c_.rng, -5, ToInt16(W() - 10.0f));
          const int16_t y = Add16(Sub16(ground_base, ground_wave(x)), 30);
          const int16_t a = RandomInt(c_.rng, 141, 190);
          DrawSprite(background, a, float(x), float(y), 32, 30);
        });
      }
      p.Step(60, [&] { RaiseGroundAndRebirth(m); });
    }
  }
}

// The mushroom goes into the background, one leaf under it and one over it.
void Scene::MatureInto(SpriteRecord& m, int16_t s) {
  m.matured = true;
  m.y = m.y - 2.0f;
  const int16_t a = RandomInt(c_.rng, 141, 190);
  int16_t dx = RandomInt(c_.rng, -20, 20);
  int16_t dy = RandomInt(c_.rng, 10, 35);
  DrawSprite(background, a, float(dx) + m.x, float(dy) + m.y, 32, 28);
  DrawSprite(background, m.icon_id, m.x, m.y, s, s);
  const int16_t b = RandomInt(c_.rng, 141, 190);
  dx = RandomInt(c_.rng, -20, 20);
  dy = RandomInt(c_.rng, 15, 44);
  DrawSprite(background, b, float(dx) + m.x, float(dy) + m.y, 32, 26);
}

void Scene::RaiseGroundAndRebirth(SpriteRecord& m) {
  m.matured = false;
  m.active = false;
  m.x = float(RandomInt(c_.rng, -10, ToInt16(W() + 20.0f)));
  const int32_t col = ToInt32(m.x);
  m.y = float(
      RandomInt(c_.rng, Add16(Sub16(ground_base, ground_wave(col)), 60), ToInt16(H() - 30.0f)));
  m.icon_id = Add16(RandomInt(c_.rng, 1, 40), 100);
  m.size = float(RandomInt(c_.rng, 5, 15));
}

// The ground wave. Lines: 10 new wave or drift, 20 amplitude, 30 ground
// base, 40 landing line, 50 the table.
void Scene::ShapeGroundWave() {
  Procedure p(c_.reporter, "frmMain", "SinusY");
  p.Step(10, [&] {
    if (wave_amplitude == 0) {
      wave_amplitude = RandomInt(c_.rng, 30, 60);
      wave_frequency = RandomInt(c_.rng, 2, 10);
      wave_phase = RandomInt(c_.rng, 1, 80);
    } else {
      wave_drift = RandomInt(c_.rng, -3, 5);
      wave_frequency =
          Clamp16(Add16(wave_frequency, RandomInt(c_.rng, -2, 1)), -kWaveLimit, kWaveLimit);
      wave_phase = Clamp16(Add16(wave_phase, RandomInt(c_.rng, -2, 2)), -kWaveLimit, kWaveLimit);
    }
  });
  p.Step(20, [&] {
    wave_amplitude = Clamp16(Add16(wave_amplitude, wave_drift), -kWaveLimit, kWaveLimit);
  });
  p.Step(30, [&] {
    ground_base = Clamp16(Add16(ground_base, Mul16(wave_drift, 5)), -kWaveLimit, kWaveLimit);
  });
  p.Step(40, [&] { landing_line = Add16(ground_base, wave_amplitude); });
  p.Step(50, [&] {
    const int32_t last = std::min(ToInt32(W() + 100.0f), ground_wave.last());
    const double h = double(wave_amplitude / 2);
    const double f = double(wave_frequency) / 10.0;
    for (int32_t x = -100; x <= last; ++x) {
      const double angle = f * double(Add16(x, wave_phase)) * 3.14 / 180.0;
      ground_wave(x) = ToInt16(h * std::sin(angle));
    }
  });
}

// The background, over every device pixel. Lines: 10 black, 20 gradient
// strips, 30 desktop, 40 the user's picture.
void Scene::PaintBackground() {
  Procedure p(c_.reporter, "frmMain", "Hintergrund");
  int16_t kind = c_.settings.background_kind;
  // Rather the blue sky than a black or broken picture of no desktop.
  if (kind == kBackgroundDesktop && !desktop_seen) kind = kBackgroundBlue;
  const BackgroundKind* row = BackgroundKindOf(kind);
  if (!row) return;
  switch (row->painting) {
    case BackgroundPainting::kBlack:
      p.Step(10, [&] { background.Clear(); });
      break;
    case BackgroundPainting::kGradient:
      p.Step(20, [&] {
        gradient_picture = c_.resources.Bitmap(row->gradient_bitmap);
        const int16_t t =
            CheckInt16(Div32(gradient_picture->WidthHimetric(), host_.TwipsPerPixelX()));
        if (t <= 0) return;
        // Strips t logical pixels wide, their edges rounded to device
        // pixels so that they meet, down the whole window.
        int16_t i = 0;
        do {
          const int32_t left = Mul16(i, t);
          const int x0 = Dev(left), x1 = Dev(left + t);
          gfx::DrawStretched(background, *gradient_picture,
                             gfx::Rect{x0, 0, x1 - x0, device_height_});
          i = Add16(i, 1);
        } while (!(Mul16(i, t) > width_));
      });
      break;
    case BackgroundPainting::kDesktop:
      p.Step(30, [&] {
        background.SetStoredPicture(desktop_snapshot);
        background.Clear();
      });
      break;
    case BackgroundPainting::kPicture:
      p.Step(40, [&] {
        // An empty name loads an empty picture: the background stays black.
        if (c_.settings.picture_file.empty()) {
          background.DropStoredPicture();
          background.Clear();
          return;
        }
        const std::vector<uint8_t> bytes = c_.files.ReadFile(c_.settings.picture_file);
        const gfx::ImageRef picture = gfx::DecodePicture(bytes);
        gfx::DrawStretched(background, *picture, gfx::Rect{0, 0, device_width_, device_height_});
      });
      break;
    default:
      break;
  }
}

}  // namespace sarvel
