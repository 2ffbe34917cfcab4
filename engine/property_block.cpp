#include "property_block.h"

#include <algorithm>

#include "code_page.h"
#include "stream_cursor.h"

namespace parcelo {

namespace {

constexpr uint16_t kMultiValued = 0x1000;
constexpr uint16_t kPtCurrency = 0x0006;
constexpr uint16_t kPtAppTime = 0x0007;
constexpr uint16_t kPtObject = 0x000D;
constexpr uint16_t kPtString8 = 0x001E;
constexpr uint16_t kPtUnicode = 0x001F;
constexpr uint16_t kPtBinary = 0x0102;

// A block the library is handed stays well below its 50 MiB attribute limit.
constexpr uint64_t kBlockBudget = 16 * 1024 * 1024;

uint64_t padded(uint64_t n) {
    return (n + 3) & ~uint64_t{3};
}

// Size in bytes of a fixed-length type's value, or 0 when the type is not fixed-length.
unsigned fixedSize(uint16_t type) {
    switch (type) {
        case 0x0002:
            return 2;  // PT_I2
        case 0x0003:
            return 4;  // PT_LONG
        case 0x0004:
            return 4;  // PT_FLOAT
        case 0x0005:
            return 8;  // PT_DOUBLE
        case 0x0006:
            return 8;  // PT_CURRENCY
        case 0x0007:
            return 8;  // PT_APPTIME
        case 0x000A:
            return 4;  // PT_ERROR
        case 0x000B:
            return 2;  // PT_BOOLEAN
        case 0x0014:
            return 8;  // PT_I8
        case 0x0040:
            return 8;  // PT_SYSTIME
        case 0x0048:
            return 16;  // PT_CLSID
        default:
            return 0;
    }
}

bool isVariableLength(uint16_t type) {
    return type == kPtString8 || type == kPtUnicode || type == kPtBinary || type == kPtObject;
}

void appendLe32(std::string& out, uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.append(b, 4);
}

std::unique_ptr<PropertyName> nameOf(const std::optional<PropertyName>& name) {
    return name ? std::make_unique<PropertyName>(*name) : nullptr;
}

}  // namespace

CleanPropertyBlock CleanPropertyBlockAt(const ByteSource& source, uint64_t offset,
                                        uint64_t length) {
    CleanPropertyBlock block;
    std::string body;
    StreamCursor in(source, offset, offset + length);
    uint32_t count = 0;
    if (!in.u32(count)) {
        block.encoded.assign(4, '\0');
        block.damaged = length > 0;
        block.end = offset + length;
        return block;
    }
    // The count is only an upper bound: a damaged block ends where its data ends.
    // A block past the budget is cut there, like a damaged one, so that the library never
    // meets an attribute over its 50 MiB limit (it would give up the whole stream).
    uint32_t i = 0;
    for (; i < count && in.remaining() > 0 && body.size() < kBlockBudget; ++i) {
        uint32_t tag = 0;
        if (!in.u32(tag))
            break;
        const uint16_t type = static_cast<uint16_t>(tag);
        const uint16_t baseType = type & ~kMultiValued;
        const bool multiValued = (type & kMultiValued) != 0;

        std::string entry;
        appendLe32(entry, tag);
        std::optional<PropertyName> name;
        if ((tag >> 16) >= 0x8000) {
            std::string set;
            uint32_t kind = 0;
            if (!in.append(set, 16) || !in.u32(kind))
                break;
            entry += set;
            name.emplace();
            std::copy(set.begin(), set.end(), name->set.begin());
            if (kind == 0) {
                uint32_t lid = 0;
                if (!in.u32(lid))
                    break;
                appendLe32(entry, 0);
                appendLe32(entry, lid);
                name->number = lid;
            } else if (kind == 1) {
                // The name (UTF-16LE, NUL-terminated) is kept here; a short stand-in keeps
                // the library from refusing long ones.
                uint32_t nameSize = 0;
                std::string utf16;
                if (!in.u32(nameSize) || padded(nameSize) > in.remaining() ||
                    !in.append(utf16, nameSize) || !in.skip(padded(nameSize) - nameSize))
                    break;
                name->text = ConvertUtf16LeToUtf8(utf16);
                name->text.erase(std::find(name->text.begin(), name->text.end(), '\0'),
                                 name->text.end());
                appendLe32(entry, 1);
                appendLe32(entry, 4);
                entry.append("n\0\0\0", 4);
            } else {
                break;
            }
        }
        MultiValuedProperty kept{tag, name, {}};

        if (const unsigned size = fixedSize(baseType)) {
            if (multiValued) {
                uint32_t values = 0;
                if (!in.u32(values) || values > in.remaining() / 4 ||
                    values * padded(size) > in.remaining()) {
                    break;
                }
                for (uint32_t k = 0; k < values; ++k)
                    kept.values.push_back(
                        ValueBytes::InSource(source, in.position() + k * padded(size), size));
                in.skip(values * padded(size));
                block.multiValued.push_back(std::move(kept));
                continue;
            }
            // The padding goes over as it stands: the library reads a PT_BOOLEAN as 32 bits.
            // It is sometimes left out after the block's last value.
            if (!in.append(entry, size))
                break;
            const size_t padding =
                static_cast<size_t>(std::min<uint64_t>(padded(size) - size, in.remaining()));
            in.append(entry, padding);
            entry.append(padded(size) - size - padding, '\0');
            if (baseType == kPtCurrency || baseType == kPtAppTime)
                continue;
            body += entry;
            block.overrides.push_back({PropertyOverride::Kind::kNone, {}, tag, nameOf(name)});
            continue;
        }
        if (!isVariableLength(baseType))
            break;

        uint32_t values = 0;
        if (!in.u32(values) || values > in.remaining() / 4)
            break;
        PropertyOverride override{PropertyOverride::Kind::kNone, {}, tag, nameOf(name)};
        std::string handedOver;
        bool complete = true;
        for (uint32_t k = 0; k < values && complete; ++k) {
            uint32_t size = 0;
            if (!in.u32(size) || size > in.remaining()) {
                complete = false;
                break;
            }
            uint64_t toSkip = padded(size);
            if (multiValued)
                kept.values.push_back(ValueBytes::InSource(source, in.position(), size));
            if (k == 0 && !multiValued) {
                const ValueBytes value = ValueBytes::InSource(source, in.position(), size);
                if (baseType == kPtUnicode) {
                    override.kind = PropertyOverride::Kind::kUnicodeText;
                    override.value = value;
                } else if (size > kLargestHandedOverValue ||
                           body.size() + entry.size() + size > kBlockBudget) {
                    override.kind = PropertyOverride::Kind::kLargeValue;
                    override.value = value;
                } else {
                    if (!in.append(handedOver, size)) {
                        complete = false;
                        break;
                    }
                    toSkip -= size;
                }
            }
            in.skip(std::min(toSkip, in.remaining()));
        }
        if (!complete)
            break;
        if (multiValued) {
            block.multiValued.push_back(std::move(kept));
            continue;
        }

        // A single-valued property always goes over with exactly one value, which is empty
        // when the value is kept aside.
        appendLe32(entry, 1);
        appendLe32(entry, static_cast<uint32_t>(handedOver.size()));
        entry += handedOver;
        entry.append(padded(handedOver.size()) - handedOver.size(), '\0');
        body += entry;
        block.overrides.push_back(std::move(override));
    }
    block.damaged = i < count && body.size() < kBlockBudget;
    block.end = in.position();
    appendLe32(block.encoded, static_cast<uint32_t>(block.overrides.size()));
    block.encoded += body;
    return block;
}

}  // namespace parcelo
