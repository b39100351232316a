#include "core/GlobalOrder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int>& constructionLog() {
    static std::vector<int> log;
    return log;
}

struct Recorder {
    explicit Recorder(int position) { constructionLog().push_back(position); }
};

// Declared out of order: only the positions can put them back in order.
VEXA_GLOBAL_ORDER(3) Recorder g_third(3);
VEXA_GLOBAL_ORDER(1) Recorder g_first(1);
VEXA_GLOBAL_ORDER(2) Recorder g_second(2);

}  // namespace

TEST(GlobalOrder, ObjectsAreBuiltByPositionNotByDeclaration) {
    EXPECT_EQ(constructionLog(), (std::vector<int>{1, 2, 3}));
}
