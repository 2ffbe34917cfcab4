#include "contact_card_writer.h"

#include <array>
#include <cstdio>
#include <span>

#include "file_time.h"
#include "output_file.h"
#include "property_lookup.h"
#include "property_text.h"
#include "recurrence_rule.h"
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
    bool named = false;          // a numeric name rather than a standard identifier
    std::string_view kind = {};  // what the card calls a telephone number
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
    {0x3A02, "TEL;X-EVOLUTION-CALLBACK:%s\n", false, "callback"},
    {0x3A1A, "TEL;PREF:%s\n", false, "primary"},
    {0x3A1C, "TEL;CELL:%s\n", false, "mobile"},
    {0x3A1D, "TEL;X-EVOLUTION-RADIO:%s\n", false, "radio"},
    {0x3A1E, "TEL;CAR:%s\n", false, "car"},
    {0x3A1F, "TEL;VOICE:%s\n", false, "other"},
    {0x3A21, "TEL;PAGER:%s\n", false, "pager"},
    {0x3A2C, "TEL;X-EVOLUTION-TELEX:%s\n", false, "telex"},
    {0x3A2D, "TEL;ISDN:%s\n", false, "ISDN"},
    {0x3A2F, "TEL;HOME:%s\n", false, "home"},
    {0x3A4B, "TEL;X-EVOLUTION-TTYTDD:%s\n", false, "TTY/TDD"},
    {0x3A09, "TEL;HOME;VOICE:%s\n", false, "home"},
    {0x3A2E, "TEL;X-EVOLUTION-ASSISTANT:%s\n", false, "assistant"},
    {0x3A57, "TEL;WORK:%s\n", false, "work"},
    {0x3A08, "TEL;WORK:%s\n", false, "work"},
    {0x3A1B, "TEL;WORK;VOICE:%s\n", false, "work"},
    {0x3A23, "TEL;PREF;FAX:%s\n", false, "fax"},
    {0x3A24, "TEL;WORK;FAX:%s\n", false, "work fax"},
    {0x3A25, "TEL;HOME;FAX:%s\n", false, "home fax"},
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

std::vector<std::optional<TextValue>> readLines(const PropertyLookup& lookup,
                                                std::span<const PropertyLine> lines) {
    std::vector<std::optional<TextValue>> values;
    values.reserve(lines.size());
    for (const PropertyLine& line : lines)
        values.push_back(line.named ? lookup.namedText(line.id) : lookup.text(line.id));
    return values;
}

void writeLines(std::string& out, std::span<const PropertyLine> lines,
                const std::vector<std::optional<TextValue>>& values) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (values[i] && values[i]->isNonEmpty())
            out += FillLine(lines[i].format, OnSingleLine(values[i]->text()));
    }
}

void writeAddressBlock(std::string& out, const AddressBlock& block,
                       const ContactItem::Address& address) {
    if (!address.present())
        return;
    out += block.header;
    for (size_t i = 0; i < address.fields.size(); ++i) {
        out += kAddressSeparators[i];
        if (address.fields[i])
            out += QuotedPrintableText(*address.fields[i]);
    }
    out += '\n';
    if (address.label) {
        out += block.labelHeader;
        out += QuotedPrintableText(*address.label);
        out += '\n';
    }
}

std::optional<CalendarTime> dateOf(const PropertyLookup& lookup, uint32_t tag) {
    const std::optional<ValueBytes> value = lookup.value(tag);
    return value ? SysTimeValue(*value) : std::nullopt;
}

void writeDate(std::string& out, const std::optional<CalendarTime>& time, std::string_view name) {
    if (!time)
        return;
    char date[32];
    std::snprintf(date, sizeof date, "%i-%02i-%02i\n", time->year, time->month, time->day);
    out.append(name).append(date);
}

std::string nonEmptyText(const std::optional<TextValue>& value) {
    return value && value->isNonEmpty() ? OnSingleLine(value->text()) : std::string();
}

void addLine(std::string& lines, const std::string& line) {
    if (line.empty())
        return;
    if (!lines.empty())
        lines += '\n';
    lines += line;
}

// An address on one line: street, city, state, postal code, country, the box first.
std::string addressWords(const ContactItem::Address& address) {
    if (address.label && address.label->isNonEmpty()) {
        std::string text = OnSingleLine(address.label->text());
        return text;
    }
    std::string words;
    for (const std::optional<TextValue>& field : address.fields) {
        const std::string text = nonEmptyText(field);
        if (text.empty())
            continue;
        if (!words.empty())
            words += ", ";
        words += text;
    }
    return words;
}

}  // namespace

bool ContactItem::Address::present() const {
    for (const std::optional<TextValue>& field : fields) {
        if (field)
            return true;
    }
    return false;
}

