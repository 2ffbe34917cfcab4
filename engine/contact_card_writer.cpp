#include "contact_card_writer.h"

#include <array>
#include <cstdio>
#include <span>

#include "file_time.h"
#include "output_file.h"
#include "property_lookup.h"
#include "property_text.h"
#include "safe_file_name.h"

namespace parcelo {

namespace {

constexpr uint16_t kPrDisplayName = 0x3001;
constexpr uint16_t kPrCompanyName = 0x3A16;
constexpr uint16_t kPrDepartmentName = 0x3A18;
constexpr uint32_t kPrBirthday = PropertyTag(0x3A42, kPtSysTime);
constexpr uint32_t kPrWeddingAnniversary = PropertyTag(0x3A41, kPtSysTime);
constexpr uint16_t kLidWorkAddress = 0x801B;
constexpr uint16_t kLidHomeAddress = 0x801A;

struct PropertyLine {
    uint16_t id;
    std::string_view format;
    bool named = false;  // a numeric name rather than a standard identifier
};

// Post office box, street, city, state or province, postal code, country.
struct AddressBlock {
    std::string_view header;
    std::array<uint16_t, 6> fields;
    std::optional<uint16_t> labelLid;
    std::string_view labelHeader;
};

constexpr std::array<AddressBlock, 3> kAddressBlocks = {{
    {"ADR;QUOTED-PRINTABLE;WORK:",
     {0x3A2B, 0x3A29, 0x3A27, 0x3A28, 0x3A2A, 0x3A26},
     kLidWorkAddress,
     "LABEL;QUOTED-PRINTABLE;WORK:"},
    {"ADR;QUOTED-PRINTABLE;HOME:",
     {0x3A5E, 0x3A5D, 0x3A59, 0x3A5C, 0x3A5B, 0x3A5A},
     kLidHomeAddress,
     "LABEL;QUOTED-PRINTABLE;HOME:"},
    {"ADR;QUOTED-PRINTABLE;OTHER:",
     {0x3A64, 0x3A63, 0x3A5F, 0x3A62, 0x3A61, 0x3A60},
     std::nullopt,
     ""},
}};

// What comes before each address field in the ADR line; the doubled separator leaves the
// extended address empty.
constexpr std::array<std::string_view, 6> kAddressSeparators = {"", ";;", ";", ";", ";", ";"};

constexpr std::array<PropertyLine, 5> kPeopleLines = {{
    {0x3A4F, "NICKNAME:%s\n"},
    {0x8554, "MAILER:Microsoft Outlook %s\n", true},
    {0x3A48, "X-EVOLUTION-SPOUSE:%s\n"},
    {0x3A4E, "X-EVOLUTION-MANAGER:%s\n"},
    {0x3A30, "X-EVOLUTION-ASSISTANT:%s\n"},
}};

constexpr std::array<PropertyLine, 4> kWorkLines = {{
    {0x3A19, "X-EVOLUTION-OFFICE:%s\n"},
    {0x3A17, "TITLE:%s\n"},
    {0x3A46, "ROLE:%s\n"},
    {0x1000, "NOTE:%s\n"},
}};

constexpr std::array<PropertyLine, 19> kTelephoneLines = {{
    {0x3A02, "TEL;X-EVOLUTION-CALLBACK:%s\n"},
    {0x3A1A, "TEL;PREF:%s\n"},
    {0x3A1C, "TEL;CELL:%s\n"},
    {0x3A1D, "TEL;X-EVOLUTION-RADIO:%s\n"},
    {0x3A1E, "TEL;CAR:%s\n"},
    {0x3A1F, "TEL;VOICE:%s\n"},
    {0x3A21, "TEL;PAGER:%s\n"},
    {0x3A2C, "TEL;X-EVOLUTION-TELEX:%s\n"},
    {0x3A2D, "TEL;ISDN:%s\n"},
    {0x3A2F, "TEL;HOME:%s\n"},
    {0x3A4B, "TEL;X-EVOLUTION-TTYTDD:%s\n"},
    {0x3A09, "TEL;HOME;VOICE:%s\n"},
    {0x3A2E, "TEL;X-EVOLUTION-ASSISTANT:%s\n"},
    {0x3A57, "TEL;WORK:%s\n"},
    {0x3A08, "TEL;WORK:%s\n"},
    {0x3A1B, "TEL;WORK;VOICE:%s\n"},
    {0x3A23, "TEL;PREF;FAX:%s\n"},
    {0x3A24, "TEL;WORK;FAX:%s\n"},
    {0x3A25, "TEL;HOME;FAX:%s\n"},
}};

constexpr std::array<PropertyLine, 2> kWebLines = {{
    {0x3A51, "URL:%s\n"},
    {0x80D8, "FBURL:%s\n", true},
}};

// The stored address of each e-mail slot, and the display form stored beside it.
constexpr std::array<std::array<uint16_t, 2>, 3> kEmailLids = {{
    {0x8083, 0x8084},
    {0x8093, 0x8094},
    {0x80A3, 0x80A4},
}};

void writeLines(OutputFile& out, const PropertyLookup& lookup,
                std::span<const PropertyLine> lines) {
    for (const PropertyLine& line : lines) {
        if (line.named) {
            WriteUserProperty(out, lookup, kPtString8, line.id, line.format);
        } else {
            WriteProperty(out, lookup, kPtString8, line.id, line.format);
        }
    }
}

void writeAddressBlock(OutputFile& out, const PropertyLookup& lookup, const AddressBlock& block) {
    std::array<std::optional<TextValue>, 6> fields;
    bool anyPresent = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        fields[i] = lookup.text(block.fields[i]);
        anyPresent = anyPresent || fields[i].has_value();
    }
    if (!anyPresent)
        return;
    out.write(block.header);
    for (size_t i = 0; i < fields.size(); ++i) {
        out.write(kAddressSeparators[i]);
        if (fields[i])
            WriteQuotedPrintableText(out, *fields[i]);
    }
    out.write('\n');
    if (!block.labelLid)
        return;
    if (const std::optional<TextValue> label = lookup.namedText(*block.labelLid)) {
        out.write(block.labelHeader);
        WriteQuotedPrintableText(out, *label);
        out.write('\n');
    }
}

void writeEmailLines(OutputFile& out, const PropertyLookup& lookup) {
    for (const std::array<uint16_t, 2>& lids : kEmailLids) {
        // A present address, even an empty one, keeps the display form out.
        std::optional<TextValue> email = lookup.namedText(lids[0]);
        if (!email)
            email = lookup.namedText(lids[1]);
        if (email && email->size() > 0)
            out.write(FillLine("EMAIL:%s\n", OnSingleLine(email->text())));
    }
}

void writeDate(OutputFile& out, const PropertyLookup& lookup, uint32_t tag, std::string_view name) {
    const std::optional<ValueBytes> value = lookup.value(tag);
    if (!value)
        return;
    const std::optional<CalendarTime> time = SysTimeValue(*value);
    if (!time)
        return;
    char date[32];
    std::snprintf(date, sizeof date, "%i-%02i-%02i\n", time->year, time->month, time->day);
    out.write(name).write(date);
}

}  // namespace

