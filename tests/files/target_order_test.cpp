#include "files/target_order.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Pair {
  const char* before;
  const char* after;
};

// Each pair in the order the working set lists it.
const Pair kOrdered[] = {
    {"/d/A.htm", "/d/b.htm"},
    {"/d/a.htm", "/d/B.htm"},
    {"/d/a_b.htm", "/d/aB.htm"},             // "_" (0x5F) sorts before every lowered letter
    {"/d/[x].htm", "/d/Z.htm"},              // "[" (0x5B) before "z", which "Z" becomes
    {"/d/z.htm", "/d/\xC3\x89.htm"},         // non-ASCII after ASCII
    {"/d/\xC3\x89.htm", "/d/\xC3\xA9.htm"},  // É and é are different letters here
    {"/d/x.htm", "/d/x.html"},
    {"http://h/a", "http://h/B"},
    {"", "a"},
};

TEST(TargetOrder, ListsAsciiLettersWithoutRegardToCaseAndOtherBytesByValue) {
  for (const Pair& pair : kOrdered) {
    EXPECT_TRUE(targetOrderLess(pair.before, pair.after)) << pair.before << " < " << pair.after;
    EXPECT_FALSE(targetOrderLess(pair.after, pair.before)) << pair.after << " < " << pair.before;
    EXPECT_LT(targetSortKey(pair.before), targetSortKey(pair.after)) << pair.before;
  }
  for (const char* same : {"/d/A.htm", "/d/a.htm"}) {
    EXPECT_FALSE(targetOrderLess(same, "/d/a.htm"));
    EXPECT_EQ(targetSortKey(same), "/d/a.htm");
  }
}

}  // namespace
