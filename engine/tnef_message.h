// One parsed TNEF stream (the outer message or one nested in an attachment): the TNEF
// library's record of it, completed by what the front end kept aside.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "byte_source.h"
#include "property_block.h"
#include "stream_scanner.h"
#include "value_bytes.h"

namespace parcelo {

// A MAPI property list of the message or of one attachment.
class MapiProperties {
  public:
    MapiProperties() = default;
    MapiProperties(const void* libraryList, std::vector<PropertyOverride> overrides,
                   std::vector<MultiValuedProperty> multiValued = {})
        : list_(libraryList),
          overrides_(std::move(overrides)),
          multiValued_(std::move(multiValued)) {}

    // The first value of the first standard (not named) property with this tag
    // (identifier << 16 | type); a PT_UNICODE value comes as its UTF-16LE bytes.
    std::optional<ValueBytes> find(uint32_t tag) const;
    // The same for a property named by the number `tag >> 16`, of type `tag & 0xFFFF`,
    // whatever its property set. Properties named by a string never match.
    std::optional<ValueBytes> findNamed(uint32_t tag) const;
    // Every value of a multi-valued property of variable-length values named by the number
    // `tag >> 16`, of type `tag & 0xFFFF` (0x1102 for PT_MV_BINARY); empty when absent.
    std::vector<ValueBytes> findAllNamed(uint32_t tag) const;

  private:
    std::optional<ValueBytes> valueAt(uint32_t index) const;

    const void* list_ = nullptr;  // the library's MAPIProps
    std::vector<PropertyOverride> overrides_;
    std::vector<MultiValuedProperty> multiValued_;
};

struct TnefAttachment {
    std::optional<ValueBytes> title;  // attAttachTitle, when present
    ValueBytes data;                  // attAttachData; empty when absent
    MapiProperties properties;        // attAttachment
};

class TnefMessage {
  public:
    // Parses a stream; `source` must outlive the message. Never null: a stream that is
    // not TNEF gives a message with nothing in it.
    static std::unique_ptr<TnefMessage> Parse(const ByteSource& source, int debugLevel);
    ~TnefMessage();
    TnefMessage(const TnefMessage&) = delete;
    TnefMessage& operator=(const TnefMessage&) = delete;

    bool hasSignature() const { return scan_.hasSignature; }
    // Whole attributes found after the signature: none means no message at all.
    int attributesRead() const { return scan_.attributesRead; }
    // Damage read past: the stream broke off inside an attribute, and property blocks that
    // ended before their last property.
    bool cutShort() const { return scan_.cutShort; }
    int damagedBlocks() const { return scan_.damagedBlocks; }
    uint64_t unreadTail() const { return scan_.unreadTail; }
    // The library's result for the clean stream (0 when all of it was read).
    int parseResult() const { return parseResult_; }
    // attMessageClass, at most 50 characters; empty when absent.
    const std::string& messageClass() const { return scan_.messageClass; }
    const std::optional<ValueBytes>& subject() const { return scan_.subject; }
    const ValueBytes& body() const { return scan_.body; }
    // attMessageID as the library keeps it: at most 50 bytes, up to the first NUL.
    std::string messageId() const;
    // The stream's code page, for its 8-bit text.
    uint32_t codePage() const { return scan_.codePage; }
    const MapiProperties& properties() const { return properties_; }
    const std::vector<TnefAttachment>& attachments() const { return attachments_; }
    // The rows of the recipient table, each a property list; empty when there is none.
    const std::vector<MapiProperties>& recipients() const { return recipients_; }
    // attFrom and attDateSent as the stream holds them.
    const std::optional<ValueBytes>& from() const { return scan_.from; }
    const std::optional<ValueBytes>& dateSent() const { return scan_.dateSent; }

  private:
    struct LibraryRecord;
    TnefMessage();

    ScannedStream scan_;
    std::unique_ptr<LibraryRecord> record_;
    int parseResult_ = 0;
    MapiProperties properties_;
    std::vector<TnefAttachment> attachments_;
    std::vector<MapiProperties> recipients_;
};

}  // namespace parcelo
