#pragma once

#include <functional>
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

// Registers a file of the working directory that the player keeps from run to
// run (the high-score record). On the desktop the file itself lasts. A browser
// copies it to a database of its own, which another tab of the game may have
// written meanwhile, so it asks `replaces` before it puts the file over a
// stored copy, and takes a stored copy over the working one under the same
// rule: one rule, in one language, on every platform. `companion`, when given,
// names a file about this one (the replay of the record's run): it is stored
// only in the same step as this file, never alone, and restored only with it.
// Declared as a constant at namespace scope by the code that owns the file,
// so every platform knows the file before main starts.
class KeptFile {
public:
    KeptFile(std::string name, KeepRule replaces, std::string companion = {});
    KeptFile(std::string name, MergeRule merge);
};

// Whether `fresh` may replace `stored` under the rule `name` was kept with; a
// file kept without a rule, or not kept at all, is always replaced.
bool KeptFileReplaces(std::string_view name, std::string_view fresh, std::string_view stored);
// Whether `name` was kept with a rule for replacing it (the record): a stored
// copy that cannot be read is then never replaced, and WhenFilesKept reports
// its fate. Any other file's fate is its own.
bool KeptFileHasRule(std::string_view name);
// `fresh` merged with `stored` under the rule `name` was kept with; nothing
// for a file kept without a merge rule, which `fresh` simply replaces.
std::optional<std::string> KeptFileMerge(std::string_view name, std::string_view base,
                                         std::string_view fresh, std::string_view stored);
// The companion `name` was kept with, or empty.
std::string KeptFileCompanion(std::string_view name);
// The kept file whose companion `name` is, or empty when it is no companion.
std::string KeptFileOwner(std::string_view name);

// Calls `report` with whether the files kept with a rule (KeptFileHasRule)
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
