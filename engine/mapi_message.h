// The message every front end gives and every writer reads: a MAPI message as TNEF and
// Outlook's .msg files both hold it, with no type of any parsing library in it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "value_bytes.h"

namespace parcelo {

// A property set's GUID, in the byte order the files store it.
using PropertySetGuid = std::array<uint8_t, 16>;

// The name of a named property: its set and either a number or a string.
struct PropertyName {
    PropertySetGuid set{};
    std::optional<uint32_t> number;  // a numeric name (a "LID")
    std::string text;                // a string name, UTF-8, when `number` is absent
};

// One property: its tag (identifier << 16 | type, the multi-value flag 0x1000 kept in the
// type; a named property's identifier is the one its file gave it, 0x8000 or more, which
// means nothing of itself), its name when it is a named property, and its values: one for a
// single-valued property, each value of a multi-valued one. PT_STRING8 values are the 8-bit bytes
// as stored (a terminating NUL may or may not be there); PT_UNICODE values are UTF-16LE bytes.
struct MapiProperty {
    uint32_t tag = 0;
    std::optional<PropertyName> name;
    std::vector<ValueBytes> values;
};

class MapiPropertyList {
  public:
    void add(MapiProperty property) { properties_.push_back(std::move(property)); }
    // Room for `count` properties, for a front end that knows how many will come.
    void reserve(size_t count) { properties_.reserve(count); }
    const std::vector<MapiProperty>& all() const { return properties_; }

    // The first value of the first standard (not named) property with this tag.
    std::optional<ValueBytes> find(uint32_t tag) const;
    // The same for a property named by the number `tag >> 16`, of type `tag & 0xFFFF`,
    // whatever its property set. Properties named by a string never match.
    std::optional<ValueBytes> findNamed(uint32_t tag) const;
    // Every value of the property named by the number `tag >> 16` of type `tag & 0xFFFF`
    // (a multi-valued type such as 0x1102); empty when absent.
    std::vector<ValueBytes> findAllNamed(uint32_t tag) const;
    // The first value of the property named by `set` and the string `name`, of this type.
    std::optional<ValueBytes> findNamed(const PropertySetGuid& set, std::string_view name,
                                        uint16_t type) const;

  private:
    std::vector<MapiProperty> properties_;
};

class MapiMessage;

struct MapiAttachment {
    std::optional<ValueBytes> title;  // TNEF's attAttachTitle (8-bit); absent elsewhere
    ValueBytes data;                  // the attached bytes; empty for an embedded message
    MapiPropertyList properties;
    // An embedded message held as a message rather than as bytes (a .msg file's attached
    // message); a TNEF stream nested in `data` is parsed when the attachment is processed.
    std::shared_ptr<const MapiMessage> embedded;
};

// What a front end met of damage while reading, for those who report it.
struct ReadDamage {
    bool cutShort = false;    // the message's data broke off
    int damagedBlocks = 0;    // property blocks (or streams) that ended before their end
    uint64_t unreadTail = 0;  // bytes after the last part read that begin none
};

class MapiMessage {
  public:
    // The 8-bit text attributes below are in this code page.
    uint32_t codePage = 1252;
    std::string messageClass;            // at most 50 characters in TNEF; empty when absent
    std::optional<ValueBytes> subject;   // TNEF's attSubject, else the front end's subject
    ValueBytes body;                     // TNEF's attBody; empty when absent
    std::optional<ValueBytes> from;      // TNEF's attFrom (a TRP structure), when present
    std::optional<ValueBytes> dateSent;  // TNEF's attDateSent (a DTR structure), when present
    std::string messageId;               // TNEF's attMessageID as the library keeps it
    MapiPropertyList properties;
    std::vector<MapiAttachment> attachments;
    std::vector<MapiPropertyList> recipients;  // the recipient table's rows
    ReadDamage damage;
    // Whole parts read (TNEF attributes, .msg streams): none means no message at all.
    int partsRead = 0;
    // Whatever the values above point into (a parsed stream, a file read into memory),
    // kept alive as long as the message.
    std::vector<std::shared_ptr<const void>> storage;
};

}  // namespace parcelo
