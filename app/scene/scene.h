// The animated autumn scene of the scene form: its state, the layout that builds a
// fresh scene, the frame procedure and the painters for background,
// mushrooms, leaf sprites and the ground wave.
//
// The scene reaches process-wide state only through what it is handed (the
// settings record, leaf_count, the random generator, the reporter), so two
// scenes given one seed render the same frames side by side.
//
// Its rules (every size, step, position, wave and random draw) are in
// logical pixels of a 96-DPI screen; it draws at the host's device scale.
// So one seed gives the same sprite records at every scale, and at scale 1
// the pixels are those of a scene that knows no scale.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/scene/device_scale.h"
#include "app/scene/frame_composer.h"
#include "app/scene/sprite_cache.h"
#include "app/settings.h"
#include "core/base/random.h"
#include "core/gfx/image.h"
#include "core/gfx/surface.h"
#include "core/ports/clock.h"
#include "core/ports/file_system.h"
#include "core/ports/regional.h"
#include "core/ports/resource_library.h"
#include "core/ports/scene_host.h"
#include "core/report/error_reporter.h"

namespace sarvel {

// One leaf sprite or mushroom.
struct SpriteRecord {
  float x = 0.0f;
  float y = 0.0f;
  float size = 0.0f;
  int16_t icon_id = 0;
  bool active = false;   // a mushroom that takes part in the frame
  bool matured = false;  // drawn into the background, waiting for rebirth
};

inline constexpr int kSpriteTableSize = 501;  // indices 0..500
inline constexpr int16_t kMaxLeafCount = 500;
// The wave's parameters drift without end while no restart resets them;
// beyond these bounds nothing on screen changes any more, but the 16-bit
// arithmetic would fail, so they stop here.
inline constexpr int16_t kWaveLimit = 16000;

// ground_wave: one vertical offset per pixel column, indices -100 .. W + 100.
class GroundWaveTable {
 public:
  void Recreate(int32_t last_index);  // all zero
  int16_t& operator()(int32_t x);     // raises Err::kSubscriptOutOfRange outside
  int32_t first() const { return -100; }
  int32_t last() const { return last_; }

 private:
  int32_t last_ = -101;
  std::vector<int16_t> values_;
};

// What the scene is handed.
struct SceneContext {
  SaverSettings& settings;
  int16_t& leaf_count;
  RandomSource& rng;
  ErrorReporter& reporter;
  ResourceLibrary& resources;
  Clock& clock;
  Regional& regional;
  FileSystem& files;
};

// The label that marks where the web address is printed, in device pixels.
struct Label {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// How frames are put together. The defaults are the fast way; the other
// settings give the same pixels the simple way, for comparison.
struct Rendering {
  // Each frame restores, and presents, only what changed since the last one;
  // off, every frame copies the whole background and the whole frame.
  bool track_damage = true;
  // Sprites are scaled once per size and kept; off, every draw scales afresh.
  bool cache_sprites = true;
};

class Scene {
 public:
  Scene(SceneContext context, SceneHost& host);

  // Draws the sprite count, sets the frame interval and maximizes the window.
  void Start();
  // Builds a fresh scene for the window's size.
  void LayOut();
  // One frame, and the restart when its time has come.
  void OnFrameTimer();
  // The falling leaf sprites: fall, drift, settle into the background.
  void MoveLeaves();
  // Paints the chosen background into background.
  void PaintBackground();
  // The mushrooms: growth, maturing into the background, rebirth.
  void GrowMushrooms();
  // Drifts the wave's parameters and recomputes the ground wave table.
  void ShapeGroundWave();

  // Scene state.
  std::array<SpriteRecord, kSpriteTableSize> leaves{};
  std::array<SpriteRecord, kSpriteTableSize> mushrooms{};
  GroundWaveTable ground_wave;
  int16_t ground_base = 0;
  int16_t landing_line = 0;
  int16_t wave_amplitude = 0;
  int16_t mature_count = 0;
  int32_t tick_now = 0;
  gfx::ImageRef gradient_picture;
  // Kept across every layout and restart.
  bool desktop_captured = false;
  // The capture showed a desktop; kind 4 paints the blue gradient without.
  bool desktop_seen = false;
  int32_t last_restart = 0;
  int16_t wave_frequency = 0;
  int16_t wave_phase = 0;
  int16_t wave_drift = 0;

  // The background and the frame, in device pixels, as large as the window.
  gfx::Surface background;
  gfx::Surface frame_buffer;
  // Where frames are composed: frame_buffer when every frame copies everything;
  // with damage tracking the window's own image, so that what changed is not
  // copied once more (between frames the two hold the same picture anyway).
  gfx::Surface& FrameSurface();
  gfx::ImageRef desktop_snapshot;
  Label address_label;
  int32_t timer_interval() const { return interval_; }
  // The speed the frame rules use: the setting, kept within what the
  // arithmetic of this window size can take.
  float speed() const { return speed_; }

  // Takes effect at the next frame, which repaints everything.
  void set_rendering(Rendering r);
  Rendering rendering() const { return rendering_; }
  const SpriteCache& sprites() const { return sprites_; }
  const FrameComposer& composer() const { return composer_; }

  // The layout's size: logical (the rules' pixels, 96 to the inch) and of
  // the window in device pixels, and the device pixels per logical pixel.
  // The logical size is the device size divided by the scale, rounded up
  // (see LogicalLength): it covers every device pixel.
  int width() const { return width_; }
  int height() const { return height_; }
  int device_width() const { return device_width_; }
  int device_height() const { return device_height_; }
  double scale() const { return scale_; }

 private:
  float W() const { return float(width_); }
  float H() const { return float(height_); }
  // A logical length or offset in device pixels.
  int Dev(int logical) const { return DeviceOffset(logical, scale_); }
  int16_t LeafCountFromSettings();
  float SafeSpeed() const;
  void DrawSprite(gfx::Surface& dst, int id, float x, float y, int w, int h);
  void PaintLeafCarpet(class Procedure& p);
  void PlaceLeafSprites(class Procedure& p);
  void PlaceMushrooms(class Procedure& p);
  void PrintOverlay(class Procedure& p);
  void SizeFrameBuffer();
  void RestartTest(class Procedure& p);
  void MatureInto(SpriteRecord& m, int16_t s);
  void RaiseGroundAndRebirth(SpriteRecord& m);

  SceneContext c_;
  SceneHost& host_;
  SpriteCache sprites_;
  FrameComposer composer_;
  Rendering rendering_;
  bool painting_ = true;  // this frame composes frame_buffer: someone looks
  int width_ = 0;         // logical
  int height_ = 0;
  int device_width_ = 0;
  int device_height_ = 0;
  double scale_ = 1.0;
  int32_t interval_ = 0;
  float speed_ = 10.0f;
};

}  // namespace sarvel
