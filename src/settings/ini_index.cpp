#include "ini_index.h"

#include <random>

#include "gbk.h"
#include "ini_lines.h"

namespace gaspipe::ini {

namespace {

// FNV-1a over the name with single-byte ASCII letters folded, so that names
// that Matches() accepts hash alike. The seed differs per index: a file
// crafted to collide cannot be prepared in advance.
std::uint32_t NameHash(std::string_view name, std::uint32_t seed) {
    std::uint32_t h = 2166136261u ^ seed;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t len = gbk::CharLength(name, i);
        for (std::size_t k = 0; k < len; ++k) {
            auto c = static_cast<unsigned char>(name[i + k]);
            if (len == 1 && c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
            h = (h ^ c) * 16777619u;
        }
        i += len;
    }
    return h;
}

std::uint32_t KeyHash(std::uint32_t nameHash, std::uint32_t section) {
    return (nameHash ^ (section * 0x9E3779B9u)) * 0x85EBCA6Bu;
}

}  // namespace

template <typename Same>
std::size_t Index::Table::Position(std::uint32_t hash, Same same) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.line == 0 || (s.hash == hash && same(s))) return i;
    }
}

template <typename Same>
bool Index::Table::Add(const Slot& slot, Same same) {
    if (Find(slot.hash, same).line != 0) return false;
    if ((used_ + 1) * 10 > slots_.size() * 7) {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& s : old)
            if (s.line != 0) slots_[Position(s.hash, [](const Slot&) { return false; })] = s;
    }
    slots_[Position(slot.hash, same)] = slot;
    ++used_;
    return true;
}

Index::Index(std::string_view text) : text_(text), seed_(std::random_device{}()) {
    // The section whose keys are being read, while it is the first of its name.
    std::optional<std::uint32_t> current;
    for (std::size_t pos = 0; pos < text.size();) {
        const Line line = LineAt(text, pos);
        const auto offset = static_cast<std::uint32_t>(pos);
        pos = line.next;
        if (line.kind == Kind::Section) {
            current.reset();
            if (line.name.empty()) continue;  // no lookup names an empty section
            const Slot slot{NameHash(line.name, seed_), sectionCount_, offset + 1};
            if (sections_.Add(slot,
                              [&](const Slot& s) { return Matches(NameAt(s.line), line.name); }))
                current = sectionCount_++;
        } else if (line.kind == Kind::Key && current && !line.name.empty()) {
            const Slot slot{KeyHash(NameHash(line.name, seed_), *current), *current, offset + 1};
            keys_.Add(slot, [&](const Slot& s) {
                return s.group == *current && Matches(NameAt(s.line), line.name);
            });
        }
    }
}

std::string_view Index::NameAt(std::uint32_t line) const { return LineAt(text_, line - 1).name; }

std::optional<std::string_view> Index::Find(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return std::nullopt;
    const Slot& s = sections_.Find(NameHash(section, seed_), [&](const Slot& slot) {
        return Matches(NameAt(slot.line), section);
    });
    if (s.line == 0) return std::nullopt;
    const Slot& k = keys_.Find(KeyHash(NameHash(key, seed_), s.group), [&](const Slot& slot) {
        return slot.group == s.group && Matches(NameAt(slot.line), key);
    });
    if (k.line == 0) return std::nullopt;
    return LineAt(text_, k.line - 1).value.value_or(std::string_view());
}

}  // namespace gaspipe::ini
