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
  EXPECT_EQ(MaxLeafToPosition(11), 100);
  EXPECT_EQ(MaxLeafToPosition(32767), 100);
  EXPECT_EQ(MaxLeafToPosition(1), 1);
  EXPECT_EQ(MaxLeafToPosition(-32768), 1);

  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(LeafSpeedToPosition(0.0f), 1);
  EXPECT_EQ(LeafSpeedToPosition(0.04f), 1);  // rounds to position 0
  EXPECT_EQ(LeafSpeedToPosition(-3.0f), 1);
  EXPECT_EQ(LeafSpeedToPosition(-inf), 1);
  EXPECT_EQ(LeafSpeedToPosition(10.04f), 100);
  EXPECT_EQ(LeafSpeedToPosition(3.4e38f), 100);  // x10 is beyond the float range
  EXPECT_EQ(LeafSpeedToPosition(inf), 100);
  EXPECT_EQ(LeafSpeedToPosition(std::nanf("")), 100);

  EXPECT_EQ(RestartMinutes(630), 10);
  EXPECT_EQ(RestartMinutes(119), 1);
  EXPECT_EQ(RestartMinutes(59), 1);
  EXPECT_EQ(RestartMinutes(0), 1);
  EXPECT_EQ(RestartMinutes(-600), 1);
  EXPECT_EQ(RestartMinutes(5999), 99);
  EXPECT_EQ(RestartMinutes(6000), 99);
  EXPECT_EQ(RestartMinutes(std::numeric_limits<int32_t>::max()), 99);
  EXPECT_EQ(RestartMinutes(std::numeric_limits<int32_t>::min()), 1);

  EXPECT_EQ(ShowableBackgroundKind(0), 1);
  EXPECT_EQ(ShowableBackgroundKind(-32768), 1);
  EXPECT_EQ(ShowableBackgroundKind(7), 6);
  for (int16_t k = 1; k <= 6; ++k) EXPECT_EQ(ShowableBackgroundKind(k), k);
}

}  // namespace
}  // namespace sarvel
