#include "app/scene/scene.h"

#include <algorithm>
#include <cmath>

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
  picBG.set_back_color(gfx::kBlack);
  picBuffer.set_back_color(gfx::kWhite);
}

gfx::Surface& Scene::FrameSurface() {
  return rendering_.track_damage ? host_.WindowImage() : picBuffer;
}

// picBuffer has the window's size while frames are composed in it; otherwise
// (the window's image has that size already) it keeps no memory.
void Scene::SizeFrameBuffer() {
  const bool own_buffer = &FrameSurface() == &picBuffer;
  picBuffer.Resize(own_buffer ? device_width_ : 0, own_buffer ? device_height_ : 0);
}

void Scene::set_rendering(Rendering r) {
  rendering_ = r;
  SizeFrameBuffer();
  sprites_.set_enabled(r.cache_sprites);
  composer_.Invalidate();
}

// A sprite at logical (x, y), w x h logical pixels, drawn in device pixels.
// During a frame the draw waits for the composer; into picBuffer while nobody
// looks it is left out. What goes into picBG always goes in: it is the
// scene's state.
void Scene::DrawSprite(gfx::Surface& dst, int id, float x, float y, int w, int h) {
  gfx::Surface& frame = FrameSurface();
  if (&dst == &frame && !painting_) return;
  const int64_t px = DevicePosition(x, scale_), py = DevicePosition(y, scale_);
  const int dw = DeviceLength(w, scale_), dh = DeviceLength(h, scale_);
  if (composer_.queuing() && (&dst == &frame || &dst == &picBG)) {
    composer_.Queue(sprites_, &dst == &picBG, id, px, py, dw, dh);
    return;
  }
  composer_.Drawn(sprites_.Draw(dst, id, px, py, dw, dh));
}

// The sprite count for a new scene. Quantity levels that the settings
// dialog cannot produce are kept to what the 501-entry tables hold; for the
// dialog's levels (2..10) the bounds and the draw are unchanged.
int16_t Scene::LeafCountFromSettings() {
  const int32_t lo = std::clamp(int32_t(c_.settings.MinLeaf) * 20, 0, int32_t(kMaxLeafCount));
  const int32_t hi = std::clamp(int32_t(c_.settings.MaxLeaf) * 20, 0, int32_t(kMaxLeafCount));
  return Clamp16(RandomInt(c_.rng, lo, hi), 0, kMaxLeafCount);
}

// A speed of 0 or below is taken as the lowest the dialog offers. A speed so
// large that a drifting sprite could leave the ground wave's table, or fall
// beyond the 16-bit range, is limited to the largest that cannot: one drift
// step past the right edge must wrap back inside the window.
float Scene::SafeSpeed() const {
  float speed = c_.settings.LeafSpeed;
  if (!(speed > 0.0f)) speed = 0.1f;  // NaN too
  const float by_width = (float(width_) + 10.0f) / 6.0f;
  const float by_height = (32767.0f - float(height_) - 202.0f) / 7.0f;
  return std::max(0.1f, std::min({speed, by_width, by_height}));
}

// Reported as "Form_Load". Lines: 10 count, 20 interval, 30 maximize.
void Scene::Start() {
  Procedure p(c_.reporter, "frmMain", "Form_Load");
  p.Step(10, [&] { c_.LeafCount = LeafCountFromSettings(); });
  p.Step(20, [&] {
    float speed = c_.settings.LeafSpeed;
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
    picBG.Resize(device_width_, device_height_);
  });
  p.Step(30, [&] {
    if (c_.settings.RandomBackground) c_.settings.BackgroundKind = RandomInt(c_.rng, 1, 5);
  });
  p.Step(40, [&] {
    const int16_t kind = c_.settings.BackgroundKind;
    if ((kind == kBackgroundDesktop || c_.settings.RandomBackground) && !DesktopCaptured) {
      // A capture that reads nothing leaves black behind.
      picBG.DropStoredPicture();
      picBG.Clear();
      host_.CaptureDesktop(picBG, device_width_, device_height_);
      imgBG = picBG.Snapshot();
      DesktopCaptured = true;
      DesktopSeen = !ShowsNothing(picBG);
    }
  });
  p.Step(50, [&] { PaintBackground(); });
  p.Step(60, [&] {
    gfx::Surface& window = host_.WindowImage();
    gfx::Blit(window, 0, 0, picBG, picBG.bounds());
    host_.Refresh();
  });
  p.Step(70, [&] {
    SizeFrameBuffer();
    picBG.Resize(device_width_, device_height_);
  });
  p.Step(80, [&] {
    const gfx::Surface& window = host_.WindowImage();
    gfx::Blit(FrameSurface(), 0, 0, window, window.bounds());
    picBG.SetStoredPicture(window.Snapshot());
  });
  // The overlay is laid out in device pixels against the window's edges:
  // the font is at the device scale, the margins are scaled.
  p.Step(90, [&] {
    const gfx::Font& font = host_.SceneFont();
    lblURL.width = font.TextWidth(kMakerAddress);
    lblURL.height = font.TextHeight(kMakerAddress);
    lblURL.left = device_width_ - lblURL.width - Dev(3);
    lblURL.top = device_height_ - lblURL.height;
  });
  p.Step(100, [&] {
    gfx::Blit(host_.WindowImage(), 0, 0, picBG, picBG.bounds());
    // The tallest draw: a mushroom of 49, or a line of text (whose damage
    // may be three lines tall).
    composer_.ReserveForHeight(std::max(DeviceLength(kTallestSprite, scale_), 3 * lblURL.height));
  });
  p.Step(110, [&] { GroundWave.Recreate(ToInt32(W() + 100.0f)); });
  p.Step(120, [&] { ShapeGroundWave(); });
  p.Step(130, [&] { GroundBase = ToInt16(double(H()) * 0.9); });
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
        const int16_t y = ToInt16(H() - float(GroundWave(x)) - float(j * 15));
        const int16_t id = RandomInt(c_.rng, 141, 190);
        const int16_t top = RandomInt(c_.rng, Sub16(y, 20), ToInt16(H() - 30.0f));
        DrawSprite(picBG, id, float(x), float(top), 32, 32);
      });
    }
  }
}

