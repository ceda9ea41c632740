// The text a reader gets out of a sheet: of the document model, and of the
// files through the tools a reviewer would use (pdftotext, unzip).
#pragma once

#include <cstdio>
#include <string>
#include <variant>

#include "case_file.h"
#include "document.h"
#include "network.h"
#include "pipe_catalog.h"

namespace gaspipe::sheet::test {

inline std::string AllText(const Document& doc) {
    std::string text;
    auto add = [&text](const Rich& r) { text += PlainText(r) + "\n"; };
    for (const Element& e : doc.elements) {
        if (const auto* h = std::get_if<Heading>(&e)) text += h->text + "\n";
        if (const auto* p = std::get_if<Paragraph>(&e)) add(p->text);
        if (const auto* f = std::get_if<Formula>(&e)) add(f->expression);
        if (const auto* t = std::get_if<Table>(&e)) {
            text += t->caption + "\n";
            for (const auto& row : t->rows)
                for (const Cell& c : row) add(c.text);
        }
    }
    return text;
}

// A shipped example case solved on the shipped pipe file; ok says whether
// it was read and solved.
struct SolvedExample {
    explicit SolvedExample(const std::string& name)
        : read(network::LoadCase(std::string(GASPIPE_EXAMPLES "/") + name)),
          catalog(Catalog(read)),
          factors(SimultaneityTable::Read(GASPIPE_SHIPPED_SIMULTANEITY)),
          net(catalog, &factors),
          ok(read.value && net.Load(*read.value)) {}
    SolvedExample(const SolvedExample&) = delete;

    const network::Case& c() const { return *read.value; }

    network::CaseReadResult read;
    network::PipeCatalog catalog;
    SimultaneityTable factors;
    network::Network net;  // holds pointers to catalog and factors
    bool ok;

  private:
    static network::PipeCatalog Catalog(const network::CaseReadResult& read) {
        if (!read.value) return {};
        classIniFile ini;
        ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
        return network::PipeCatalog::Read(ini, *read.value);
    }
};

// Standard output of a shell command.
inline std::string Run(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// Without blanks, which pdftotext places by the layout.
inline std::string Squeezed(std::string text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\f') out += c;
    return out;
}

}  // namespace gaspipe::sheet::test