void WriteContactCard(ExtractionRun& run, const TnefMessage& message) {
    const PropertyLookup lookup(message.properties(), message.codePage());
    std::optional<TextValue> nameSource = lookup.text(kPrDisplayName);
    if (!nameSource)
        nameSource = lookup.text(kPrCompanyName);

    std::string fileName = "unknown.vcf";
    if (nameSource) {
        fileName = SafeFileName(nameSource->text() + ".vcf");
    } else if (message.subject() && message.subject()->size() > 0) {
        fileName = SafeFileName(lookup.messageText(*message.subject()).text() + ".vcf");
    }
    const std::string path = AddExtractedFile(run, run.pathFor(fileName), 0, 1).path;
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (!out.isOpen())
        return;

    out.write("BEGIN:VCARD\n");
    out.write("VERSION:2.1\n");
    if (nameSource)
        out.write(FillLine("FN:%s\n", OnSingleLine(nameSource->text())));
    writeLines(out, lookup, kPeopleLines);
    const std::optional<TextValue> company = lookup.text(kPrCompanyName);
    if (company && company->isNonEmpty()) {
        std::string org = "ORG:" + OnSingleLine(company->text());
        if (const std::optional<TextValue> department = lookup.text(kPrDepartmentName)) {
            org += ";" + OnSingleLine(department->text());
        }
        out.write(org + "\n");
    }
    writeLines(out, lookup, kWorkLines);
    if (message.body().size() > 0) {
        out.write("NOTE;QUOTED-PRINTABLE:");
        WriteQuotedPrintableText(out, lookup.messageText(message.body()));
        out.write('\n');
    }
    for (const AddressBlock& block : kAddressBlocks)
        writeAddressBlock(out, lookup, block);
    writeLines(out, lookup, kTelephoneLines);
    writeEmailLines(out, lookup);
    writeLines(out, lookup, kWebLines);
    writeDate(out, lookup, kPrBirthday, "BDAY:");
    writeDate(out, lookup, kPrWeddingAnniversary, "X-EVOLUTION-ANNIVERSARY:");
    out.write("END:VCARD\n");
}

}  // namespace parcelo
