#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Whether the bytes `fresh` may take the place of the bytes `stored` of a kept
// file: the owner's rule, such as "only a higher record".
using KeepRule = std::function<bool(std::string_view fresh, std::string_view stored)>;

// What to store of a file every copy of the game rewrites in part (the
// settings) when another copy stored it meanwhile: `fresh` is what this copy
// wrote over `base`, the file as this copy last knew it, and `stored` what is
// stored now. The rule keeps what is stored and applies this copy's changes.
using MergeRule = std::function<std::string(std::string_view base, std::string_view fresh,
                                            std::string_view stored)>;

// The files of the working directory that the player keeps from run to run
// (the high-score record, the settings), with their rules. On the desktop the
// file itself lasts. A browser copies each to a database of its own, which
// another tab of the game may have written meanwhile, so it asks a file's
// rule before it puts the file over a stored copy, and takes a stored copy
// over the working one under the same rule: one rule, in one language, on
// every platform. The game lists its files and hands the list to the
// platform as the program starts (PrepareApplication).
class KeptFiles {
public:
    // `name` is replaced only where `replaces` allows. `companion`, when
    // given, names a file about this one (the replay of the record's run): it
    // is stored only in the same step as this file, never alone, and restored
    // only with it.
    void Keep(std::string name, KeepRule replaces, std::string companion = {});
    // `name` is merged with a stored copy under `merge`.
    void Keep(std::string name, MergeRule merge);

    // Whether `fresh` may replace `stored` under the rule `name` was kept with;
    // a file kept without a rule, or not kept at all, is always replaced.
    bool Replaces(std::string_view name, std::string_view fresh, std::string_view stored) const;
    // Whether `name` was kept with a rule for replacing it (the record): a
    // stored copy that cannot be read is then never replaced, and
    // WhenFilesKept reports its fate. Any other file's fate is its own.
    bool HasRule(std::string_view name) const;
    // `fresh` merged with `stored` under the rule `name` was kept with; nothing
    // for a file kept without a merge rule, which `fresh` simply replaces.
    std::optional<std::string> Merge(std::string_view name, std::string_view base,
                                     std::string_view fresh, std::string_view stored) const;
    // The companion `name` was kept with, or empty.
    std::string Companion(std::string_view name) const;
    // The kept file whose companion `name` is, or empty when it is no companion.
    std::string Owner(std::string_view name) const;

private:
    struct Entry {
        KeepRule replaces;
        std::string companion;
        MergeRule merge;
    };
    std::map<std::string, Entry, std::less<>> m_files;
};

// Calls `report` with whether the files kept with a rule (KeptFiles::HasRule)
// written since the last report were stored: at once where writing the file is storing it (the
// desktop); in a browser once its database has answered, so that the player is never told of a save
// that did not hold.
void WhenFilesKept(std::function<void(bool stored)> report);

// For a platform whose storage answers later: each store it begins is ended
// once, with its outcome. Reports wait until no store is under way, and hear
// false if any store ended without storing while they waited.
void KeptFilesStoring();
void KeptFilesStored(bool stored);

}  // namespace vexa
