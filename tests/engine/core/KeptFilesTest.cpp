#include "core/KeptFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KeptFiles, EachFileIsReplacedUnderItsOwnRuleAndKnowsItsCompanion) {
    vexa::KeptFiles kept;
    // Longer bytes win: a rule the test can read at a glance.
    kept.Keep(
        "longer.txt",
        [](std::string_view fresh, std::string_view stored) {
            return fresh.size() > stored.size();
        },
        "longer.extra");
    // This copy's change is its last byte; the rest is what is stored.
    kept.Keep("merged.txt",
              [](std::string_view base, std::string_view fresh, std::string_view stored) {
                  return std::string(stored.substr(0, stored.size() - 1)) +
                         (fresh.back() != base.back() ? fresh.back() : stored.back());
              });

    EXPECT_TRUE(kept.Replaces("longer.txt", "abc", "ab"));
    EXPECT_FALSE(kept.Replaces("longer.txt", "ab", "abc"));
    EXPECT_FALSE(kept.Replaces("longer.txt", "ab", "ab"));
    // Bytes are bytes: a NUL inside counts like any other.
    EXPECT_TRUE(kept.Replaces("longer.txt", std::string_view("a\0b", 3), "ab"));
    // A file nobody keeps has no rule to stand in the way.
    EXPECT_TRUE(kept.Replaces("other.txt", "", "anything"));

    EXPECT_EQ(kept.Companion("longer.txt"), "longer.extra");
    EXPECT_EQ(kept.Owner("longer.extra"), "longer.txt");
    EXPECT_EQ(kept.Companion("longer.extra"), "");
    EXPECT_EQ(kept.Owner("longer.txt"), "");
    EXPECT_EQ(kept.Owner(""), "");

    // Only a rule for replacing guards a file; a merged file is merged, the rest replaced.
    EXPECT_TRUE(kept.HasRule("longer.txt"));
    EXPECT_FALSE(kept.HasRule("merged.txt"));
    EXPECT_FALSE(kept.HasRule("other.txt"));
    EXPECT_EQ(kept.Merge("merged.txt", "ab", "aB", "xyb"), "xyB");
    EXPECT_EQ(kept.Merge("merged.txt", "ab", "Zb", "xyc"), "xyc");
    EXPECT_EQ(kept.Merge("longer.txt", "a", "b", "c"), std::nullopt);
    EXPECT_EQ(kept.Merge("other.txt", "a", "b", "c"), std::nullopt);
}

TEST(KeptFiles, ReportsWaitForEveryStoreUnderWayAndHearWhetherAllHeld) {
    std::vector<std::string> heard;
    const auto listen = [&heard](std::string what) {
        return
            [&heard, what](bool stored) { heard.push_back(what + (stored ? " kept" : " lost")); };
    };

    // Nothing under way: the answer is known at once.
    vexa::WhenFilesKept(listen("now"));
    EXPECT_EQ(heard, std::vector<std::string>{"now kept"});

    heard.clear();
    vexa::KeptFilesStoring();
    vexa::WhenFilesKept(listen("first"));
    vexa::KeptFilesStoring();
    vexa::WhenFilesKept(listen("second"));
    vexa::KeptFilesStored(false);
    EXPECT_TRUE(heard.empty()) << "a report ran with a store still under way";
    vexa::KeptFilesStored(true);
    // The first waited through the failed store; the second was asked before it ended too.
    EXPECT_EQ(heard, (std::vector<std::string>{"first lost", "second lost"}));

    heard.clear();
    vexa::KeptFilesStoring();
    vexa::WhenFilesKept(listen("third"));
    vexa::KeptFilesStored(true);
    EXPECT_EQ(heard, std::vector<std::string>{"third kept"});

    // Storage known to be missing answers before the report is asked for: the
    // report still hears it, and the one after that hears only of its own.
    heard.clear();
    vexa::KeptFilesStoring();
    vexa::KeptFilesStored(false);
    vexa::WhenFilesKept(listen("at once"));
    vexa::WhenFilesKept(listen("later"));
    EXPECT_EQ(heard, (std::vector<std::string>{"at once lost", "later kept"}));

    // An answer nobody waits for is no store: it must not let a later report
    // run before its own store ends.
    vexa::KeptFilesStored(false);
    heard.clear();
    vexa::KeptFilesStoring();
    vexa::WhenFilesKept(listen("fourth"));
    EXPECT_TRUE(heard.empty());
    vexa::KeptFilesStored(true);
    EXPECT_EQ(heard, std::vector<std::string>{"fourth kept"});
}
