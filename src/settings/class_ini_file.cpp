#include "class_ini_file.h"

#include <optional>
#include <string_view>

#include "atomic_file.h"
#include "ini_storage.h"
#include "ini_text.h"

namespace gaspipe {
namespace {

using ini::ToFileText;

// Reads the file, applies edit to its text and stores the result. Nothing is
// written when the file cannot be read whole (that would lose its other
// lines) or when the edit changes nothing.
template <typename Edit>
void EditFile(const std::string& fileName, Edit edit, bool createIfMissing) {
    const std::string target = fileio::FollowLinks(fileName);
    const ini_storage::ReadResult file = ini_storage::ReadWholeFile(target);
    if (file.status == ini_storage::ReadStatus::Unusable) return;
    if (file.status == ini_storage::ReadStatus::Missing && !createIfMissing) return;
    const std::optional<std::string> edited = edit(std::string_view(file.bytes));
    if (edited) (void)ini_storage::ReplaceFileContents(target, *edited);
}

}  // namespace

void classIniFile::WriteIniKey(const std::string& strSection, const std::string& strKey,
                               const std::string& strValue) {
    const auto section = ToFileText(strSection);
    const auto key = ToFileText(strKey);
    const auto value = ToFileText(strValue);
    // A text that code page 936 cannot hold is not written at all rather
    // than with substitute characters.
    if (!section || !key || !value) return;
    EditFile(
        iniFileName_,
        [&](std::string_view text) { return ini::SetKey(text, *section, *key, *value); }, true);
}

std::string classIniFile::GetIniKey(const std::string& strSection,
                                    const std::string& strKey) const {
    const auto section = ToFileText(strSection);
    const auto key = ToFileText(strKey);
    if (!section || !key) return {};
    const ini_storage::ReadResult file = ini_storage::ReadWholeFile(iniFileName_);
    if (file.status != ini_storage::ReadStatus::Ok) return {};
    const std::optional<std::string_view> stored = ini::FindValue(file.bytes, *section, *key);
    return stored ? ini::ToProgramText(*stored) : std::string();
}

void classIniFile::DelIniKey(const std::string& SectionName, const std::string& KeyWord) {
    const auto section = ToFileText(SectionName);
    const auto key = ToFileText(KeyWord);
    if (!section || !key) return;
    EditFile(
        iniFileName_, [&](std::string_view text) { return ini::DeleteKey(text, *section, *key); },
        false);
}

void classIniFile::DelIniSec(const std::string& SectionName) {
    const auto section = ToFileText(SectionName);
    if (!section) return;
    EditFile(
        iniFileName_, [&](std::string_view text) { return ini::DeleteSection(text, *section); },
        false);
}

}  // namespace gaspipe
