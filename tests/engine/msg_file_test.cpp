#include "msg_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "code_page.h"
#include "file_kind.h"
#include "msg_builder.h"
#include "tnef_builder.h"

namespace parcelo {
namespace {

using testing::MsgBuilder;

constexpr PropertySetGuid kPsAddress = {0x04, 0x20, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr PropertySetGuid kPsPublicStrings = {0x29, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

std::shared_ptr<const MapiMessage> read(const std::string& bytes) {
    const MemorySource source(bytes.data(), bytes.size());
    return ReadMsgFile(source);
}

std::string text(const std::optional<ValueBytes>& value) {
    return value ? value->load() : "(absent)";
}

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& row) {
    std::string name = row.param.what;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<std::string> valuesOf(const MapiPropertyList& list, uint32_t tag) {
    std::vector<std::string> values;
    for (const MapiProperty& property : list.all()) {
        if (property.tag == tag) {
            for (const ValueBytes& v : property.values)
                values.push_back(v.load());
        }
    }
    return values;
}

// Which code page 8-bit text is read in, and the subject the header reads first.
struct TextCase {
    const char* what;
    MsgBuilder msg;
    uint32_t codePage;
    std::string subject;
};

class MsgText : public ::testing::TestWithParam<TextCase> {};

TEST_P(MsgText, CodePageAndSubject) {
    const auto message = read(GetParam().msg.bytes());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->codePage, GetParam().codePage);
    EXPECT_EQ(text(message->subject), GetParam().subject);
    EXPECT_EQ(message->messageClass, "IPM.Note");
}

INSTANTIATE_TEST_SUITE_P(
    Msg, MsgText,
    ::testing::Values(
        TextCase{"no code page",
                 MsgBuilder().string8(0x001A, "IPM.Note").string8(0x0037, "caf\xE9"), 1252,
                 "caf\xE9"},
        TextCase{"code page given",
                 MsgBuilder()
                     .string8(0x001A, "IPM.Note")
                     .long32(0x3FFD, 1251)
                     .long32(0x3FF1, 0x0411)
                     .string8(0x0037, "\xCF\xF0"),
                 1251, "\xCF\xF0"},
        TextCase{"locale only",
                 MsgBuilder()
                     .unicode(0x001A, u"IPM.Note")
                     .long32(0x3FF1, 0x0419)
                     .unicode(0x0037, u"Привет"),
                 1251, "\xCF\xF0\xE8\xE2\xE5\xF2"},
        TextCase{"Taiwan's locale", MsgBuilder().string8(0x001A, "IPM.Note").long32(0x3FF1, 0x0404),
                 950, "(absent)"},
        // PR_INTERNET_CPID is the HTML body's alone.
        TextCase{
            "internet code page",
            MsgBuilder().string8(0x001A, "IPM.Note").long32(0x3FDE, 65001).string8(0x0037, "x"),
            1252, "x"},
        // The 8-bit subject wins; a Unicode one the code page cannot spell is left to the
        // property.
        TextCase{"both forms",
                 MsgBuilder()
                     .string8(0x001A, "IPM.Note")
                     .string8(0x0037, "eight")
                     .unicode(0x0037, u"wide"),
                 1252, "eight"},
        TextCase{"unspellable", MsgBuilder().string8(0x001A, "IPM.Note").unicode(0x0037, u"日本"),
                 1252, "(absent)"}),
    RowName<TextCase>);

TEST(MsgFile, NamedAndMultiValuedProperties) {
    MsgBuilder msg;
    const uint16_t email = msg.name(kPsAddress, 0x8083);
    const uint16_t keywords = msg.name(kPsPublicStrings, u"Keywords");
    msg.string8(0x001A, "IPM.Contact")
        .string8(email, "a@example.com")
        .multiString8(keywords, {"red", "blue"})
        .multiLong(0x0E5E, {7, 9})
        .multiBinary(0x0E60, {"ab", "c"});
    const auto message = read(msg.bytes());
    ASSERT_TRUE(message);
    const MapiPropertyList& p = message->properties;
    EXPECT_EQ(text(p.findNamed(0x8083001E)), "a@example.com");
    EXPECT_EQ(text(p.find(email << 16 | 0x001E)), "(absent)");  // named, so not standard
    EXPECT_EQ(text(p.findNamed(kPsPublicStrings, "Keywords", 0x101E)), "red");
    EXPECT_EQ(text(p.findNamed(kPsAddress, "Keywords", 0x101E)), "(absent)");
    using Values = std::vector<std::string>;
    EXPECT_EQ(valuesOf(p, static_cast<uint32_t>(keywords) << 16 | 0x101E), (Values{"red", "blue"}));
    EXPECT_EQ(valuesOf(p, 0x0E5E1003),
              (Values{std::string("\7\0\0\0", 4), std::string("\x9\0\0\0", 4)}));
    EXPECT_EQ(valuesOf(p, 0x0E601102), (Values{"ab", "c"}));
}

TEST(MsgFile, AttachmentsAndRecipients) {
    const std::string tnef = parcelo::testing::TnefBuilder().subject("inner").bytes();
    MsgBuilder msg;
    msg.string8(0x001A, "IPM.Note")
        .recipient(MsgBuilder::Recipient().string8(0x3001, "Ann").long32(0x0C15, 1))
        .recipient(MsgBuilder::Recipient().unicode(0x3001, u"Bob").long32(0x0C15, 2))
        .attach(MsgBuilder::Attachment()
                    .long32(0x3705, 1)
                    .string8(0x3707, "a.txt")
                    .binary(0x3701, "hi"))
        .attach(MsgBuilder::Attachment()
                    .long32(0x3705, 6)
                    .string8(0x3707, "sheet.xls")
                    .object(MsgBuilder().string8(0x0037, "cells").stream("Workbook", "book")))
        .attach(MsgBuilder::Attachment()
                    .long32(0x3705, 5)
                    .string8(0x3001, "Fwd")
                    .object(MsgBuilder::Embedded()
                                .string8(0x001A, "IPM.Task")
                                .long32(0x3FFD, 1250)
                                .attach(MsgBuilder::Attachment().binary(0x3701, tnef))))
        // Storages Outlook writes beside the message, and a summary stream, read as nothing.
        .storage("Olk10SideProps_0001", MsgBuilder().string8(0x0037, "side"))
        .storage("MsoDataStore", MsgBuilder().noProperties().stream("x", "y"))
        .stream("\x05SummaryInformation", "summary");
    const auto message = read(msg.bytes());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->damage.damagedBlocks, 0);
    EXPECT_EQ(text(message->subject), "(absent)");

    ASSERT_EQ(message->recipients.size(), 2u);
    EXPECT_EQ(text(message->recipients[0].find(0x3001001E)), "Ann");
    EXPECT_EQ(text(message->recipients[1].find(0x3001001F)), std::string("B\0o\0b\0", 6));

    ASSERT_EQ(message->attachments.size(), 3u);
    const MapiAttachment& file = message->attachments[0];
    EXPECT_EQ(file.data.load(), "hi");
    EXPECT_EQ(text(file.properties.find(0x3707001E)), "a.txt");

    // An OLE object as a TNEF stream holds it: its interface identifier, then the storage as a
    // compound file of its own.
    const MapiAttachment& ole = message->attachments[1];
    const std::optional<ValueBytes> object = ole.properties.find(0x3701000D);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->prefix(4), std::string("\x0B\0\0\0", 4));
    EXPECT_EQ(ole.data.prefix(8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(ole.data.size() + 16, object->size());
    const std::unique_ptr<ByteSource> copied = ole.data.asSource();
    const auto inside = ReadMsgFile(*copied);  // the copy holds the storage's streams
    ASSERT_TRUE(inside);
    EXPECT_EQ(text(inside->subject), "cells");
    EXPECT_FALSE(ole.embedded);

    const MapiAttachment& forwarded = message->attachments[2];
    ASSERT_TRUE(forwarded.embedded);
    EXPECT_EQ(forwarded.embedded->messageClass, "IPM.Task");
    EXPECT_EQ(forwarded.embedded->codePage, 1250u);
    ASSERT_EQ(forwarded.embedded->attachments.size(), 1u);
    EXPECT_EQ(forwarded.embedded->attachments[0].data.load(), tnef);  // processed as nested TNEF
}

// Damaged files: what is there is kept, and the damage is counted, never a crash.
struct DamageCase {
    const char* what;
    std::function<std::string()> bytes;
    bool isMsg;
    int damagedBlocks;
};

class MsgDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(MsgDamage, KeepsWhatIsThere) {
    const std::string bytes = GetParam().bytes();
    const MemorySource source(bytes.data(), bytes.size());
    EXPECT_EQ(LooksLikeMsgFile(source), GetParam().isMsg);
    const auto message = ReadMsgFile(source);
    ASSERT_EQ(message != nullptr, GetParam().isMsg);
    if (message) {
        EXPECT_EQ(message->damage.damagedBlocks, GetParam().damagedBlocks);
    }
}

std::string cut(std::string bytes, size_t keep) {
    bytes.resize(keep);
    return bytes;
}

// `bytes` with the size of the directory entry named `name` set to `size`.
std::string claimSize(std::string bytes, const std::u16string& name, uint32_t size) {
    std::string stored;
    for (char16_t c : name)
        stored += {static_cast<char>(c), static_cast<char>(c >> 8)};
    const size_t at = bytes.find(stored);
    if (at == std::string::npos || at % 128 != 0)
        return bytes;
    for (int i = 0; i < 4; ++i)
        bytes[at + 120 + i] = static_cast<char>(size >> (8 * i));
    return bytes;
}

MsgBuilder big() {
    return std::move(
        MsgBuilder().string8(0x001A, "IPM.Note").binary(0x1013, std::string(100000, 'h')));
}

INSTANTIATE_TEST_SUITE_P(
    Msg, MsgDamage,
    ::testing::Values(
        DamageCase{"whole", [] { return big().bytes(); }, true, 0},
        DamageCase{
            "counts disagree",
            [] {
                return MsgBuilder().claimCounts(2, 1).recipient(MsgBuilder::Recipient()).bytes();
            },
            true, 1},
        DamageCase{"entry without stream",
                   [] { return MsgBuilder().missingStream(0x1000, 0x001E).bytes(); }, true, 1},
        DamageCase{"no property stream",
                   [] { return MsgBuilder().noProperties().stream("x", "y").bytes(); }, false, 0},
        DamageCase{"TNEF", [] { return parcelo::testing::TnefBuilder().subject("s").bytes(); },
                   false, 0},
        DamageCase{"signature only", [] { return cut(big().bytes(), 600); }, false, 0},
        // The directory and FAT follow the data: a file cut short has lost them.
        DamageCase{"cut short", [] { return cut(big().bytes(), 60000); }, false, 0},
        // libgsf refuses a directory whose sizes pass the file's end, rather than read it.
        DamageCase{"stream claims gigabytes",
                   [] { return claimSize(big().bytes(), u"__substg1.0_10130102", 0xFFFFFF00); },
                   false, 0},
        DamageCase{"property stream claims gigabytes",
                   [] { return claimSize(big().bytes(), u"__properties_version1.0", 0xFFFFFF00); },
                   false, 0}),
    RowName<DamageCase>);

// What a run lists of a file, with each file's content.
std::vector<std::string> Extracted(const std::string& bytes) {
    ExtractionRun run;
    std::vector<std::string> files;
    run.onBody = [&](const ExtractedFile& body, const std::string& content) {
        files.push_back(body.path + ": " + content);
    };
    run.onAttachment = [&](const ExtractedFile& attachment, const ValueBytes& content) {
        files.push_back(attachment.path + ": " + content.load());
    };
    const MemorySource source(bytes.data(), bytes.size());
    EXPECT_TRUE(IsExtractable(ExtractByContent(run, source, 0, std::nullopt)));
    return files;
}

// A message as Outlook saves it and as it sends it give the same files: body, attachment
// and the forwarded message inside, with the same names.
TEST(MsgFile, GivesTheFilesOfTheSameMessageInTnef) {
    using parcelo::testing::compressRtf;
    using parcelo::testing::PropertyList;
    using parcelo::testing::TnefBuilder;
    const std::string body = compressRtf("{\\rtf1 Figures attached.\\par}");
    const std::string inner = compressRtf("{\\rtf1 Draft.\\par}");
    const std::string csv = "North;1.2\nSouth;0.9\n";
    const std::string tnef =
        TnefBuilder()
            .messageClass("IPM.Note")
            .subject("Q3 report")
            .messageProps(PropertyList().binary(0x1009, body))
            .attach("REPORT~1.CSV", csv, PropertyList().string8(0x3707, "report.csv"))
            .attach("Untitled Attachment", "",
                    PropertyList().object(
                        0x3701, std::string(16, '\x01') +
                                    TnefBuilder()
                                        .messageClass("IPM.Note")
                                        .subject("Q3 draft")
                                        .messageProps(PropertyList().binary(0x1009, inner))
                                        .bytes()))
            .bytes();
    const std::string msg = MsgBuilder()
                                .string8(0x001A, "IPM.Note")
                                .string8(0x0037, "Q3 report")
                                .binary(0x1009, body)
                                .attach(MsgBuilder::Attachment()
                                            .long32(0x3705, 1)
                                            .string8(0x3707, "report.csv")
                                            .binary(0x3701, csv))
                                .attach(MsgBuilder::Attachment().long32(0x3705, 5).object(
                                    MsgBuilder::Embedded()
                                        .string8(0x001A, "IPM.Note")
                                        .string8(0x0037, "Q3 draft")
                                        .binary(0x1009, inner)))
                                .bytes();
    const std::vector<std::string> fromTnef = Extracted(tnef);
    EXPECT_EQ(fromTnef.size(), 3u);
    EXPECT_EQ(Extracted(msg), fromTnef);
}

}  // namespace
}  // namespace parcelo
