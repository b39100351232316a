#include "core/KeptFiles.h"

#include <map>
#include <utility>
#include <vector>

namespace vexa {

namespace {

struct Entry {
    KeepRule replaces;
    std::string companion;
    MergeRule merge;
};

struct Waiting {
    std::function<void(bool)> report;
    bool stored = true;
};

struct Registry {
    std::map<std::string, Entry, std::less<>> files;
    int storesUnderWay = 0;
    // A store that ended without storing before any report asked for it
    // (storage known to be missing answers at once).
    bool lostSinceReport = false;
    std::vector<Waiting> reports;
};

// Never destroyed: a browser's database may answer after the program has
// ended and its static objects are gone.
Registry& registry() {
    static Registry* const instance = new Registry();
    return *instance;
}

}  // namespace

KeptFile::KeptFile(std::string name, KeepRule replaces, std::string companion) {
    registry().files[std::move(name)] = Entry{std::move(replaces), std::move(companion), {}};
}

KeptFile::KeptFile(std::string name, MergeRule merge) {
    registry().files[std::move(name)] = Entry{{}, {}, std::move(merge)};
}

bool KeptFileHasRule(std::string_view name) {
    const auto found = registry().files.find(name);
    return found != registry().files.end() && found->second.replaces;
}

std::optional<std::string> KeptFileMerge(std::string_view name, std::string_view base,
                                         std::string_view fresh, std::string_view stored) {
    const auto found = registry().files.find(name);
    if (found == registry().files.end() || !found->second.merge) return std::nullopt;
    return found->second.merge(base, fresh, stored);
}

bool KeptFileReplaces(std::string_view name, std::string_view fresh, std::string_view stored) {
    const auto found = registry().files.find(name);
    if (found == registry().files.end() || !found->second.replaces) return true;
    return found->second.replaces(fresh, stored);
}

std::string KeptFileCompanion(std::string_view name) {
    const auto found = registry().files.find(name);
    return found == registry().files.end() ? std::string() : found->second.companion;
}

std::string KeptFileOwner(std::string_view name) {
    if (name.empty()) return {};
    for (const auto& [owner, entry] : registry().files) {
        if (entry.companion == name) return owner;
    }
    return {};
}

void WhenFilesKept(std::function<void(bool stored)> report) {
    Registry& kept = registry();
    const bool stored = !kept.lostSinceReport;
    kept.lostSinceReport = false;
    if (kept.storesUnderWay == 0) {
        report(stored);
        return;
    }
    kept.reports.push_back(Waiting{std::move(report), stored});
}

void KeptFilesStoring() {
    ++registry().storesUnderWay;
}

void KeptFilesStored(bool stored) {
    Registry& kept = registry();
    if (kept.storesUnderWay == 0) return;
    --kept.storesUnderWay;
    if (!stored && kept.reports.empty()) kept.lostSinceReport = true;
    for (Waiting& waiting : kept.reports) waiting.stored = waiting.stored && stored;
    if (kept.storesUnderWay > 0) return;
    // A report may itself write a kept file and wait again: it joins a fresh list.
    std::vector<Waiting> due;
    due.swap(kept.reports);
    for (Waiting& waiting : due) waiting.report(waiting.stored);
}

}  // namespace vexa
