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
    std::string raw = bytes.load();
    if (!raw.empty() && raw.back() != '\0')
        raw += '\0';
    return TextValue(std::move(raw), codePage_);
}

std::optional<TextValue> PropertyLookup::textFrom(std::optional<ValueBytes> string8,
                                                  std::optional<ValueBytes> unicode) const {
    if (string8)
        return TextValue(string8->load(), codePage_);
    if (!unicode)
        return std::nullopt;
    // Read exactly as an 8-bit value would be: the text and one terminating NUL.
    std::string text = ConvertUtf16LeToUtf8(unicode->load());
    text += '\0';
    return TextValue(std::move(text), kUtf8CodePage);
}

std::optional<TextValue> PropertyLookup::text(uint16_t id) const {
    std::optional<ValueBytes> string8 = properties_.find(PropertyTag(id, kPtString8));
    if (string8)
        return textFrom(string8, std::nullopt);
    return textFrom(std::nullopt, properties_.find(PropertyTag(id, kPtUnicode)));
}

std::optional<TextValue> PropertyLookup::namedText(uint16_t lid) const {
    std::optional<ValueBytes> string8 = properties_.findNamed(PropertyTag(lid, kPtString8));
    if (string8)
        return textFrom(string8, std::nullopt);
    return textFrom(std::nullopt, properties_.findNamed(PropertyTag(lid, kPtUnicode)));
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
