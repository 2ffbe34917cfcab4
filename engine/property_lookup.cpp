#include "property_lookup.h"

#include "code_page.h"

namespace parcelo {

std::string TextValue::text() const {
    const std::string_view bytes(raw_);
    return ConvertCodePageToUtf8(bytes.substr(0, bytes.find('\0')), codePage_);
}

std::string TextValue::allButLast() const {
    if (raw_.size() < 2)
        return {};
    return ConvertCodePageToUtf8(std::string_view(raw_).substr(0, raw_.size() - 1), codePage_);
}

TextValue PropertyLookup::messageText(const ValueBytes& bytes) const {
    return TextValue(bytes.load(), codePage_);
}

namespace {

// A PT_STRING8 value as it stands, else the PT_UNICODE value of the same property read
// exactly as an 8-bit value would be: its text and one terminating NUL.
template <typename Find>
std::optional<TextValue> textOf(uint16_t id, uint32_t codePage, Find find) {
    if (std::optional<ValueBytes> string8 = find(PropertyTag(id, kPtString8)))
        return TextValue(string8->load(), codePage);
    const std::optional<ValueBytes> unicode = find(PropertyTag(id, kPtUnicode));
    if (!unicode)
        return std::nullopt;
    return TextValue(ConvertUtf16LeToUtf8(unicode->load()) + '\0', kUtf8CodePage);
}

}  // namespace

std::optional<TextValue> PropertyLookup::text(uint16_t id) const {
    return textOf(id, codePage_, [this](uint32_t tag) { return properties_.find(tag); });
}

std::optional<TextValue> PropertyLookup::namedText(uint16_t lid) const {
    return textOf(lid, codePage_, [this](uint32_t tag) { return properties_.findNamed(tag); });
}

int32_t LittleEndian32(const ValueBytes& value) {
    const std::string b = value.prefix(4) + std::string(4, '\0');
    return static_cast<int32_t>(static_cast<unsigned char>(b[0]) |
                                static_cast<unsigned char>(b[1]) << 8 |
                                static_cast<unsigned char>(b[2]) << 16 |
                                static_cast<uint32_t>(static_cast<unsigned char>(b[3])) << 24);
}

int16_t LittleEndian16(const ValueBytes& value) {
    const std::string b = value.prefix(2) + std::string(2, '\0');
    return static_cast<int16_t>(static_cast<unsigned char>(b[0]) | static_cast<unsigned char>(b[1])
                                                                       << 8);
}

}  // namespace parcelo