ContactItem ReadContactItem(const MapiMessage& message) {
    const PropertyLookup lookup(message.properties, message.codePage);
    ContactItem contact;
    contact.name = lookup.text(kPrDisplayName);
    if (!contact.name)
        contact.name = lookup.text(kPrCompanyName);
    contact.fileName = "unknown.vcf";
    if (contact.name) {
        contact.fileName = SafeFileName(contact.name->text() + ".vcf");
    } else if (message.subject && message.subject->size() > 0) {
        contact.fileName = SafeFileName(lookup.messageText(*message.subject).text() + ".vcf");
    }
    contact.people = readLines(lookup, kPeopleLines);
    contact.company = lookup.text(kPrCompanyName);
    contact.department = lookup.text(kPrDepartmentName);
    contact.work = readLines(lookup, kWorkLines);
    if (message.body.size() > 0)
        contact.note = lookup.messageText(message.body);
    for (size_t i = 0; i < kAddressBlocks.size(); ++i) {
        const AddressBlock& block = kAddressBlocks[i];
        ContactItem::Address& address = contact.addresses[i];
        for (size_t f = 0; f < address.fields.size(); ++f)
            address.fields[f] = lookup.text(block.fields[f]);
        if (block.labelLid)
            address.label = lookup.namedText(*block.labelLid);
    }
    contact.telephones = readLines(lookup, kTelephoneLines);
    for (size_t i = 0; i < kEmailLids.size(); ++i) {
        // A present address, even an empty one, keeps the display form out.
        contact.emails[i] = lookup.namedText(kEmailLids[i][0]);
        if (!contact.emails[i])
            contact.emails[i] = lookup.namedText(kEmailLids[i][1]);
    }
    contact.web = readLines(lookup, kWebLines);
    contact.birthday = dateOf(lookup, kPrBirthday);
    contact.anniversary = dateOf(lookup, kPrWeddingAnniversary);
    return contact;
}

std::string ContactCardText(const ContactItem& contact) {
    std::string out = "BEGIN:VCARD\n";
    out += "VERSION:2.1\n";
    if (contact.name)
        out += FillLine("FN:%s\n", OnSingleLine(contact.name->text()));
    writeLines(out, kPeopleLines, contact.people);
    if (contact.company && contact.company->isNonEmpty()) {
        std::string org = "ORG:" + OnSingleLine(contact.company->text());
        if (contact.department)
            org += ";" + OnSingleLine(contact.department->text());
        out += org + "\n";
    }
    writeLines(out, kWorkLines, contact.work);
    if (contact.note)
        out += "NOTE;QUOTED-PRINTABLE:" + QuotedPrintableText(*contact.note) + "\n";
    for (size_t i = 0; i < kAddressBlocks.size(); ++i)
        writeAddressBlock(out, kAddressBlocks[i], contact.addresses[i]);
    writeLines(out, kTelephoneLines, contact.telephones);
    for (const std::optional<TextValue>& email : contact.emails) {
        if (email && email->size() > 0)
            out += FillLine("EMAIL:%s\n", OnSingleLine(email->text()));
    }
    writeLines(out, kWebLines, contact.web);
    writeDate(out, contact.birthday, "BDAY:");
    writeDate(out, contact.anniversary, "X-EVOLUTION-ANNIVERSARY:");
    out += "END:VCARD\n";
    return out;
}

ItemCard ContactCard(const ContactItem& contact) {
    static constexpr std::array<const char*, 3> kAddressKinds = {" (work)", " (home)", " (other)"};
    static constexpr size_t kJobTitle = 1;  // TITLE in the work lines
    ItemCard card;
    card.kind = ItemCard::Kind::kContact;
    card.title = nonEmptyText(contact.name);
    std::string company = nonEmptyText(contact.company);
    if (const std::string department = nonEmptyText(contact.department);
        !company.empty() && !department.empty()) {
        company += ", " + department;
    }
    card.addRow("Company:", company);
    card.addRow("Job title:", nonEmptyText(contact.work[kJobTitle]));
    std::string phones;
    for (size_t i = 0; i < kTelephoneLines.size(); ++i) {
        if (const std::string number = nonEmptyText(contact.telephones[i]); !number.empty())
            addLine(phones, number + " (" + std::string(kTelephoneLines[i].kind) + ")");
    }
    card.addRow("Phone:", phones);
    std::string emails;
    for (const std::optional<TextValue>& email : contact.emails)
        addLine(emails, nonEmptyText(email));
    card.addRow("E-mail:", emails);
    std::string addresses;
    for (size_t i = 0; i < contact.addresses.size(); ++i) {
        if (const std::string words = addressWords(contact.addresses[i]); !words.empty())
            addLine(addresses, words + kAddressKinds[i]);
    }
    card.addRow("Address:", addresses);
    if (contact.birthday)
        card.addRow("Birthday:", DateWords(*contact.birthday));
    if (contact.note)
        card.description = contact.note->text();
    return card;
}

void WriteContactCard(ExtractionRun& run, const MapiMessage& message) {
    const ContactItem contact = ReadContactItem(message);
    const std::string path = AddExtractedFile(run, run.pathFor(contact.fileName), 0, 1).path;
    if (run.onCard)
        run.onCard(ContactCard(contact));
    if (run.writeFiles == 0)
        return;
    RecordedOutputFile out(run, path);
    if (out.isOpen())
        out.write(ContactCardText(contact));
}

}  // namespace parcelo
