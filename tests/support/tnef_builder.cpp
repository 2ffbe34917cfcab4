#include "tnef_builder.h"

#include <array>
#include <cstring>

namespace parcelo::testing {

std::string le16(uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(uint32_t v) {
    return le16(static_cast<uint16_t>(v)) + le16(static_cast<uint16_t>(v >> 16));
}

std::string le64(uint64_t v) {
    return le32(static_cast<uint32_t>(v)) + le32(static_cast<uint32_t>(v >> 32));
}

uint16_t tnefChecksum(const std::string& data) {
    uint32_t sum = 0;
    for (unsigned char c : data)
        sum += c;
    return static_cast<uint16_t>(sum);
}

namespace {

std::string padded(const std::string& bytes) {
    std::string out = bytes;
    out.append((4 - bytes.size() % 4) % 4, '\0');
    return out;
}

std::string utf16(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += le16(static_cast<uint16_t>(c));
    return out;
}

std::string guid() {
    // PS_PUBLIC_STRINGS-like placeholder: the engine never compares property sets.
    return std::string("\x29\x03\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
}

std::string encodeVariableValues(const std::vector<std::string>& values) {
    std::string out = le32(static_cast<uint32_t>(values.size()));
    for (const std::string& v : values)
        out += le32(static_cast<uint32_t>(v.size())) + padded(v);
    return out;
}

bool isVariableType(uint16_t type) {
    type &= ~kMvFlag;
    return type == kPtString8 || type == kPtUnicode || type == kPtBinary || type == kPtObject;
}

}  // namespace

PropertyList& PropertyList::addStandard(uint16_t id, uint16_t type, const std::string& encoded) {
    entries_.push_back({le32(static_cast<uint32_t>(id) << 16 | type) + encoded});
    return *this;
}

PropertyList& PropertyList::string8(uint16_t id, const std::string& text) {
    return variable(id, kPtString8, {text + std::string(1, '\0')});
}

PropertyList& PropertyList::string8Raw(uint16_t id, const std::string& bytes) {
    return variable(id, kPtString8, {bytes});
}

PropertyList& PropertyList::unicode(uint16_t id, const std::u16string& text) {
    return variable(id, kPtUnicode, {utf16(text) + std::string(2, '\0')});
}

PropertyList& PropertyList::binary(uint16_t id, const std::string& bytes) {
    return variable(id, kPtBinary, {bytes});
}

PropertyList& PropertyList::object(uint16_t id, const std::string& bytesWithIid) {
    return variable(id, kPtObject, {bytesWithIid});
}

PropertyList& PropertyList::i2(uint16_t id, int16_t value) {
    return fixed(id, kPtI2, le16(static_cast<uint16_t>(value)));
}

PropertyList& PropertyList::long32(uint16_t id, int32_t value) {
    return fixed(id, kPtLong, le32(static_cast<uint32_t>(value)));
}

PropertyList& PropertyList::boolean(uint16_t id, uint32_t value) {
    return fixed(id, kPtBoolean, le32(value));
}

PropertyList& PropertyList::sysTime(uint16_t id, uint64_t ft) {
    return fixed(id, kPtSysTime, le64(ft));
}

PropertyList& PropertyList::fixed(uint16_t id, uint16_t type, const std::string& value) {
    return addStandard(id, type, padded(value));
}

PropertyList& PropertyList::variable(uint16_t id, uint16_t type,
                                     const std::vector<std::string>& values, bool multiValued) {
    return addStandard(id, multiValued ? static_cast<uint16_t>(type | kMvFlag) : type,
                       encodeVariableValues(values));
}

PropertyList& PropertyList::named(uint16_t streamId, uint32_t lid, uint16_t type,
                                  const std::string& value) {
    std::string e =
        le32(static_cast<uint32_t>(streamId) << 16 | type) + guid() + le32(0) + le32(lid);
    e += isVariableType(type) ? encodeVariableValues({value}) : padded(value);
    entries_.push_back({e});
    return *this;
}

PropertyList& PropertyList::namedString8(uint32_t lid, const std::string& text) {
    return named(nextNamedId_++, lid, kPtString8, text + std::string(1, '\0'));
}

PropertyList& PropertyList::namedUnicode(uint32_t lid, const std::u16string& text) {
    return named(nextNamedId_++, lid, kPtUnicode, utf16(text) + std::string(2, '\0'));
}

PropertyList& PropertyList::namedBinary(uint32_t lid, const std::string& bytes) {
    return named(nextNamedId_++, lid, kPtBinary, bytes);
}

PropertyList& PropertyList::namedLong(uint32_t lid, int32_t value) {
    return named(nextNamedId_++, lid, kPtLong, le32(static_cast<uint32_t>(value)));
}

PropertyList& PropertyList::namedI2(uint32_t lid, int16_t value) {
    return named(nextNamedId_++, lid, kPtI2, le16(static_cast<uint16_t>(value)));
}

PropertyList& PropertyList::namedBoolean(uint32_t lid, uint32_t value) {
    return named(nextNamedId_++, lid, kPtBoolean, le32(value));
}

PropertyList& PropertyList::namedSysTime(uint32_t lid, uint64_t ft) {
    return named(nextNamedId_++, lid, kPtSysTime, le64(ft));
}

PropertyList& PropertyList::namedByString(const std::u16string& name, uint16_t type,
                                          const std::string& value) {
    std::string encodedName = utf16(name) + std::string(2, '\0');
    std::string e = le32(static_cast<uint32_t>(nextNamedId_++) << 16 | type) + guid() + le32(1) +
                    le32(static_cast<uint32_t>(encodedName.size())) + padded(encodedName);
    e += isVariableType(type) ? encodeVariableValues({value}) : padded(value);
    entries_.push_back({e});
    return *this;
}

PropertyList& PropertyList::rawTail(const std::string& bytes) {
    tail_ += bytes;
    return *this;
}

PropertyList& PropertyList::countOverride(uint32_t count) {
    count_ = count;
    return *this;
}

std::string PropertyList::encode() const {
    std::string out = le32(count_ ? *count_ : static_cast<uint32_t>(entries_.size()));
    for (const Entry& e : entries_)
        out += e.bytes;
    return out + tail_;
}

TnefBuilder::TnefBuilder(uint16_t key) : out_(le32(0x223E9F78) + le16(key)) {}

TnefBuilder& TnefBuilder::attribute(uint8_t level, uint32_t id, const std::string& data,
                                    std::optional<uint16_t> checksum) {
    out_ += static_cast<char>(level);
    out_ += le32(id) + le32(static_cast<uint32_t>(data.size())) + data;
    out_ += le16(checksum ? *checksum : tnefChecksum(data));
    return *this;
}

TnefBuilder& TnefBuilder::raw(const std::string& bytes) {
    out_ += bytes;
    return *this;
}

TnefBuilder& TnefBuilder::tnefVersion() {
    return attribute(kLevelMessage, kAttTnefVersion, le32(0x00010000));
}

TnefBuilder& TnefBuilder::oemCodepage(uint32_t codePage) {
    return attribute(kLevelMessage, kAttOemCodepage, le32(codePage) + le32(0));
}

TnefBuilder& TnefBuilder::messageClass(const std::string& cls) {
    return attribute(kLevelMessage, kAttMessageClass, cls + std::string(1, '\0'));
}

TnefBuilder& TnefBuilder::subject(const std::string& text) {
    return attribute(kLevelMessage, kAttSubject, text + std::string(1, '\0'));
}

TnefBuilder& TnefBuilder::messageId(const std::string& text) {
    return attribute(kLevelMessage, kAttMessageId, text + std::string(1, '\0'));
}

TnefBuilder& TnefBuilder::body(const std::string& text) {
    return attribute(kLevelMessage, kAttBody, text);
}

TnefBuilder& TnefBuilder::messageProps(const PropertyList& props) {
    return attribute(kLevelMessage, kAttMsgProps, props.encode());
}

TnefBuilder& TnefBuilder::attachmentStart() {
    // attAttachRendData: type 1 (file), position -1, no size, flags 0.
    return attribute(kLevelAttachment, kAttAttachRendData,
                     le16(1) + le32(0xFFFFFFFF) + le16(0) + le16(0) + le32(0));
}

TnefBuilder& TnefBuilder::attachTitle(const std::string& title) {
    return attribute(kLevelAttachment, kAttAttachTitle, title + std::string(1, '\0'));
}

TnefBuilder& TnefBuilder::attachData(const std::string& data) {
    return attribute(kLevelAttachment, kAttAttachData, data);
}

TnefBuilder& TnefBuilder::attachProps(const PropertyList& props) {
    return attribute(kLevelAttachment, kAttAttachment, props.encode());
}

TnefBuilder& TnefBuilder::attach(const std::string& title, const std::string& data,
                                 const PropertyList& props) {
    attachmentStart().attachTitle(title).attachData(data);
    if (props.size() > 0)
        attachProps(props);
    return *this;
}

namespace {

const std::string kRtfDictionary =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

}  // namespace

uint32_t rtfCrc(const std::string& data) {
    uint32_t crc = 0;
    for (unsigned char c : data)
        crc = crcTable()[(crc ^ c) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::string compressRtf(const std::string& rtf) {
    // Greedy LZ77 over the 4096-byte dictionary; long inputs are written as literals only,
    // which is still a valid stream and keeps big test inputs fast to build.
    const bool useReferences = rtf.size() <= 64 * 1024;
    std::array<char, 4096> dict{};
    std::memcpy(dict.data(), kRtfDictionary.data(), kRtfDictionary.size());
    size_t write = kRtfDictionary.size();
    std::string data;
    size_t pos = 0;
    bool ended = false;
    while (!ended) {
        const size_t controlAt = data.size();
        data += '\0';
        unsigned control = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (pos >= rtf.size()) {
                // End marker: a reference to the current write position.
                control |= 1u << bit;
                const uint16_t ref = static_cast<uint16_t>(write << 4);
                data += static_cast<char>(ref >> 8);
                data += static_cast<char>(ref & 0xFF);
                ended = true;
                break;
            }
            size_t bestLen = 0, bestOff = 0;
            if (useReferences) {
                for (size_t off = 0; off < 4096; ++off) {
                    if (off == write)
                        continue;
                    size_t len = 0;
                    while (len < 17 && pos + len < rtf.size()) {
                        const size_t src = (off + len) % 4096;
                        const size_t ahead = (src + 4096 - write) % 4096;
                        const char c = ahead < len ? rtf[pos + ahead] : dict[src];
                        if (c != rtf[pos + len])
                            break;
                        ++len;
                    }
                    if (len > bestLen)
                        bestLen = len, bestOff = off;
                }
            }
            if (bestLen >= 2) {
                control |= 1u << bit;
                const uint16_t ref = static_cast<uint16_t>(bestOff << 4 | (bestLen - 2));
                data += static_cast<char>(ref >> 8);
                data += static_cast<char>(ref & 0xFF);
                for (size_t i = 0; i < bestLen; ++i) {
                    dict[write] = rtf[pos + i];
                    write = (write + 1) % 4096;
                }
                pos += bestLen;
            } else {
                data += rtf[pos];
                dict[write] = rtf[pos];
                write = (write + 1) % 4096;
                ++pos;
            }
        }
        data[controlAt] = static_cast<char>(control);
    }
    return le32(static_cast<uint32_t>(data.size() + 12)) + le32(static_cast<uint32_t>(rtf.size())) +
           le32(0x75465A4C) + le32(rtfCrc(data)) + data;
}

std::string uncompressedRtf(const std::string& rtf) {
    return le32(static_cast<uint32_t>(rtf.size() + 12)) + le32(static_cast<uint32_t>(rtf.size())) +
           le32(0x414C454D) + le32(0) + rtf;
}

uint64_t fileTime(int year, int month, int day, int hour, int minute, int second) {
    // Days from 1601-01-01 by the proleptic Gregorian calendar.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t daysSince1970 = static_cast<int64_t>(era) * 146097 + doe - 719468;
    const int64_t daysSince1601 = daysSince1970 + 134774;
    const int64_t seconds = daysSince1601 * 86400 + hour * 3600 + minute * 60 + second;
    return static_cast<uint64_t>(seconds) * 10000000ull;
}

std::string iid() {
    return std::string("\x02\x03\x00\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
}

}  // namespace parcelo::testing
