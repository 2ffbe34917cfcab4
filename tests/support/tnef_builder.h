// Test-only TNEF writer: builds streams from code so that each test says what it holds.
//
//   TnefBuilder().messageClass("IPM.Microsoft Mail.Note").subject("Hello World")
//       .messageProps(PropertyList().binary(0x1009, compressRtf("{\\rtf1 Hi}")))
//       .attach("a.txt", "hi")
//       .bytes();
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parcelo::testing {

// MAPI property types used by the tests.
enum : uint16_t {
    kPtI2 = 0x0002,
    kPtLong = 0x0003,
    kPtCurrency = 0x0006,
    kPtAppTime = 0x0007,
    kPtBoolean = 0x000B,
    kPtObject = 0x000D,
    kPtI8 = 0x0014,
    kPtString8 = 0x001E,
    kPtUnicode = 0x001F,
    kPtSysTime = 0x0040,
    kPtBinary = 0x0102,
    kMvFlag = 0x1000,
};

// TNEF attribute ids (type << 16 | id).
enum : uint32_t {
    kAttSubject = 0x00018004,
    kAttMessageId = 0x00018009,
    kAttMessageClass = 0x00078008,
    kAttBody = 0x0002800C,
    kAttAttachData = 0x0006800F,
    kAttAttachTitle = 0x00018010,
    kAttAttachRendData = 0x00069002,
    kAttMsgProps = 0x00069003,
    kAttAttachment = 0x00069005,
    kAttTnefVersion = 0x00089006,
    kAttOemCodepage = 0x00069007,
};

inline constexpr uint8_t kLevelMessage = 1;
inline constexpr uint8_t kLevelAttachment = 2;

// A MAPI property list as it appears in attMsgProps / attAttachment.
class PropertyList {
  public:
    // Standard properties, by identifier (the high 16 bits of the tag).
    PropertyList& string8(uint16_t id, const std::string& text);      // adds the terminating NUL
    PropertyList& string8Raw(uint16_t id, const std::string& bytes);  // value bytes as given
    PropertyList& unicode(uint16_t id, const std::u16string& text);   // adds the terminating U+0000
    PropertyList& binary(uint16_t id, const std::string& bytes);
    PropertyList& object(uint16_t id, const std::string& bytesWithIid);
    PropertyList& i2(uint16_t id, int16_t value);
    PropertyList& long32(uint16_t id, int32_t value);
    PropertyList& boolean(uint16_t id, uint32_t value);
    PropertyList& sysTime(uint16_t id, uint64_t fileTime);
    // Any standard property with its value already encoded (padding is added).
    PropertyList& fixed(uint16_t id, uint16_t type, const std::string& value);
    PropertyList& variable(uint16_t id, uint16_t type, const std::vector<std::string>& values,
                           bool multiValued = false);

    // Named properties, by numeric name (LID) and type; or by a string name.
    PropertyList& namedString8(uint32_t lid, const std::string& text);
    PropertyList& namedUnicode(uint32_t lid, const std::u16string& text);
    PropertyList& namedBinary(uint32_t lid, const std::string& bytes);
    PropertyList& namedLong(uint32_t lid, int32_t value);
    PropertyList& namedI2(uint32_t lid, int16_t value);
    PropertyList& namedBoolean(uint32_t lid, uint32_t value);
    PropertyList& namedSysTime(uint32_t lid, uint64_t fileTime);
    PropertyList& namedByString(const std::u16string& name, uint16_t type,
                                const std::string& value);
    // Lower-level: a named property with an explicit stream id (0x8000 and up).
    PropertyList& named(uint16_t streamId, uint32_t lid, uint16_t type, const std::string& value);

    // Raw bytes appended to the encoded list, and a count override, for damaged blocks.
    PropertyList& rawTail(const std::string& bytes);
    PropertyList& countOverride(uint32_t count);

    std::string encode() const;
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string bytes;  // tag, name and value, already encoded
    };
    PropertyList& addStandard(uint16_t id, uint16_t type, const std::string& encodedValue);
    std::vector<Entry> entries_;
    std::string tail_;
    std::optional<uint32_t> count_;
    uint16_t nextNamedId_ = 0x8000;
};

class TnefBuilder {
  public:
    explicit TnefBuilder(uint16_t key = 0x1234);

    // Any attribute; a checksum may be forced to a wrong value.
    TnefBuilder& attribute(uint8_t level, uint32_t id, const std::string& data,
                           std::optional<uint16_t> checksum = std::nullopt);
    TnefBuilder& raw(const std::string& bytes);

    TnefBuilder& tnefVersion();
    TnefBuilder& oemCodepage(uint32_t codePage);
    TnefBuilder& messageClass(const std::string& cls);  // adds the terminating NUL
    TnefBuilder& subject(const std::string& text);      // adds the terminating NUL
    TnefBuilder& messageId(const std::string& text);
    TnefBuilder& body(const std::string& text);  // attBody, text without NUL
    TnefBuilder& messageProps(const PropertyList& props);

    // Starts an attachment (attAttachRendData) and adds its parts.
    TnefBuilder& attachmentStart();
    TnefBuilder& attachTitle(const std::string& title);  // adds the terminating NUL
    TnefBuilder& attachData(const std::string& data);
    TnefBuilder& attachProps(const PropertyList& props);
    // Renddata, title, data and properties in the usual order.
    TnefBuilder& attach(const std::string& title, const std::string& data,
                        const PropertyList& props = PropertyList());

    std::string bytes() const { return out_; }

  private:
    std::string out_;
};

// Encoders used by tests.
std::string le16(uint16_t v);
std::string le32(uint32_t v);
std::string le64(uint64_t v);
uint16_t tnefChecksum(const std::string& data);

// Compressed RTF (LZFu) with dictionary references and a correct CRC.
std::string compressRtf(const std::string& rtf);
// The uncompressed form ("MELA").
std::string uncompressedRtf(const std::string& rtf);
// CRC of the compressed form.
uint32_t rtfCrc(const std::string& data);

// FILETIME (100 ns since 1601-01-01 UTC) of a UTC calendar time.
uint64_t fileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// A 16-byte interface identifier for PT_OBJECT values.
std::string iid();

}  // namespace parcelo::testing
