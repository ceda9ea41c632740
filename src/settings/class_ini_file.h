// Access to one INI settings file by section and key (the window's objIniFile).
//
// Texts are UTF-8 in the program and code page 936 in the file. Reads never
// fail: a missing file, section or key reads as "". Writes replace the file
// atomically and keep every other line; a write that cannot be done leaves the
// file untouched and returns normally.
#pragma once

#include <string>

namespace gaspipe {

class classIniFile {
  public:
    // INIFileName: stored unchanged, not validated.
    const std::string& INIFileName() const { return iniFileName_; }
    void INIFileName(const std::string& New_IniPath) { iniFileName_ = New_IniPath; }

    void WriteIniKey(const std::string& strSection, const std::string& strKey,
                     const std::string& strValue);
    std::string GetIniKey(const std::string& strSection, const std::string& strKey) const;
    void DelIniKey(const std::string& SectionName, const std::string& KeyWord);
    void DelIniSec(const std::string& SectionName);

  private:
    std::string iniFileName_;
};

}  // namespace gaspipe
