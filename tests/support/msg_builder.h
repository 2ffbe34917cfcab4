// Test-only writer of Outlook .msg files (compound files through libgsf), so that each test
// says what its message holds:
//
//   MsgBuilder().string8(0x001A, "IPM.Note").unicode(0x0037, u"Hi")
//       .attach(MsgBuilder::Attachment().string8(0x3707, "a.txt").binary(0x3701, "hi"))
//       .bytes();
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parcelo::testing {

class MsgBuilder {
  public:
    // The storage of a message (the root's property header is 32 bytes, an embedded
    // message's 24), an attachment or a recipient (8).
    enum class Kind { kMessage, kEmbedded, kRow };
    explicit MsgBuilder(Kind kind = Kind::kMessage) : kind_(kind) {}
    static MsgBuilder Attachment() { return MsgBuilder(Kind::kRow); }
    static MsgBuilder Recipient() { return MsgBuilder(Kind::kRow); }
    static MsgBuilder Embedded() { return MsgBuilder(Kind::kEmbedded); }

    // Properties by identifier; text is stored without a terminator, as Outlook does.
    MsgBuilder& string8(uint16_t id, const std::string& bytes);
    MsgBuilder& unicode(uint16_t id, const std::u16string& text);
    MsgBuilder& binary(uint16_t id, const std::string& bytes);
    MsgBuilder& long32(uint16_t id, int32_t value);
    MsgBuilder& multiLong(uint16_t id, const std::vector<int32_t>& values);
    MsgBuilder& multiString8(uint16_t id, const std::vector<std::string>& values);
    MsgBuilder& multiBinary(uint16_t id, const std::vector<std::string>& values);
    // A property entry with no stream behind it (a damaged file).
    MsgBuilder& missingStream(uint16_t id, uint16_t type);

    // Named properties (root only): the identifier (0x8000 and up) of a name in a property
    // set, given as its 16 stored bytes; PS_MAPI and PS_PUBLIC_STRINGS use their indexes.
    uint16_t name(const std::array<uint8_t, 16>& set, uint32_t number);
    uint16_t name(const std::array<uint8_t, 16>& set, const std::u16string& text);

    MsgBuilder& attach(MsgBuilder attachment);
    MsgBuilder& recipient(MsgBuilder recipient);
    // The attachment's __substg1.0_3701000D storage: an embedded message or an OLE object.
    MsgBuilder& object(MsgBuilder storage);
    // A stream or storage of any name, as files carry besides the message.
    MsgBuilder& stream(const std::string& name, const std::string& bytes);
    MsgBuilder& storage(const std::string& name, MsgBuilder storage);
    // Header counts other than what the storages hold.
    MsgBuilder& claimCounts(uint32_t recipients, uint32_t attachments);
    // Writes no property stream (an OLE object's storage, a plain compound file).
    MsgBuilder& noProperties();

    std::string bytes() const;

  private:
    struct Entry {
        uint32_t tag;
        std::string fixed;  // 8 bytes of value for fixed-size types
    };
    struct Named {
        std::array<uint8_t, 16> set;
        std::optional<uint32_t> number;
        std::u16string text;
    };
    MsgBuilder& entry(uint32_t tag, const std::string& fixed = std::string(8, '\0'));
    void write(void* outfile) const;

    Kind kind_;
    bool properties_ = true;
    std::vector<Entry> entries_;
    std::map<std::string, std::string> streams_;
    std::vector<std::pair<std::string, MsgBuilder>> storages_;
    std::vector<MsgBuilder> attachments_;
    std::vector<MsgBuilder> recipients_;
    std::optional<std::pair<uint32_t, uint32_t>> counts_;
    std::vector<Named> names_;
};

}  // namespace parcelo::testing
