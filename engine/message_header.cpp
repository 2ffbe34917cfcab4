#include "message_header.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>

#include "property_lookup.h"

namespace parcelo {

namespace {

constexpr uint16_t kPrImportance = 0x0017;
constexpr uint16_t kPrSubject = 0x0037;
constexpr uint16_t kPrClientSubmitTime = 0x0039;
constexpr uint16_t kPrSentRepresentingName = 0x0042;
constexpr uint16_t kPrSentRepresentingEmailAddress = 0x0065;
constexpr uint16_t kPrConversationTopic = 0x0070;
constexpr uint16_t kPrRecipientType = 0x0C15;
constexpr uint16_t kPrSenderName = 0x0C1A;
constexpr uint16_t kPrSenderEmailAddress = 0x0C1F;
constexpr uint16_t kPrDisplayCc = 0x0E03;
constexpr uint16_t kPrDisplayTo = 0x0E04;
constexpr uint16_t kPrDisplayName = 0x3001;
constexpr uint16_t kPrAddressType = 0x3002;
constexpr uint16_t kPrEmailAddress = 0x3003;
constexpr uint16_t kPrSmtpAddress = 0x39FE;
constexpr uint16_t kPrSenderSmtpAddress = 0x5D01;
constexpr uint16_t kPrSentRepresentingSmtpAddress = 0x5D02;
constexpr int32_t kRecipientTo = 1;
constexpr int32_t kRecipientCc = 2;
// FILETIME counts 100 ns from 1601; the epoch is this many seconds later.
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
constexpr uint64_t kDtrSize = 12;  // year, month, day, hour, minute, second (day of week unread)

std::string textOf(const PropertyLookup& lookup, uint16_t id) {
    const std::optional<TextValue> value = lookup.text(id);
    return value ? value->text() : std::string();
}

// The first of the properties that holds text.
std::string firstText(const PropertyLookup& lookup, std::initializer_list<uint16_t> ids) {
    for (const uint16_t id : ids) {
        if (std::string text = textOf(lookup, id); !text.empty())
            return text;
    }
    return {};
}

// An address a reader can use: an Exchange address ("/O=ORG/OU=...") is no mail address,
// and is shown only when there is nothing better.
std::string smtpOrEmail(const PropertyLookup& lookup, uint16_t smtpId, uint16_t emailId) {
    if (std::string smtp = textOf(lookup, smtpId); !smtp.empty())
        return smtp;
    return textOf(lookup, emailId);
}

// attFrom: a TRP header (id, total size, name size, address size), the name, the address
// ("SMTP:ann@example.com" or a bare address). Sizes count the NUL and sometimes padding.
MessageAddress addressOfTrp(const std::string& trp) {
    MessageAddress from;
    if (trp.size() < 8)
        return from;
    const auto u16 = [&](size_t at) {
        return static_cast<size_t>(static_cast<unsigned char>(trp[at]) |
                                   static_cast<unsigned char>(trp[at + 1]) << 8);
    };
    const size_t nameSize = u16(4);
    const size_t addressSize = u16(6);
    const std::string name = trp.substr(8, nameSize);
    from.name = name.substr(0, name.find('\0'));
    size_t at = std::min(trp.size(), 8 + nameSize);
    while (at < trp.size() && trp[at] == '\0')
        ++at;
    std::string address = trp.substr(at, addressSize);
    address = address.substr(0, address.find('\0'));
    // The address type goes before a colon; a mail address has its "@" after it.
    if (const size_t colon = address.find(':');
        colon != std::string::npos && address.find('@') > colon) {
        address.erase(0, colon + 1);
    }
    from.address = address;
    return from;
}

std::optional<int64_t> unixTimeOfFileTime(const ValueBytes& value) {
    if (value.size() < 8)
        return std::nullopt;
    const std::string bytes = value.prefix(8);
    uint64_t fileTime = 0;
    for (int i = 7; i >= 0; --i)
        fileTime = fileTime << 8 | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    return static_cast<int64_t>(fileTime / kFileTimeUnitsPerSecond) - kSecondsFrom1601To1970;
}

// attDateSent: six 16-bit fields, UTC.
std::optional<int64_t> unixTimeOfDtr(const ValueBytes& value) {
    if (value.size() < kDtrSize)
        return std::nullopt;
    const std::string bytes = value.prefix(kDtrSize);
    int fields[6] = {};
    for (size_t i = 0; i < 6; ++i) {
        fields[i] = static_cast<unsigned char>(bytes[2 * i]) |
                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8;
    }
    using namespace std::chrono;
    const year_month_day date{year(fields[0]), month(static_cast<unsigned>(fields[1])),
                              day(static_cast<unsigned>(fields[2]))};
    if (!date.ok() || fields[3] > 23 || fields[4] > 59 || fields[5] > 60)
        return std::nullopt;
    const seconds since = sys_days(date).time_since_epoch() + hours(fields[3]) +
                          minutes(fields[4]) + seconds(fields[5]);
    return since.count();
}

MessageAddress recipientOf(const PropertyLookup& row) {
    MessageAddress recipient;
    recipient.name = textOf(row, kPrDisplayName);
    recipient.address = textOf(row, kPrSmtpAddress);
    // PR_EMAIL_ADDRESS is a mail address only when the type says so.
    if (recipient.address.empty() && textOf(row, kPrAddressType) != "EX")
        recipient.address = textOf(row, kPrEmailAddress);
    return recipient;
}

}  // namespace

std::string MessageAddress::display() const {
    if (name.empty() || address.empty() || name == address)
        return name.empty() ? address : name;
    return name + " <" + address + ">";
}

bool MessageHeader::empty() const {
    return from.name.empty() && from.address.empty() && !sentTime && to.empty() && cc.empty() &&
           subject.empty() && importance == MessageImportance::kNormal;
}

MessageHeader ReadMessageHeader(const MapiMessage& message) {
    MessageHeader header;
    const PropertyLookup lookup(message.properties, message.codePage);

    // The person the message was sent for is who the reader sees; a delegate who sent it
    // only when nobody else is named. Name and address come from the same one.
    header.from = {
        textOf(lookup, kPrSentRepresentingName),
        smtpOrEmail(lookup, kPrSentRepresentingSmtpAddress, kPrSentRepresentingEmailAddress)};
    if (header.from.name.empty() && header.from.address.empty()) {
        header.from = {textOf(lookup, kPrSenderName),
                       smtpOrEmail(lookup, kPrSenderSmtpAddress, kPrSenderEmailAddress)};
    }
    if (header.from.name.empty() && header.from.address.empty() && message.from)
        header.from = addressOfTrp(message.from->load());

    if (const std::optional<ValueBytes> submit =
            lookup.value(PropertyTag(kPrClientSubmitTime, kPtSysTime))) {
        header.sentTime = unixTimeOfFileTime(*submit);
    }
    if (!header.sentTime && message.dateSent)
        header.sentTime = unixTimeOfDtr(*message.dateSent);

    for (const MapiPropertyList& properties : message.recipients) {
        const PropertyLookup row(properties, message.codePage);
        const std::optional<ValueBytes> type = row.value(PropertyTag(kPrRecipientType, kPtLong));
        const int32_t kind = type ? LittleEndian32(*type) : kRecipientTo;
        MessageAddress recipient = recipientOf(row);
        if (recipient.name.empty() && recipient.address.empty())
            continue;
        if (kind == kRecipientTo)
            header.to.push_back(std::move(recipient));
        else if (kind == kRecipientCc)
            header.cc.push_back(std::move(recipient));
    }
    if (header.to.empty()) {
        if (std::string to = textOf(lookup, kPrDisplayTo); !to.empty())
            header.to.push_back({std::move(to), {}});
    }
    if (header.cc.empty()) {
        if (std::string cc = textOf(lookup, kPrDisplayCc); !cc.empty())
            header.cc.push_back({std::move(cc), {}});
    }

    if (message.subject)
        header.subject = lookup.messageText(*message.subject).text();
    if (header.subject.empty())
        header.subject = firstText(lookup, {kPrSubject, kPrConversationTopic});

    if (const std::optional<ValueBytes> importance =
            lookup.value(PropertyTag(kPrImportance, kPtLong))) {
        const int32_t level = LittleEndian32(*importance);
        header.importance = level == 0   ? MessageImportance::kLow
                            : level == 2 ? MessageImportance::kHigh
                                         : MessageImportance::kNormal;
    }
    return header;
}

}  // namespace parcelo
