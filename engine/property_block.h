// Property blocks (attMsgProps, attAttachment) made safe for the TNEF library.
//
// The library reads past its buffer on some damaged blocks, refuses values over 512 KiB and
// string names over 100 bytes, misreads PT_CURRENCY and PT_APPTIME, mangles PT_UNICODE text
// and loses multi-valued properties at the end of a block. Each block is therefore walked
// here first and handed over re-encoded: only well-formed properties of the types the
// library reads correctly, with large and UTF-16 values left out and kept aside.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "byte_source.h"
#include "mapi_message.h"
#include "value_bytes.h"

namespace parcelo {

// What the library is not given of one property of a re-encoded block: its name as the
// block gives it (the library is given a short stand-in for a string name) and a value kept
// aside.
struct PropertyOverride {
    enum class Kind {
        kNone,         // the library's value is the property's value
        kLargeValue,   // the value was too large to hand over: `value` is the real one
        kUnicodeText,  // a PT_UNICODE value: `value` is its UTF-16LE bytes
    };
    Kind kind = Kind::kNone;
    ValueBytes value;
    uint32_t tag = 0;  // as the block gives it
    // A named property's name (tag >> 16 is 0x8000 or more); null for a standard one, which
    // keeps blocks of many small properties small.
    std::unique_ptr<PropertyName> name;
};

// A multi-valued property, which the library is never given: its values as they lie in the
// stream.
struct MultiValuedProperty {
    uint32_t tag = 0;  // as the block gives it
    std::optional<PropertyName> name;
    std::vector<ValueBytes> values;
};

struct CleanPropertyBlock {
    std::string encoded;                      // the block as the library is given it
    std::vector<PropertyOverride> overrides;  // one per property in `encoded`, in order
    std::vector<MultiValuedProperty> multiValued;
    // Whether the block ended before the properties it declares: those after the first one
    // that could not be read are lost.
    bool damaged = false;
    // Where the walk stopped: the end of the last property read. A recipient table's rows
    // follow one another with no length of their own, so the next row starts here.
    uint64_t end = 0;
};

// Values larger than this stay in the stream and are read from there.
inline constexpr uint64_t kLargestHandedOverValue = 64 * 1024;

// Walks the block at [offset, offset + length) of `source`. Properties after the first one
// that cannot be read (an unknown type, a size past the end) are dropped.
CleanPropertyBlock CleanPropertyBlockAt(const ByteSource& source, uint64_t offset, uint64_t length);

}  // namespace parcelo
