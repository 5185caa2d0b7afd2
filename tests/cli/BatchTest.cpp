#include <gtest/gtest.h>

#include "core/LSoundTime.h"

TEST(SoundTime, placeholder) { EXPECT_EQ(LSoundTime(5).GetMs(), 5); }
