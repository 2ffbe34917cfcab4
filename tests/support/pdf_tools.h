// What a PDF file holds, read with poppler-utils' pdfinfo and pdftotext.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace parcelo::testing {

inline std::string ShellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The standard output of a shell command.
inline std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

// The number of pages of a PDF file; -1 when pdfinfo cannot read it.
inline int PdfPageCount(const std::string& path) {
    const std::string info = CommandOutput("pdfinfo " + ShellQuoted(path) + " 2>/dev/null");
    const size_t at = info.find("\nPages:");
    if (at == std::string::npos)
        return -1;
    return std::stoi(info.substr(at + 7));
}

// The text of pages `first` to `last` (all pages when 0) in the order it is drawn, pages
// separated by form feeds. (Read by position instead, the cells of a table row would come out
// side by side, and a line ending in "-" would be joined to the next.)
inline std::string PdfText(const std::string& path, int first = 0, int last = 0) {
    std::string range;
    if (first > 0)
        range += " -f " + std::to_string(first);
    if (last > 0)
        range += " -l " + std::to_string(last);
    return CommandOutput("pdftotext -raw -enc UTF-8" + range + " " + ShellQuoted(path) +
                         " - 2>/dev/null");
}

}  // namespace parcelo::testing
