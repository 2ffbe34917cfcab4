#include "property_text.h"

#include <algorithm>
#include <optional>

namespace parcelo {

namespace {

constexpr std::string_view kPlaceholder = "%s";

// Only PT_STRING8 goes through the text lookup: it is the form that has a PT_UNICODE twin.
std::optional<TextValue> lookUp(const PropertyLookup& lookup, uint16_t type, uint16_t id,
                                bool named) {
    if (type == kPtString8)
        return named ? lookup.namedText(id) : lookup.text(id);
    const uint32_t tag = PropertyTag(id, type);
    const std::optional<ValueBytes> value = named ? lookup.namedValue(tag) : lookup.value(tag);
    if (!value)
        return std::nullopt;
    return lookup.messageText(*value);
}

void writeFilled(OutputFile& out, const std::optional<TextValue>& value, std::string_view format) {
    if (!value || !value->isNonEmpty())
        return;
    out.write(FillLine(format, OnSingleLine(value->text())));
}

void writeEscapedByte(std::string& out, char c) {
    switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            break;
        case ';':
            out += "\\;";
            break;
        case ',':
            out += "\\,";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
    }
}

// The classic ASCII white space of isspace() in the "C" locale; bytes above 0x7F are not.
bool isRtfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string FillLine(std::string_view format, std::string_view text) {
    const size_t at = format.find(kPlaceholder);
    if (at == std::string_view::npos)
        return std::string(format);
    std::string line(format.substr(0, at));
    line += text;
    line += format.substr(at + kPlaceholder.size());
    return line;
}

std::string OnSingleLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            line += ' ';
        } else if (text[i] == '\n') {
            line += ' ';
        } else {
            line += text[i];
        }
    }
    return line;
}

std::string QuotedParameter(std::string_view text) {
    std::string value = OnSingleLine(text);
    for (char& c : value) {
        if (c == '"')
            c = '\'';
    }
    return value;
}

std::vector<std::string_view> ListEntries(std::string_view list) {
    std::vector<std::string_view> entries;
    size_t start = 0;
    while (true) {
        const size_t end = list.find(';', start);
        std::string_view entry =
            list.substr(start, end == std::string_view::npos ? end : end - start);
        entry.remove_prefix(std::min(entry.find_first_not_of(' '), entry.size()));
        entries.push_back(entry);
        if (end == std::string_view::npos)
            return entries;
        start = end + 1;
    }
}

void WriteProperty(OutputFile& out, const PropertyLookup& lookup, uint16_t type, uint16_t id,
                   std::string_view format) {
    writeFilled(out, lookUp(lookup, type, id, false), format);
}

void WriteUserProperty(OutputFile& out, const PropertyLookup& lookup, uint16_t type, uint16_t lid,
                       std::string_view format) {
    writeFilled(out, lookUp(lookup, type, lid, true), format);
}

std::string QuotedPrintableText(const TextValue& value) {
    const std::string text = value.allButLast();
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        if (c == '\n') {
            encoded += "=0A";
        } else if (c != '\r') {
            encoded += c;
        }
    }
    return encoded;
}

void WriteQuotedPrintableText(OutputFile& out, const TextValue& value) {
    out.write(QuotedPrintableText(value));
}

std::string EscapedText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text)
        writeEscapedByte(escaped, c);
    return escaped;
}

void WriteEscapedText(OutputFile& out, const TextValue& value) {
    out.write(EscapedText(value.allButLast()));
}

std::string RtfAsText(std::string_view rtf) {
    // Braces count even when escaped; that is how the files already written read.
    int64_t depth = 0;
    bool inControlWord = false;
    std::string text;
    for (const char c : rtf) {
        if (c == '}') {
            --depth;
            inControlWord = false;
        } else if (c == '{') {
            ++depth;
        } else {
            if (c == '\\')
                inControlWord = true;
            if (isRtfSpace(c))
                inControlWord = false;
            if (depth == 1 && !inControlWord)
                text += c;
        }
    }
    return text;
}

void WriteRtfAsText(OutputFile& out, std::string_view rtf) {
    out.write(EscapedText(RtfAsText(rtf)) + "\n");
}

}  // namespace parcelo
