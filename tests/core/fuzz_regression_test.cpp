// Inputs that the fuzz targets found harmful, kept as plain cases so that the
// everyday suite guards them too (the huge time-stamp width is in
// time_stamp_test.cpp).
#include <gtest/gtest.h>

#include "documents/path_helpers.h"

// A doubled "/" where the document's folder ends made the rest of the target an
// absolute path ("/Q./b"), naming another file; empty and "." segments of the
// document's folder counted as folders to climb out of.
TEST(FuzzRegression, RelativePathsIgnoreEmptyAndDotSegments) {
    EXPECT_EQ(relative_path("./a", ".//Q./b"), "Q./b");
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/b//e.png"), "e.png");
    EXPECT_EQ(relative_path("/a//c.html", "/a/e.png"), "e.png");
    EXPECT_EQ(relative_path("/a/./c.html", "/a/e.png"), "e.png");
    EXPECT_EQ(relative_path("/a/b/./x//c.html", "/a/b/e.png"), "../e.png");
}

// A ".." that normalising keeps cannot be climbed back over: the target is given
// whole instead of a relative path that would name another file.
TEST(FuzzRegression, RelativePathKeepsTheTargetWhenTheDocumentKeepsDotDot) {
    EXPECT_EQ(relative_path("/a/../b/c.html", "/b/e.png"), "/b/e.png");
    EXPECT_EQ(relative_path("/a/../../x/c.html", "/a/e.png"), "/a/e.png");
}
