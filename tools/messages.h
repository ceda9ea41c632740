// Every text the tool prints about a problem goes through here, so that
// nothing from outside (an argument, a CSV field, a file name) can reach the
// terminal raw: control bytes and broken UTF-8 are shown escaped, and long
// texts are cut.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace gaspipe::cli {

// text with C0/C1 control characters, DEL and bytes that are not UTF-8 shown
// as \t, \n, \r or \xNN; cut on a character boundary after maxBytes bytes of
// text, marked "..." and followed by the full length. quote goes around the
// kept text. Text that is already printable and short comes back unchanged.
std::string Printable(std::string_view text, std::size_t maxBytes, std::string_view quote = {});

// A user's text quoted in a message: 'text', cut after 40 bytes.
std::string Quoted(std::string_view text);

// A file name quoted in a message: 'path', cut only when absurdly long.
std::string QuotedPath(std::string_view path);

// Writes one message line to err (a trailing newline is added).
void PrintMessage(std::FILE* err, std::string_view line);

}  // namespace gaspipe::cli
