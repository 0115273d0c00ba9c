#include "engine/check_target.h"

#include <gtest/gtest.h>

namespace {

TEST(CheckTarget, KindNameIsTheWorkingSetWord) {
  EXPECT_STREQ((CheckTarget{TargetKind::File, "a.htm"}.kindName()), "file");
  EXPECT_STREQ((CheckTarget{TargetKind::Http, "http://h/"}.kindName()), "http");
  EXPECT_STREQ((CheckTarget{TargetKind::Http, "HTTP://h/"}.kindName()), "http");
  EXPECT_STREQ((CheckTarget{TargetKind::Http, "https://h/"}.kindName()), "https");
  EXPECT_STREQ((CheckTarget{TargetKind::Http, "HTTPS://h:8443/"}.kindName()), "https");
  for (int other : {0, 3, -1, 0x7FFFFFFF}) {
    EXPECT_STREQ((CheckTarget{static_cast<TargetKind>(other), "x"}.kindName()), "") << other;
  }
}

}  // namespace
