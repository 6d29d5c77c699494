#include <gtest/gtest.h>
#include "shell/lines.h"
TEST(Smoke, Works) { EXPECT_EQ(text_to_lines("a\n\nb\n").size(), 4u); }
