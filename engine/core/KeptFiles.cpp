#include "core/KeptFiles.h"

#include <map>
#include <utility>
#include <vector>

namespace vexa {

namespace {

struct Waiting {
    std::function<void(bool)> report;
    bool stored = true;
};

// The stores a platform has under way, and the reports waiting for them.
struct Registry {
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

void KeptFiles::Keep(std::string name, KeepRule replaces, std::string companion) {
    m_files[std::move(name)] = Entry{std::move(replaces), std::move(companion), {}};
}

void KeptFiles::Keep(std::string name, MergeRule merge) {
    m_files[std::move(name)] = Entry{{}, {}, std::move(merge)};
}

bool KeptFiles::HasRule(std::string_view name) const {
    const auto found = m_files.find(name);
    return found != m_files.end() && found->second.replaces;
}

std::optional<std::string> KeptFiles::Merge(std::string_view name, std::string_view base,
                                            std::string_view fresh, std::string_view stored) const {
    const auto found = m_files.find(name);
    if (found == m_files.end() || !found->second.merge) return std::nullopt;
    return found->second.merge(base, fresh, stored);
}

bool KeptFiles::Replaces(std::string_view name, std::string_view fresh,
                         std::string_view stored) const {
    const auto found = m_files.find(name);
    if (found == m_files.end() || !found->second.replaces) return true;
    return found->second.replaces(fresh, stored);
}

std::string KeptFiles::Companion(std::string_view name) const {
    const auto found = m_files.find(name);
    return found == m_files.end() ? std::string() : found->second.companion;
}

std::string KeptFiles::Owner(std::string_view name) const {
    if (name.empty()) return {};
    for (const auto& [owner, entry] : m_files) {
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
