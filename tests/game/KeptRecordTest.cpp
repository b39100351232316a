#include "HighScoreStore.h"

#include "core/KeptFiles.h"

#include <gtest/gtest.h>

// What a browser asks before a record takes a stored one's place: the store's
// own reading of a record, not a copy of it.
TEST(KeptRecord, StorageReplacesARecordOnlyAsTheStoreWould) {
    vexa::KeptFiles kept;
    KeepRecordFiles(kept);
    const auto replaces = [&kept](std::string_view fresh, std::string_view stored) {
        return kept.Replaces("highscore.txt", fresh, stored);
    };
    EXPECT_TRUE(replaces("1500", "1499"));
    EXPECT_FALSE(replaces("1500", "1500"));
    EXPECT_FALSE(replaces("1500", "2000"));
    // A byte-order mark from an editor: the number after it is the record.
    EXPECT_FALSE(replaces("5",
                          "\xEF\xBB\xBF"
                          "900000"));
    // A number no int can hold is no record, so any score replaces it.
    EXPECT_TRUE(replaces("-5", "99999999999"));
    EXPECT_TRUE(replaces("0", "letters"));
    EXPECT_TRUE(replaces("7", ""));
    // Bytes that hold no score never replace anything.
    EXPECT_FALSE(replaces("letters", ""));
    EXPECT_EQ(kept.Companion("highscore.txt"), "highscore.replay");
}
