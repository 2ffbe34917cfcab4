// The front end of every parse: walks a TNEF stream's attributes before the library sees
// it, keeps what the library gets wrong or cannot hold, and builds the clean stream the
// library is given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_source.h"
#include "property_block.h"
#include "value_bytes.h"

namespace parcelo {

inline constexpr uint32_t kTnefSignature = 0x223E9F78;

struct ScannedAttachment {
    std::optional<ValueBytes> title;          // attAttachTitle, when the stream has one
    ValueBytes data;                          // attAttachData, empty when absent
    std::optional<std::string> cleanBlock;    // its last attAttachment block, re-encoded
    std::vector<PropertyOverride> overrides;  // of that block
    std::vector<MultiValuedProperty> multiValued;
};

// One row of the recipient table (attRecipTable), made safe for the library like a block.
struct ScannedRecipient {
    std::string cleanBlock;
    std::vector<PropertyOverride> overrides;
    std::vector<MultiValuedProperty> multiValued;
};

struct ScannedStream {
    bool hasSignature = false;
    int attributesRead = 0;  // whole attributes found after the signature
    // Whether an attribute ran past the end of the data, which ends the stream there.
    bool cutShort = false;
    int damagedBlocks = 0;  // property blocks that ended before their last property
    // Bytes after the last attribute that do not begin one (a few are common junk).
    uint64_t unreadTail = 0;
    // The stream as the library is given it: checksums right, no empty attributes, no
    // large values, only the attributes whose parse the engine uses.
    std::string cleanStream;
    std::string messageClass;           // at most 50 characters; empty when absent
    std::optional<ValueBytes> subject;  // attSubject, when the stream has one
    ValueBytes body;                    // attBody, empty when absent
    uint32_t codePage = 1252;           // from attOemCodepage
    std::vector<PropertyOverride> messageOverrides;
    std::vector<MultiValuedProperty> messageMultiValued;
    std::vector<ScannedAttachment> attachments;  // in the order the library makes them
    // The sender and the date as the first TNEF version gave them, which the library keeps
    // unread or reads wrong: attFrom (a TRP structure) and attDateSent (a DTR structure).
    std::optional<ValueBytes> from;
    std::optional<ValueBytes> dateSent;
    // The library reads no recipient table: its rows are handed over as attachments after
    // the real ones, and parsed there like any attachment's properties.
    std::vector<ScannedRecipient> recipients;
};

// Walks the stream up to its end, or up to the first attribute that is cut off or whose
// level byte is not 1 or 2. Checksums are not checked: a mismatch is read past.
ScannedStream ScanTnefStream(const ByteSource& source);

}  // namespace parcelo
