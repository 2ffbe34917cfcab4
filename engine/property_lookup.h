// The one lookup layer the item writers read a message through: standard and named
// properties, the PT_UNICODE form of a text property that is missing in its 8-bit form,
// and the conversion of 8-bit text from the stream's code page to UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mapi_message.h"
#include "value_bytes.h"

namespace parcelo {

inline constexpr uint16_t kPtI2 = 0x0002;
inline constexpr uint16_t kPtLong = 0x0003;
inline constexpr uint16_t kPtBoolean = 0x000B;
inline constexpr uint16_t kPtObject = 0x000D;
inline constexpr uint16_t kPtString8 = 0x001E;
inline constexpr uint16_t kPtUnicode = 0x001F;
inline constexpr uint16_t kPtSysTime = 0x0040;
inline constexpr uint16_t kPtBinary = 0x0102;

constexpr uint32_t PropertyTag(uint16_t id, uint16_t type) {
    return static_cast<uint32_t>(id) << 16 | type;
}

// A text value as the writers use it: the bytes of a PT_STRING8 value, whose size counts
// its terminating NUL, with the text converted to UTF-8 when it is read.
class TextValue {
  public:
    // A value without its terminating NUL is read as if one followed it, so that its last
    // character is not taken for the terminator.
    TextValue(std::string raw, uint32_t codePage) : raw_(std::move(raw)), codePage_(codePage) {
        if (!raw_.empty() && raw_.back() != '\0')
            raw_ += '\0';
    }

    // The size of the value, its terminating NUL included.
    int64_t size() const { return static_cast<int64_t>(raw_.size()); }
    // Size above 0 and not a lone NUL byte.
    bool isNonEmpty() const { return !raw_.empty() && !(raw_.size() == 1 && raw_[0] == '\0'); }
    // The text up to the first NUL, never past the value: what a "%s" line writes.
    std::string text() const;
    // All bytes but the last (the terminating NUL), inner NULs kept.
    std::string allButLast() const;

  private:
    std::string raw_;
    uint32_t codePage_;
};

class PropertyLookup {
  public:
    PropertyLookup(const MapiPropertyList& properties, uint32_t codePage)
        : properties_(properties), codePage_(codePage) {}

    // A standard text property (PT_STRING8, else the same identifier as PT_UNICODE).
    std::optional<TextValue> text(uint16_t id) const;
    // A text property named by the number `lid`, with the same fallback.
    std::optional<TextValue> namedText(uint16_t lid) const;
    // Any value by tag, standard or named, as the message holds it.
    std::optional<ValueBytes> value(uint32_t tag) const { return properties_.find(tag); }
    std::optional<ValueBytes> namedValue(uint32_t tag) const { return properties_.findNamed(tag); }
    // 8-bit text of a message attribute (a subject, a title, a body), as a text value.
    TextValue messageText(const ValueBytes& bytes) const;

    uint32_t codePage() const { return codePage_; }

  private:
    const MapiPropertyList& properties_;
    uint32_t codePage_;
};

// A 32-bit little-endian integer from the start of a value (missing bytes read as 0).
int32_t LittleEndian32(const ValueBytes& value);
// A 16-bit little-endian integer from the start of a value.
int16_t LittleEndian16(const ValueBytes& value);

}  // namespace parcelo
