// The case file's problems in English, for gaspipe-calc and the tests; the
// window says them in Chinese from the same parts.
#include <string>

#include "case_file.h"

namespace gaspipe::network {

namespace {

using Kind = CaseFileProblem::Kind;
using Type = CaseFileProblem::Type;

std::string Quote(std::string_view text) {
    std::string out(1, '\'');
    out += text;
    return out += '\'';
}

std::string Where(const CaseFileProblem& p) {
    if (p.part.empty()) return {};
    std::string where = p.row ? p.part + " " + std::to_string(p.row) : p.part;
    if (!p.rowId.empty()) where += " (id " + Quote(p.rowId) + ")";
    return where + ": ";
}

std::string TypeName(Type t) {
    switch (t) {
        case Type::Object:
            return "an object";
        case Type::Array:
            return "an array";
        case Type::Text:
            return "a text";
        case Type::Number:
            break;
    }
    return "a number";
}

std::string Bytes(std::size_t n) {
    if (n >= (1u << 20) && n % (1u << 20) == 0) return std::to_string(n >> 20) + " MiB";
    return std::to_string(n) + " bytes";
}

std::string What(const CaseFileProblem& p) {
    // The member, or within method.roughness the material.
    const std::string member = p.material.empty() || p.materialName
                                   ? Quote(p.member)
                                   : Quote(p.member) + ": " + Quote(p.material);
    switch (p.kind) {
        case Kind::NoSuchFile:
            return "no such file";
        case Kind::NotAFile:
            return "not a regular file (a folder, a pipe or a device)";
        case Kind::CannotRead:
            return "cannot be read: " + p.detail;
        case Kind::TooLarge:
            return "the file is larger than " + Bytes(p.number) + ", more than any case holds";
        case Kind::NoMemory:
            return "not enough memory to read the file";
        case Kind::NotJson:
            return "not valid JSON: " + p.detail;
        case Kind::TooManyValues:
            return "the file holds more than " + std::to_string(p.number) + " values";
        case Kind::TooDeep:
            return "nested deeper than " + std::to_string(p.number) + " levels";
        case Kind::TooManyRows:
            return "more than " + std::to_string(p.number) + " " + p.member;
        case Kind::DuplicateMember:
            return Quote(p.member) + " is given twice in the same object; only one can be meant";
        case Kind::NotACase:
            return p.member.empty() ? "the file is not a gaspipe case: it holds no JSON object"
                                    : "the file is not a gaspipe case: 'format' is not \"" +
                                          std::string(kCaseFormat) + "\"";
        case Kind::BadVersion:
            return "'version' must be a whole number from 1 up";
        case Kind::NewerVersion:
            return "the case was saved by a newer gaspipe (file version " + p.detail +
                   "; this program reads versions up to " + std::to_string(kCaseVersion) +
                   "); open it with a newer gaspipe";
        case Kind::Missing:
            return member + " is missing";
        case Kind::WrongType: {
            const std::string expected = p.member == "roughness" && p.material.empty()
                                             ? "an object of material: mm"
                                         : !p.material.empty() ? "a number of mm"
                                                               : TypeName(p.expected);
            return (p.member.empty() ? "" : member + " ") + "must be " + expected + ", not " +
                   p.detail;
        }
        case Kind::TooLong:
            return (p.materialName ? Quote(p.member) + ": a material name" : member) +
                   " is longer than " + std::to_string(p.number) + " bytes";
        case Kind::ControlCharacter:
            return (p.materialName ? Quote(p.member) + ": a material name" : member) +
                   " holds a control character (tab, line break, escape, ...)";
        case Kind::OutOfRange:
            return member + " is out of range";
        case Kind::UnknownValue: {
            const std::string allowed = p.member == "pressure_unit"
                                            ? "\"MPa\", \"kPa\" or \"1e5Pa\""
                                            : "街区, 庭院 or 室内";
            return (p.member == "shares" ? "a part in 'shares'" : Quote(p.member)) + " must be " +
                   allowed + ", not " + Quote(p.detail);
        }
        case Kind::UnknownMethod:
            break;
    }
    return "'name' must be \"" + std::string(kMethodAppendix) + "\" or \"" +
           std::string(kMethodGb50028) + "\"";
}

}  // namespace

std::string DescribeProblem(const CaseFileProblem& p) {
    std::string text = Where(p) + What(p);
    if (p.line == 0) return text;
    return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": " + text;
}

}  // namespace gaspipe::network
