#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "app/dialogs/config_mappings.h"

namespace sarvel {
namespace {

TEST(ConfigMappings, NumberSliderShowsEachMaxLeafWithHalvesToEven) {
  const int16_t expected[] = {1, 12, 25, 38, 50, 62, 75, 88, 100};
  for (int16_t max_leaf = 2; max_leaf <= 10; ++max_leaf)
    EXPECT_EQ(MaxLeafToPosition(max_leaf), expected[max_leaf - 2]) << max_leaf;
}

TEST(ConfigMappings, NumberSliderPositionsSaveInTheirBands) {
  // The first position of each band of max_leaf 2..10.
  const int16_t band_start[] = {1, 7, 19, 32, 44, 57, 69, 82, 94, 101};
  for (int16_t max_leaf = 2; max_leaf <= 10; ++max_leaf) {
    for (int16_t pos = band_start[max_leaf - 2]; pos < band_start[max_leaf - 1]; ++pos)
      EXPECT_EQ(PositionToMaxLeaf(pos), max_leaf) << "position " << pos;
  }
  EXPECT_EQ(PositionToMaxLeaf(43), 5);
  EXPECT_EQ(PositionToMaxLeaf(44), 6);
}

TEST(ConfigMappings, EverySpeedPositionRoundTripsThroughSinglePrecision) {
  for (int16_t pos = 1; pos <= 100; ++pos) {
    const float speed = PositionToLeafSpeed(pos);
    EXPECT_FLOAT_EQ(speed, float(pos) / 10.0f);
    EXPECT_EQ(LeafSpeedToPosition(speed), pos);
  }
}

TEST(ConfigMappings, StoredValuesOutsideTheControlsAreClamped) {
  for (auto [max_leaf, position] : {std::pair{11, 100}, {32767, 100}, {1, 1}, {-32768, 1}})
    EXPECT_EQ(MaxLeafToPosition(int16_t(max_leaf)), position) << max_leaf;

  const float inf = std::numeric_limits<float>::infinity();
  // 0.04 rounds to position 0; 3.4e38 x 10 is beyond the float range.
  const std::pair<float, int> speeds[] = {{0.0f, 1},  {0.04f, 1},          {-3.0f, 1},
                                          {-inf, 1},  {10.04f, 100},       {3.4e38f, 100},
                                          {inf, 100}, {std::nanf(""), 100}};
  for (auto [speed, position] : speeds) EXPECT_EQ(LeafSpeedToPosition(speed), position) << speed;

  const int32_t max = std::numeric_limits<int32_t>::max(), min = -max - 1;
  const std::pair<int32_t, int> seconds[] = {{630, 10},  {119, 1},   {59, 1},   {0, 1},  {-600, 1},
                                             {5999, 99}, {6000, 99}, {max, 99}, {min, 1}};
  for (auto [s, minutes] : seconds) EXPECT_EQ(RestartMinutes(s), minutes) << s;

  for (auto [kind, shown] : {std::pair{0, 1}, {-32768, 1}, {7, 6}})
    EXPECT_EQ(ShowableBackgroundKind(int16_t(kind)), shown) << kind;
  for (int16_t k = 1; k <= 6; ++k) EXPECT_EQ(ShowableBackgroundKind(k), k);
}

}  // namespace
}  // namespace sarvel