void Scene::PlaceLeafSprites(Procedure& p) {
  for (int i = 0; i <= c_.LeafCount && !p.left(); ++i) {
    p.Step(150, [&] {
      SpriteRecord& s = LeafSprites.at(size_t(i));
      const int16_t x = RandomInt(c_.rng, -20, ToInt16(W()));
      s.IconId = Add16(RandomInt(c_.rng, 41, 90), 100);
      s.Size = float(RandomInt(c_.rng, 24, 34));
      s.Y = float(RandomInt(c_.rng, 0, ToInt16(double(H()) * 0.85)));
      s.X = float(x);
      s.Active = false;
      s.Matured = false;
    });
  }
}

void Scene::PlaceMushrooms(Procedure& p) {
  for (int i = 0; i <= c_.LeafCount / 3 && !p.left(); ++i) {
    p.Step(160, [&] {
      SpriteRecord& m = Mushrooms.at(size_t(i));
      const int16_t x = RandomInt(c_.rng, -10, ToInt16(W()));
      const int16_t h = RandomInt(c_.rng, 20, 60);
      const int16_t y = ToInt16(H() - float(GroundWave(x)) - float(h));
      m.IconId = Add16(RandomInt(c_.rng, 1, 40), 100);
      m.Size = float(RandomInt(c_.rng, 16, 40));
      m.Y = float(y);
      m.X = float(x);
      m.Active = true;
      m.Matured = false;
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
  p.Step(10, [&] { TickNow = AsSigned(c_.clock.TickCount()); });
  painting_ = host_.Visible();
  p.Step(20, [&] {
    if (painting_) {
      composer_.Begin(picBG, FrameSurface(), host_.WindowImage(), rendering_.track_damage);
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
  if (c_.settings.ShowDate != 0 || c_.settings.ShowTime != 0) now = c_.clock.Now();
  if (c_.settings.ShowDate != 0) {
    p.Step(60, [&] { composer_.Printed(cursor.Print(c_.regional.ShortDate(now) + "   ")); });
  }
  if (c_.settings.ShowTime != 0) {
    p.Step(70, [&] { composer_.Printed(cursor.Print(c_.regional.TimeOfDay(now))); });
  }
  p.Step(80, [&] {
    cursor.MoveTo(lblURL.left, lblURL.top - Dev(1));
    composer_.Printed(cursor.Print(kMakerAddress));
  });
}

// The restart test. The elapsed time is taken modulo 2^32, so the tick
// count's wrap-around after 24.8 and 49.7 days neither fails nor stops the
// restarts, and the limit is formed in 64 bits.
void Scene::RestartTest(Procedure& p) {
  p.Step(100, [&] {
    const int64_t elapsed = int64_t(uint32_t(TickNow) - uint32_t(LastRestart));
    const int64_t limit = int64_t(c_.settings.RestartSeconds) * 1000;
    if (!(elapsed > limit && c_.settings.AutoRestart != 0)) return;
    if (LastRestart != 0) {
      host_.EnableTimer(false);
      picBG.DropStoredPicture();
      picBuffer.DropStoredPicture();
      c_.LeafCount = LeafCountFromSettings();
      WaveAmplitude = 0;
      MatureCount = 0;
      LayOut();
    }
    LastRestart = TickNow;
  });
}

// The falling leaf sprites. Lines: 10 landing depth, 20 settling, 30 fall,
// 40 drift, 50 wrap, 60 draw.
void Scene::MoveLeaves() {
  Procedure p(c_.reporter, "frmMain", "Blaetter");
  const int count = std::min<int>(c_.LeafCount, kMaxLeafCount);
  for (int i = 0; i <= count && !p.left(); ++i) {
    SpriteRecord& s = LeafSprites[size_t(i)];
    bool settles = false;
    if (s.Y > float(LandingLine)) {
      p.Step(10, [&] {
        const int32_t col = ToInt32(s.X);
        const int16_t depth = Add16(Sub16(GroundBase, GroundWave(col)), RandomInt(c_.rng, 30, 100));
        settles = s.Y > float(depth);
      });
    }
    if (settles) {
      p.Step(20, [&] {
        if (i % 2 == 0) s.Y = float(RandomInt(c_.rng, ToInt16(s.Y), ToInt16(H() - 20.0f)));
        DrawSprite(FrameSurface(), s.IconId, s.X, s.Y + 2.0f, int(s.Size), int(s.Size));
        DrawSprite(picBG, s.IconId, s.X, s.Y + 2.0f, int(s.Size), int(s.Size));
        s.IconId = RandomInt(c_.rng, 141, 190);
        s.Y = -10.0f;
        s.Size = float(RandomInt(c_.rng, 24, 34));
        s.X = float(RandomInt(c_.rng, 0, ToInt16(W())));
      });
    }
    p.Step(30, [&] { s.Y = float(RandomInt(c_.rng, -3, ToInt16(speed_ * 7.0f))) + s.Y + 2.0f; });
    p.Step(40, [&] { s.X = float(RandomInt(c_.rng, -3, 6)) * speed_ + s.X; });
    p.Step(50, [&] {
      if (s.X > W()) s.X = s.X - W() - 10.0f;
      if (s.X < 0.0f) s.X = W() - 5.0f;
    });
    p.Step(60, [&] { DrawSprite(FrameSurface(), s.IconId, s.X, s.Y, int(s.Size), int(s.Size)); });
  }
}

// The mushrooms. Lines: 10 activation, 20 growth, 30 maturing, 40 raising
// the ground, 50 strewing leaves, 60 rebirth.
void Scene::GrowMushrooms() {
  Procedure p(c_.reporter, "frmMain", "Pilze");
  const int count = std::min<int>(c_.LeafCount, kMaxLeafCount) / 3;
  for (int i = 0; i <= count && !p.left(); ++i) {
    SpriteRecord& m = Mushrooms[size_t(i)];
    if (!m.Active) {
      m.Active = true;
      continue;
    }
    if (!m.Matured) {
      if (m.Size >= 48.0f) continue;
      int16_t s = 0;
      p.Step(20, [&] {
        const float g = float(double(RandomInt(c_.rng, 10, 50)) * 0.0004 * double(speed_));
        m.Size = g + m.Size;
        m.Y = m.Y - g;
        s = ToInt16(m.Size + 1.0f);
        DrawSprite(FrameSurface(), m.IconId, m.X, m.Y, s, s);
      });
      if (m.Size > 42.0f) p.Step(30, [&] { MatureInto(m, s); });
    } else {
      p.Step(40, [&] {
        GroundBase = Sub16(GroundBase, 1);
        LandingLine = Sub16(LandingLine, 1);
        MatureCount = Add16(MatureCount, 1);
        if (MatureCount > 3000) MatureCount = 0;
        if (MatureCount % 20 == 0) ShapeGroundWave();
        if (GroundBase < 10) GroundBase = 100;
      });
      for (int j = 0; j <= 10 && !p.left(); ++j) {
        p.Step(50, [&] {
          const int16_t x = RandomInt(c_.rng, -5, ToInt16(W() - 10.0f));
          const int16_t y = Add16(Sub16(GroundBase, GroundWave(x)), 30);
          const int16_t a = RandomInt(c_.rng, 141, 190);
          DrawSprite(picBG, a, float(x), float(y), 32, 30);
        });
      }
      p.Step(60, [&] { RaiseGroundAndRebirth(m); });
    }
  }
}

// The mushroom goes into the background, one leaf under it and one over it.
void Scene::MatureInto(SpriteRecord& m, int16_t s) {
  m.Matured = true;
  m.Y = m.Y - 2.0f;
  const int16_t a = RandomInt(c_.rng, 141, 190);
  int16_t dx = RandomInt(c_.rng, -20, 20);
  int16_t dy = RandomInt(c_.rng, 10, 35);
  DrawSprite(picBG, a, float(dx) + m.X, float(dy) + m.Y, 32, 28);
  DrawSprite(picBG, m.IconId, m.X, m.Y, s, s);
  const int16_t b = RandomInt(c_.rng, 141, 190);
  dx = RandomInt(c_.rng, -20, 20);
  dy = RandomInt(c_.rng, 15, 44);
  DrawSprite(picBG, b, float(dx) + m.X, float(dy) + m.Y, 32, 26);
}

void Scene::RaiseGroundAndRebirth(SpriteRecord& m) {
  m.Matured = false;
  m.Active = false;
  m.X = float(RandomInt(c_.rng, -10, ToInt16(W() + 20.0f)));
  const int32_t col = ToInt32(m.X);
  m.Y =
      float(RandomInt(c_.rng, Add16(Sub16(GroundBase, GroundWave(col)), 60), ToInt16(H() - 30.0f)));
  m.IconId = Add16(RandomInt(c_.rng, 1, 40), 100);
  m.Size = float(RandomInt(c_.rng, 5, 15));
}

// The ground wave. Lines: 10 new wave or drift, 20 amplitude, 30 ground
// base, 40 landing line, 50 the table.
void Scene::ShapeGroundWave() {
  Procedure p(c_.reporter, "frmMain", "SinusY");
  p.Step(10, [&] {
    if (WaveAmplitude == 0) {
      WaveAmplitude = RandomInt(c_.rng, 30, 60);
      WaveFrequency = RandomInt(c_.rng, 2, 10);
      WavePhase = RandomInt(c_.rng, 1, 80);
    } else {
      WaveDrift = RandomInt(c_.rng, -3, 5);
      WaveFrequency =
          Clamp16(Add16(WaveFrequency, RandomInt(c_.rng, -2, 1)), -kWaveLimit, kWaveLimit);
      WavePhase = Clamp16(Add16(WavePhase, RandomInt(c_.rng, -2, 2)), -kWaveLimit, kWaveLimit);
    }
  });
  p.Step(20, [&] {
    WaveAmplitude = Clamp16(Add16(WaveAmplitude, WaveDrift), -kWaveLimit, kWaveLimit);
  });
  p.Step(30, [&] {
    GroundBase = Clamp16(Add16(GroundBase, Mul16(WaveDrift, 5)), -kWaveLimit, kWaveLimit);
  });
  p.Step(40, [&] { LandingLine = Add16(GroundBase, WaveAmplitude); });
  p.Step(50, [&] {
    const int32_t last = std::min(ToInt32(W() + 100.0f), GroundWave.last());
    const double h = double(WaveAmplitude / 2);
    const double f = double(WaveFrequency) / 10.0;
    for (int32_t x = -100; x <= last; ++x) {
      const double angle = f * double(Add16(x, WavePhase)) * 3.14 / 180.0;
      GroundWave(x) = ToInt16(h * std::sin(angle));
    }
  });
}

// The background, over every device pixel. Lines: 10 black, 20 gradient
// strips, 30 desktop, 40 the user's picture.
void Scene::PaintBackground() {
  Procedure p(c_.reporter, "frmMain", "Hintergrund");
  int16_t kind = c_.settings.BackgroundKind;
  // Rather the blue sky than a black or broken picture of no desktop.
  if (kind == kBackgroundDesktop && !DesktopSeen) kind = kBackgroundBlue;
  switch (kind) {
    case kBackgroundBlack:
      p.Step(10, [&] { picBG.Clear(); });
      break;
    case kBackgroundBlue:
    case kBackgroundBrown:
      p.Step(20, [&] {
        GradientPicture = c_.resources.Bitmap(kind + 100);
        const int16_t t =
            CheckInt16(Div32(GradientPicture->WidthHimetric(), host_.TwipsPerPixelX()));
        if (t <= 0) return;
        // Strips t logical pixels wide, their edges rounded to device
        // pixels so that they meet, down the whole window.
        int16_t i = 0;
        do {
          const int32_t left = Mul16(i, t);
          const int x0 = Dev(left), x1 = Dev(left + t);
          gfx::DrawStretched(picBG, *GradientPicture, gfx::Rect{x0, 0, x1 - x0, device_height_});
          i = Add16(i, 1);
        } while (!(Mul16(i, t) > width_));
      });
      break;
    case kBackgroundDesktop:
      p.Step(30, [&] {
        picBG.SetStoredPicture(imgBG);
        picBG.Clear();
      });
      break;
    case kBackgroundPicture:
      p.Step(40, [&] {
        // An empty name loads an empty picture: the background stays black.
        if (c_.settings.PicFile.empty()) {
          picBG.DropStoredPicture();
          picBG.Clear();
          return;
        }
        const std::vector<uint8_t> bytes = c_.files.ReadFile(c_.settings.PicFile);
        const gfx::ImageRef picture = gfx::DecodePicture(bytes);
        gfx::DrawStretched(picBG, *picture, gfx::Rect{0, 0, device_width_, device_height_});
      });
      break;
    default:
      break;
  }
}

}  // namespace sarvel
