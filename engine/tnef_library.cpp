// Everything that touches the TNEF library's own record lives in this file: its headers
// define BYTE, WORD and DWORD as macros, which nothing else should see.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "stream_scanner.h"
#include "tnef_library.h"

extern "C" {
#include <ytnef.h>
}

namespace parcelo {

namespace {

// The library prints its diagnostics on standard output (and some on standard error)
// whatever its debug level; while it parses, both go nowhere.
class QuietStandardStreams {
  public:
    QuietStandardStreams() {
        std::fflush(stdout);
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0)
            return;
        savedOut_ = ::dup(STDOUT_FILENO);
        savedErr_ = ::dup(STDERR_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
    ~QuietStandardStreams() {
        std::fflush(stdout);
        std::fflush(stderr);
        if (savedOut_ >= 0) {
            ::dup2(savedOut_, STDOUT_FILENO);
            ::close(savedOut_);
        }
        if (savedErr_ >= 0) {
            ::dup2(savedErr_, STDERR_FILENO);
            ::close(savedErr_);
        }
    }
    QuietStandardStreams(const QuietStandardStreams&) = delete;
    QuietStandardStreams& operator=(const QuietStandardStreams&) = delete;

  private:
    int savedOut_ = -1;
    int savedErr_ = -1;
};

// The library's record of one stream, with the clean stream it was parsed from.
struct LibraryRecord {
    ScannedStream scan;
    TNEFStruct tnef{};
    LibraryRecord() { TNEFInitialize(&tnef); }
    ~LibraryRecord() { TNEFFree(&tnef); }
    LibraryRecord(const LibraryRecord&) = delete;
    LibraryRecord& operator=(const LibraryRecord&) = delete;
};

ValueBytes libraryValue(const MAPIProperty& property) {
    if (property.count == 0 || !property.data || property.data[0].size <= 0)
        return ValueBytes();
    return ValueBytes::InMemory(property.data[0].data,
                                static_cast<uint64_t>(property.data[0].size));
}

// A property list as the library parsed it, each property with the name and the value the
// front end kept aside for it, then the multi-valued properties the library never saw.
MapiPropertyList propertiesOf(const MAPIProps& list, std::vector<PropertyOverride>& overrides,
                              std::vector<MultiValuedProperty>& multiValued) {
    MapiPropertyList properties;
    // The library is handed one property per override; it may have kept fewer.
    const size_t count = std::min<size_t>(list.count, overrides.size());
    properties.reserve(count + multiValued.size());
    for (size_t i = 0; i < count; ++i) {
        PropertyOverride& kept = overrides[i];
        MapiProperty property{kept.tag, std::nullopt, {}};
        if (kept.name)
            property.name = std::move(*kept.name);
        property.values.push_back(kept.kind == PropertyOverride::Kind::kNone
                                      ? libraryValue(list.properties[i])
                                      : kept.value);
        properties.add(std::move(property));
    }
    for (MultiValuedProperty& property : multiValued)
        properties.add({property.tag, std::move(property.name), std::move(property.values)});
    // All of it is in the model now.
    std::vector<PropertyOverride>().swap(overrides);
    std::vector<MultiValuedProperty>().swap(multiValued);
    return properties;
}

}  // namespace

std::shared_ptr<const MapiMessage> ReadTnefMessage(const ByteSource& source, int debugLevel) {
    auto record = std::make_shared<LibraryRecord>();
    ScannedStream& scan = record->scan;
    scan = ScanTnefStream(source);
    if (!scan.hasSignature)
        return nullptr;
    TNEFStruct& tnef = record->tnef;
    tnef.Debug = debugLevel;
    {
        QuietStandardStreams quiet;
        TNEFParseMemory(reinterpret_cast<BYTE*>(scan.cleanStream.data()),
                        static_cast<long>(scan.cleanStream.size()), &tnef);
    }

    auto message = std::make_shared<MapiMessage>();
    message->codePage = scan.codePage;
    message->messageClass = scan.messageClass;
    message->subject = scan.subject;
    message->body = scan.body;
    message->from = scan.from;
    message->dateSent = scan.dateSent;
    // As the library keeps it: at most 50 bytes, up to the first NUL.
    message->messageId.assign(tnef.messageID, strnlen(tnef.messageID, sizeof tnef.messageID));
    message->damage = {scan.cutShort, scan.damagedBlocks, scan.unreadTail};
    message->partsRead = scan.attributesRead;
    message->properties =
        propertiesOf(tnef.MapiProperties, scan.messageOverrides, scan.messageMultiValued);

    // The library makes one attachment per attAttachRendData, as the front end does; if it
    // stopped early, the attachments it did not reach keep what the front end found.
    const Attachment* attached = tnef.starting_attach.next;
    for (ScannedAttachment& scanned : scan.attachments) {
        MapiAttachment& attachment = message->attachments.emplace_back();
        attachment.title = scanned.title;
        attachment.data = scanned.data;
        if (attached) {
            attachment.properties =
                propertiesOf(attached->MAPI, scanned.overrides, scanned.multiValued);
            attached = attached->next;
        }
    }
    // The recipient rows went over as attachments after the real ones.
    for (ScannedRecipient& row : scan.recipients) {
        if (!attached)
            break;
        message->recipients.push_back(propertiesOf(attached->MAPI, row.overrides, row.multiValued));
        attached = attached->next;
    }
    message->storage.push_back(std::move(record));
    return message;
}

}  // namespace parcelo
