#include "stream_scanner.h"

#include "stream_cursor.h"

namespace parcelo {

namespace {

constexpr uint32_t kAttSubject = 0x00018004;
constexpr uint32_t kAttMessageId = 0x00018009;
constexpr uint32_t kAttMessageClass = 0x00078008;
constexpr uint32_t kAttBody = 0x0002800C;
constexpr uint32_t kAttAttachData = 0x0006800F;
constexpr uint32_t kAttAttachTitle = 0x00018010;
constexpr uint32_t kAttAttachRendData = 0x00069002;
constexpr uint32_t kAttMsgProps = 0x00069003;
constexpr uint32_t kAttAttachment = 0x00069005;
constexpr uint32_t kAttOemCodepage = 0x00069007;
constexpr uint32_t kAttFrom = 0x00008000;
constexpr uint32_t kAttDateSent = 0x00038005;
constexpr uint32_t kAttRecipTable = 0x00069004;

constexpr size_t kMessageClassLength = 50;
// The library keeps the message ID in a 50-byte field; more is never needed.
constexpr uint32_t kMessageIdHandedOver = 64;
// No message has this many attachments. A forged stream of tiny attributes could otherwise
// make millions, each costing far more memory than the bytes that made it, and the library
// takes time in the square of their number.
constexpr size_t kMostAttachments = 10000;
// The same bound for the rows of a recipient table.
constexpr size_t kMostRecipients = 10000;

void appendLe16(std::string& out, uint16_t v) {
    out += static_cast<char>(v);
    out += static_cast<char>(v >> 8);
}

void appendLe32(std::string& out, uint32_t v) {
    appendLe16(out, static_cast<uint16_t>(v));
    appendLe16(out, static_cast<uint16_t>(v >> 16));
}

void appendAttribute(std::string& out, uint8_t level, uint32_t id, std::string_view data) {
    out += static_cast<char>(level);
    appendLe32(out, id);
    appendLe32(out, static_cast<uint32_t>(data.size()));
    out.append(data);
    uint16_t checksum = 0;
    for (unsigned char c : data)
        checksum = static_cast<uint16_t>(checksum + c);
    appendLe16(out, checksum);
}

// The rows of a recipient table: a count, then each row a property block of its own.
std::vector<ScannedRecipient> recipientRows(const ByteSource& source, uint64_t offset,
                                            uint64_t length, int& damagedBlocks) {
    std::vector<ScannedRecipient> rows;
    StreamCursor in(source, offset, offset + length);
    uint32_t count = 0;
    if (!in.u32(count))
        return rows;
    const uint64_t end = offset + length;
    uint64_t position = in.position();
    for (uint32_t i = 0; i < count && position < end && rows.size() < kMostRecipients; ++i) {
        CleanPropertyBlock block = CleanPropertyBlockAt(source, position, end - position);
        rows.push_back(
            {std::move(block.encoded), std::move(block.overrides), std::move(block.multiValued)});
        if (block.damaged) {
            ++damagedBlocks;
            break;
        }
        position = block.end;
    }
    return rows;
}

}  // namespace

ScannedStream ScanTnefStream(const ByteSource& source) {
    ScannedStream scan;
    StreamCursor in(source, 0, source.size());
    uint32_t signature = 0;
    uint16_t key = 0;
    if (!in.u32(signature) || signature != kTnefSignature || !in.u16(key))
        return scan;
    scan.hasSignature = true;

    // Of repeated attributes the last one counts; the library is handed only that one, as
    // it leaks the property lists it replaces.
    std::optional<std::string> messageId;
    std::optional<std::string> messageBlock;
    ScannedAttachment* attachment = nullptr;
    for (;;) {
        uint8_t level = 0;
        uint32_t id = 0;
        uint32_t length = 0;
        const uint64_t start = in.position();
        // Anything else is the junk that follows the last attribute of some streams.
        if (!in.u8(level) || !in.u32(id) || !in.u32(length) || (level != 1 && level != 2)) {
            scan.unreadTail = source.size() - start;
            break;
        }
        // An attribute is read only when it is whole, its checksum included.
        if (static_cast<uint64_t>(length) + 2 > in.remaining()) {
            scan.cutShort = true;
            break;
        }
        ++scan.attributesRead;
        const uint64_t offset = in.position();
        const ValueBytes value = ValueBytes::InSource(source, offset, length);

        // The library dispatches on the attribute id whatever the level byte says, and
        // drops attachment attributes that come before the first attachment starts.
        // The low word names the attribute; the high word repeats its type, which some
        // writers leave 0.
        switch (id & 0xFFFF) {
            case kAttMessageClass & 0xFFFF: {
                std::string text = value.prefix(kMessageClassLength);
                scan.messageClass = text.substr(0, text.find('\0'));
                break;
            }
            case kAttSubject & 0xFFFF:
                scan.subject = value;
                break;
            case kAttBody & 0xFFFF:
                scan.body = value;
                break;
            case kAttOemCodepage & 0xFFFF:
                if (length >= 4) {
                    const std::string cp = value.prefix(4);
                    const uint32_t v =
                        static_cast<unsigned char>(cp[0]) | static_cast<unsigned char>(cp[1]) << 8 |
                        static_cast<unsigned char>(cp[2]) << 16 |
                        static_cast<uint32_t>(static_cast<unsigned char>(cp[3])) << 24;
                    scan.codePage = v != 0 ? v : 1252;
                }
                break;
            case kAttMessageId & 0xFFFF:
                if (length > 0)
                    messageId = value.prefix(kMessageIdHandedOver);
                break;
            case kAttMsgProps & 0xFFFF: {
                CleanPropertyBlock block = CleanPropertyBlockAt(source, offset, length);
                scan.damagedBlocks += block.damaged ? 1 : 0;
                messageBlock = std::move(block.encoded);
                scan.messageOverrides = std::move(block.overrides);
                scan.messageMultiValued = std::move(block.multiValued);
                break;
            }
            case kAttAttachRendData & 0xFFFF:
                attachment = scan.attachments.size() < kMostAttachments
                                 ? &scan.attachments.emplace_back()
                                 : nullptr;
                break;
            case kAttAttachTitle & 0xFFFF:
                if (attachment)
                    attachment->title = value;
                break;
            case kAttAttachData & 0xFFFF:
                if (attachment)
                    attachment->data = value;
                break;
            case kAttAttachment & 0xFFFF:
                if (attachment) {
                    CleanPropertyBlock block = CleanPropertyBlockAt(source, offset, length);
                    scan.damagedBlocks += block.damaged ? 1 : 0;
                    attachment->cleanBlock = std::move(block.encoded);
                    attachment->overrides = std::move(block.overrides);
                    attachment->multiValued = std::move(block.multiValued);
                }
                break;
            case kAttFrom & 0xFFFF:
                scan.from = value;
                break;
            case kAttDateSent & 0xFFFF:
                scan.dateSent = value;
                break;
            case kAttRecipTable & 0xFFFF:
                scan.recipients = recipientRows(source, offset, length, scan.damagedBlocks);
                break;
            default:
                break;
        }
        in.skip(static_cast<uint64_t>(length) + 2);
    }

    // The library dispatches on attribute ids, so the message's attributes can all go first.
    std::string& clean = scan.cleanStream;
    appendLe32(clean, kTnefSignature);
    appendLe16(clean, key);
    // With no subject read yet, the library makes one up from the first of several
    // properties and fails the whole block on some of their sizes; a subject of its own
    // stops that. The real subject is kept in the scan.
    appendAttribute(clean, 1, kAttSubject, std::string_view("\0", 1));
    if (messageId)
        appendAttribute(clean, 1, kAttMessageId, *messageId);
    if (messageBlock)
        appendAttribute(clean, 1, kAttMsgProps, *messageBlock);
    for (ScannedAttachment& a : scan.attachments) {
        // The rendering data is not used; a well-formed one starts the attachment.
        appendAttribute(clean, 2, kAttAttachRendData, std::string(14, '\0'));
        if (a.cleanBlock)
            appendAttribute(clean, 2, kAttAttachment, *a.cleanBlock);
        a.cleanBlock.reset();
    }
    for (ScannedRecipient& row : scan.recipients) {
        appendAttribute(clean, 2, kAttAttachRendData, std::string(14, '\0'));
        appendAttribute(clean, 2, kAttAttachment, row.cleanBlock);
        row.cleanBlock.clear();
    }
    return scan;
}

}  // namespace parcelo
