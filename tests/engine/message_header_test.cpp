#include "message_header.h"

#include <gtest/gtest.h>

#include "byte_source.h"
#include "extraction_run.h"
#include "tnef_builder.h"

namespace parcelo::testing {
namespace {

constexpr uint32_t kAttFrom = 0x00008000;
constexpr uint32_t kAttDateSent = 0x00038005;
constexpr uint32_t kAttRecipTable = 0x00069004;

// attFrom: a TRP header, the name and the "SMTP:" address, each with its NUL.
std::string Trp(const std::string& name, const std::string& address) {
    const std::string n = name + '\0';
    const std::string a = address + '\0';
    return le16(4) + le16(static_cast<uint16_t>(8 + n.size() + a.size())) +
           le16(static_cast<uint16_t>(n.size())) + le16(static_cast<uint16_t>(a.size())) + n + a;
}

// attDateSent: year, month, day, hour, minute, second, day of the week.
std::string Dtr(int y, int mo, int d, int h, int mi, int s) {
    std::string out;
    for (const int v : {y, mo, d, h, mi, s, 0})
        out += le16(static_cast<uint16_t>(v));
    return out;
}

std::string RecipientTable(const std::vector<PropertyList>& rows) {
    std::string out = le32(static_cast<uint32_t>(rows.size()));
    for (const PropertyList& row : rows)
        out += row.encode();
    return out;
}

PropertyList Recipient(const std::string& name, const std::string& smtp, int32_t type) {
    return PropertyList().string8(0x3001, name).string8(0x39FE, smtp).long32(0x0C15, type);
}

struct HeaderCase {
    const char* name;
    PropertyList props;
    std::vector<std::pair<uint32_t, std::string>> attributes;  // after attMsgProps
    std::string from = "";
    std::string to = "";
    std::string cc = "";
    std::optional<int64_t> sent = std::nullopt;
    std::string subject = "s";
    MessageImportance importance = MessageImportance::kNormal;
};

std::string Joined(const std::vector<MessageAddress>& addresses) {
    std::string out;
    for (const MessageAddress& a : addresses)
        out += (out.empty() ? "" : "; ") + a.display();
    return out;
}

class HeaderFields : public ::testing::TestWithParam<HeaderCase> {};

// The first present of each field's sources is shown; a later one never overrides it.
TEST_P(HeaderFields, TakeTheFirstSourceThatHoldsThem) {
    const HeaderCase& c = GetParam();
    TnefBuilder stream;
    stream.messageClass("IPM.Microsoft Mail.Note").subject("s").messageProps(c.props);
    for (const auto& [id, data] : c.attributes)
        stream.attribute(kLevelMessage, id, data);
    const std::string bytes = stream.bytes();
    std::optional<MessageHeader> header;
    ExtractionRun run;
    run.onMessage = [&](const MessageHeader& h, int) { header = h; };
    ExtractTnefStream(run, MemorySource(bytes.data(), bytes.size()), 0, std::nullopt);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->from.display(), c.from);
    EXPECT_EQ(Joined(header->to), c.to);
    EXPECT_EQ(Joined(header->cc), c.cc);
    EXPECT_EQ(header->sentTime, c.sent);
    EXPECT_EQ(header->subject, c.subject);
    EXPECT_EQ(header->importance, c.importance);
}

const std::string kAnnTrp = Trp("Ann Trp", "SMTP:ann@trp.example");
// 2005-03-01 14:05:09 UTC, a first of the month that the library dates wrongly.
constexpr int64_t kMarchFirst = 1109685909;

INSTANTIATE_TEST_SUITE_P(
    Header, HeaderFields,
    ::testing::Values(
        HeaderCase{"SentRepresentingBeforeSender",
                   PropertyList()
                       .string8(0x0C1A, "Delegate")
                       .string8(0x5D01, "delegate@example.com")
                       .string8(0x0042, "Boss")
                       .string8(0x5D02, "boss@example.com"),
                   {{kAttFrom, kAnnTrp}},
                   "Boss <boss@example.com>"},
        HeaderCase{"SenderBeforeAttFrom",
                   PropertyList().string8(0x0C1A, "Sam").string8(0x0C1F, "sam@example.com"),
                   {{kAttFrom, kAnnTrp}},
                   "Sam <sam@example.com>"},
        HeaderCase{"SmtpAddressBeforeExchangeAddress",
                   PropertyList()
                       .string8(0x0042, "Boss")
                       .string8(0x0065, "/O=ORG/CN=BOSS")
                       .string8(0x5D02, "boss@example.com"),
                   {},
                   "Boss <boss@example.com>"},
        HeaderCase{
            "AttFromAlone", PropertyList(), {{kAttFrom, kAnnTrp}}, "Ann Trp <ann@trp.example>"},
        HeaderCase{"RecipientTableBeforeDisplayTo",
                   PropertyList().string8(0x0E04, "Display To").string8(0x0E03, "Display Cc"),
                   {{kAttRecipTable, RecipientTable({Recipient("Tom", "tom@example.com", 1),
                                                     Recipient("Tia", "tia@example.com", 1),
                                                     Recipient("Cid", "cid@example.com", 2),
                                                     Recipient("Bea", "bea@example.com", 3)})}},
                   "",
                   "Tom <tom@example.com>; Tia <tia@example.com>",
                   "Cid <cid@example.com>"},
        HeaderCase{"DisplayToWithoutRecipientTable",
                   PropertyList().string8(0x0E04, "Tom; Tia").string8(0x0E03, "Cid"),
                   {},
                   "",
                   "Tom; Tia",
                   "Cid"},
        HeaderCase{"ClientSubmitTimeBeforeAttDateSent",
                   PropertyList().sysTime(0x0039, fileTime(2005, 3, 1, 14, 5, 9)),
                   {{kAttDateSent, Dtr(1999, 12, 31, 23, 59, 59)}},
                   "",
                   "",
                   "",
                   kMarchFirst},
        HeaderCase{"AttDateSentAlone",
                   PropertyList(),
                   {{kAttDateSent, Dtr(2005, 3, 1, 14, 5, 9)}},
                   "",
                   "",
                   "",
                   kMarchFirst},
        HeaderCase{"ConversationTopicWhenNoSubject",
                   PropertyList().string8(0x0070, "Topic"),
                   {{0x00018004, std::string(1, '\0')}},
                   "",
                   "",
                   "",
                   std::nullopt,
                   "Topic"},
        HeaderCase{"ImportanceHigh",
                   PropertyList().long32(0x0017, 2),
                   {},
                   "",
                   "",
                   "",
                   std::nullopt,
                   "s",
                   MessageImportance::kHigh}),
    [](const ::testing::TestParamInfo<HeaderCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace parcelo::testing
