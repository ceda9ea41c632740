// The .gpcase case file: UTF-8 JSON, {"format": "gaspipe-case", "version": N,
// ...}. Older versions are migrated step by step on reading; a newer version
// is refused. Members this program does not know are kept through a load and
// save. Reading bounds what a file may hold, so a damaged or hostile file
// ends in an error naming its position, never in a crash, a hang or an
// exhausted memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "case.h"

namespace gaspipe::network {

inline constexpr std::string_view kCaseFormat = "gaspipe-case";
inline constexpr int kCaseVersion = 2;

// The version a case is written as: the oldest that reads it as meant, so
// that a file using nothing new opens in older programs as before.
int CaseFileVersion(const Case& c);

struct CaseFileLimits {
    std::size_t maxBytes = 16u << 20;
    std::size_t maxSegments = 100'000;
    std::size_t maxNodes = 100'001;
    std::size_t maxDepth = 32;          // nesting of arrays and objects
    std::size_t maxValues = 4'000'000;  // every value, key, object and array
    std::size_t maxIdBytes = 256;       // ids, node names, materials, nominal diameters
    std::size_t maxTextBytes = 4096;    // project fields and other free texts
};

// Why a case file cannot be read, in parts, so that the command line and
// the window can each say it in their own words. Where: the top-level member
// it is in ("gas", "method", ...; "node" and "segment" for a row of "nodes"
// or "segments", with the row's 1-based place and, once read, its id; empty
// for the file as a whole), the member of that object and, for a material of
// method.roughness, the material.
struct CaseFileProblem {
    enum class Kind {
        NoSuchFile,
        NotAFile,    // a folder, a pipe or a device
        CannotRead,  // detail: the system's reason
        TooLarge,    // number: the limit in bytes
        NoMemory,
        NotJson,           // detail: the JSON parser's words
        TooManyValues,     // number: the limit
        TooDeep,           // number: the limit
        TooManyRows,       // member: "segments" or "nodes"; number: the limit
        DuplicateMember,   // member (or material) named twice in one object
        NotACase,          // no JSON object, or member "format" is not kCaseFormat
        BadVersion,        // "version" is not a whole number from 1 up
        NewerVersion,      // detail: the file's version
        Missing,           // member
        WrongType,         // expected, detail: the JSON type found
        TooLong,           // number: the limit in bytes
        ControlCharacter,  // in an id
        OutOfRange,        // a number beyond what a double holds
        UnknownMethod,     // method "name"
        UnknownValue,      // member ("part", "pressure_unit", a key of "shares"); detail: the value
    };
    enum class Type { Object, Array, Text, Number };

    Kind kind = Kind::NotJson;
    std::string part;
    std::size_t row = 0;
    std::string rowId;
    std::string member;         // empty: the part itself
    std::string material;       // of method.roughness
    bool materialName = false;  // the problem is a material's name, not its value
    Type expected = Type::Object;
    std::string detail;
    std::size_t number = 0;
    std::size_t line = 0, column = 0;  // 1-based; 0 when the problem has no place in the text
};

// The problem in English, as gaspipe-calc prints it: "line L, column C: "
// first when it has a place.
std::string DescribeProblem(const CaseFileProblem& problem);

struct CaseReadResult {
    std::optional<Case> value;
    // When value is empty: what is wrong, as DescribeProblem says it.
    std::string error;
    std::optional<CaseFileProblem> problem;
    std::size_t line = 0, column = 0;  // 1-based; 0 when the error has no place
};

CaseReadResult ParseCase(std::string_view bytes, const CaseFileLimits& limits = {});
CaseReadResult LoadCase(const std::string& path, const CaseFileLimits& limits = {});

// Why a text cannot stand in a case file: longer than maxBytes (UTF-8
// bytes), or, for an id, holding a control character (C0, DEL, C1). The
// reader, the CSV import and the window all ask this.
enum class TextFault { None, TooLong, ControlCharacter };
TextFault CheckCaseText(std::string_view text, std::size_t maxBytes, bool id);

// The file text: one line per top-level member, one line per node and per
// segment, so that a version-control diff shows the rows that changed.
std::string CaseToJson(const Case& c);

// The file text of c, read back by this program's own reader before it is
// handed out: a case the reader would refuse (an id too long, a control
// character, too many rows, ...) gives no text and the reader's problem,
// without its place in a text nobody sees.
struct CaseText {
    std::string text;
    std::optional<CaseFileProblem> problem;
};
CaseText CheckedCaseToJson(const Case& c);

// Writes the case atomically (temporary file in the same folder, fsync,
// rename; the permissions of an existing file are kept), after
// CheckedCaseToJson: what this program cannot open again is not written. On
// failure the previous file is untouched and the message says why.
struct SaveResult {
    bool ok = false;
    std::string error;
    std::optional<CaseFileProblem> problem;  // when the case itself was refused
    std::string systemError;                 // when the file could not be written
};
SaveResult SaveCase(const std::string& path, const Case& c);

}  // namespace gaspipe::network
