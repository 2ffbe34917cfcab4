// The routines through which the item writers put property values into their vCard and
// iCalendar files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output_file.h"
#include "property_lookup.h"

namespace parcelo {

// `format` with its one "%s" replaced by `text`; the text is never read as a format.
std::string FillLine(std::string_view format, std::string_view text);

// The text with every line break (CR LF, a lone CR, a lone LF) made one space, so that a
// value cannot end its line early.
std::string OnSingleLine(std::string_view text);

// The text for a double-quoted parameter value: on one line, with each double quote made
// a single quote.
std::string QuotedParameter(std::string_view text);

// The entries of a ";"-separated list, each without its leading spaces; n separators give
// n + 1 entries, empty ones included.
std::vector<std::string_view> ListEntries(std::string_view list);

// Writes `format` filled with the text of the standard property `id` when it holds text;
// nothing when the property is absent, of size 0 or a lone NUL.
void WriteProperty(OutputFile& out, const PropertyLookup& lookup, uint16_t type, uint16_t id,
                   std::string_view format);

// The same for the property named by the number `lid`, whatever its property set.
void WriteUserProperty(OutputFile& out, const PropertyLookup& lookup, uint16_t type, uint16_t lid,
                       std::string_view format);

// The value's text with each line feed as "=0A" and carriage returns left out.
std::string QuotedPrintableText(const TextValue& value);

// Writes the value's text as QuotedPrintableText gives it.
void WriteQuotedPrintableText(OutputFile& out, const TextValue& value);

// Writes the value's text escaped as an iCalendar text value.
void WriteEscapedText(OutputFile& out, const TextValue& value);

// The text escaped as an iCalendar text value.
std::string EscapedText(std::string_view text);

// The plain text at the first group level of an RTF document, as its bytes stand.
std::string RtfAsText(std::string_view rtf);

// Writes the plain text at the first group level of an RTF document, escaped as an
// iCalendar text value, and ends the line.
void WriteRtfAsText(OutputFile& out, std::string_view rtf);

}  // namespace parcelo
