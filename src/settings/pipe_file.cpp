#include "pipe_file.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>

#include "ini_index.h"
#include "ini_storage.h"
#include "ini_text.h"

namespace gaspipe {

struct PipeFile::Version {
    explicit Version(ini_storage::ReadResult read) : file(std::move(read)), index(file.bytes) {}
    const ini_storage::ReadResult file;
    const ini::Index index;  // over file.bytes, which never moves
};

namespace {

constexpr const char* kListKey = "PipeDia";

using Clock = std::chrono::system_clock;

// A change within the file system's timestamp granularity of the version
// read could leave the same size and times; a version whose times are this
// much older than the moment it was read cannot be confused with a later one.
constexpr auto kSettled = std::chrono::seconds(2);

bool Settled(const ini_storage::FileState& state, Clock::time_point readAt) {
    const auto limit =
        std::chrono::duration_cast<std::chrono::nanoseconds>((readAt - kSettled).time_since_epoch())
            .count();
    const auto ns = [](std::int64_t s, std::int64_t n) { return s * 1'000'000'000 + n; };
    return ns(state.modifiedSeconds, state.modifiedNanoseconds) < limit &&
           ns(state.changedSeconds, state.changedNanoseconds) < limit;
}

struct CacheEntry {
    std::string path;
    std::size_t maxBytes = 0;      // the reader's limit when it was read
    ini_storage::FileState state;  // when it was last read
    bool settled = false;
    std::shared_ptr<const PipeFile::Version> version;
};

// The versions read last, newest first: a window and a command each read one
// file, so a few entries are plenty.
class VersionCache {
  public:
    std::shared_ptr<const PipeFile::Version> Read(const std::string& path) {
        const Clock::time_point now = Clock::now();
        const std::optional<ini_storage::FileState> state = ini_storage::StatFile(path);
        const std::size_t maxBytes = ini_storage::MaxFileBytes();
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const CacheEntry& e) { return e.path == path; });
        std::optional<CacheEntry> entry;
        if (it != entries_.end()) {
            entry = std::move(*it);
            entries_.erase(it);
        }
        if (entry && entry->maxBytes != maxBytes) entry.reset();
        if (entry && entry->settled && state && *state == entry->state)
            return Keep(std::move(*entry));

        ini_storage::ReadResult file = ini_storage::ReadWholeFile(path);
        if (file.status != ini_storage::ReadStatus::Ok)
            return std::make_shared<const PipeFile::Version>(std::move(file));
        const ini_storage::FileState read = file.state;
        // Unchanged bytes keep their parse.
        if (!entry || entry->version->file.bytes != file.bytes)
            entry = CacheEntry{path, maxBytes, read, false,
                               std::make_shared<const PipeFile::Version>(std::move(file))};
        entry->state = read;
        entry->settled = Settled(read, now);
        return Keep(std::move(*entry));
    }

  private:
    std::shared_ptr<const PipeFile::Version> Keep(CacheEntry entry) {
        entries_.insert(entries_.begin(), std::move(entry));
        if (entries_.size() > 4) entries_.pop_back();
        return entries_.front().version;
    }

    std::mutex mutex_;
    std::vector<CacheEntry> entries_;
};

VersionCache& Cache() {
    static VersionCache cache;
    return cache;
}

std::string Lookup(const PipeFile::Version& v, const std::string& section, const std::string& key) {
    const auto s = ini::ToFileText(section);
    const auto k = ini::ToFileText(key);
    if (!s || !k) return {};
    const std::optional<std::string_view> stored = v.index.Find(*s, *k);
    return stored ? ini::ToProgramText(*stored) : std::string();
}

}  // namespace

std::vector<std::string> SplitPipeDia(const std::string& listText) {
    std::vector<std::string> pieces;
    if (listText.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = listText.find(',', start);
        pieces.push_back(listText.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return pieces;
}

PipeFile::PipeFile(const classIniFile& ini) : version_(Cache().Read(ini.INIFileName())) {}

bool PipeFile::readable() const { return version_->file.status == ini_storage::ReadStatus::Ok; }

const std::string& PipeFile::problem() const { return version_->file.problem; }

std::vector<std::string> PipeFile::NominalDiameters(const std::string& material) const {
    return SplitPipeDia(Lookup(*version_, material, kListKey));
}

std::string PipeFile::InnerDiameter(const std::string& material, const std::string& nominal) const {
    return Lookup(*version_, material, nominal);
}

std::string PipeFile::Entry(const std::string& section, const std::string& key) const {
    return Lookup(*version_, section, key);
}

std::vector<std::string> ReadNominalDiameters(const classIniFile& ini,
                                              const std::string& material) {
    return PipeFile(ini).NominalDiameters(material);
}

std::string ReadInnerDiameter(const classIniFile& ini, const std::string& material,
                              const std::string& nominal) {
    return PipeFile(ini).InnerDiameter(material, nominal);
}

}  // namespace gaspipe
