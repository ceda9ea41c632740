// Every section and key of an INI text found in one pass, so that a lookup
// costs the same whatever the size of the file. Lookups answer exactly as
// FindValue does. Only the first section of each name and the first key of
// each name in it are kept, as line offsets into the text: memory follows the
// number of distinct names, not the number of lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace gaspipe::ini {

class Index {
  public:
    // text must outlive the index and be shorter than 4 GiB.
    explicit Index(std::string_view text);

    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  private:
    // Open addressing: line is the offset of the line plus one, 0 when free.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t group = 0;  // sections: the ordinal; keys: their section's ordinal
        std::uint32_t line = 0;
    };
    class Table {
      public:
        // The entry that same() accepts, or a free slot.
        template <typename Same>
        const Slot& Find(std::uint32_t hash, Same same) const {
            return slots_[Position(hash, same)];
        }
        // Adds the entry unless same() accepts one already; true when added.
        template <typename Same>
        bool Add(const Slot& slot, Same same);

      private:
        template <typename Same>
        std::size_t Position(std::uint32_t hash, Same same) const;

        std::vector<Slot> slots_ = std::vector<Slot>(16);
        std::size_t used_ = 0;
    };

    std::string_view NameAt(std::uint32_t line) const;

    std::string_view text_;
    std::uint32_t seed_;
    std::uint32_t sectionCount_ = 0;
    Table sections_, keys_;
};

}  // namespace gaspipe::ini
