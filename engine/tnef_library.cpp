// Everything that touches the TNEF library's own record lives in this file: its headers
// define BYTE, WORD and DWORD as macros, which nothing else should see.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "tnef_message.h"

extern "C" {
#include <tnef-errors.h>
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

const MAPIProps* asList(const void* list) {
    return static_cast<const MAPIProps*>(list);
}

}  // namespace

struct TnefMessage::LibraryRecord {
    TNEFStruct tnef{};
    LibraryRecord() { TNEFInitialize(&tnef); }
    ~LibraryRecord() { TNEFFree(&tnef); }
    LibraryRecord(const LibraryRecord&) = delete;
    LibraryRecord& operator=(const LibraryRecord&) = delete;
};

TnefMessage::TnefMessage() : record_(std::make_unique<LibraryRecord>()) {}

TnefMessage::~TnefMessage() = default;

std::unique_ptr<TnefMessage> TnefMessage::Parse(const ByteSource& source, int debugLevel) {
    std::unique_ptr<TnefMessage> message(new TnefMessage);
    message->scan_ = ScanTnefStream(source);
    if (!message->scan_.hasSignature) {
        message->parseResult_ = YTNEF_NOT_TNEF_STREAM;
        return message;
    }
    TNEFStruct& tnef = message->record_->tnef;
    tnef.Debug = debugLevel;
    std::string& clean = message->scan_.cleanStream;
    {
        QuietStandardStreams quiet;
        message->parseResult_ = TNEFParseMemory(reinterpret_cast<BYTE*>(clean.data()),
                                                static_cast<long>(clean.size()), &tnef);
    }

    message->properties_ =
        MapiProperties(&tnef.MapiProperties, std::move(message->scan_.messageOverrides),
                       std::move(message->scan_.messageMultiValued));
    // The library makes one attachment per attAttachRendData, as the front end does; if it
    // stopped early, the attachments it did not reach keep what the front end found.
    const Attachment* record = tnef.starting_attach.next;
    for (ScannedAttachment& scanned : message->scan_.attachments) {
        TnefAttachment& attachment = message->attachments_.emplace_back();
        attachment.title = scanned.title;
        attachment.data = scanned.data;
        if (record) {
            attachment.properties = MapiProperties(&record->MAPI, std::move(scanned.overrides));
            record = record->next;
        }
    }
    // The recipient rows went over as attachments after the real ones.
    for (ScannedRecipient& row : message->scan_.recipients) {
        if (!record)
            break;
        message->recipients_.emplace_back(&record->MAPI, std::move(row.overrides));
        record = record->next;
    }
    return message;
}

std::string TnefMessage::messageId() const {
    const char* field = record_->tnef.messageID;
    return std::string(field, strnlen(field, sizeof record_->tnef.messageID));
}

std::optional<ValueBytes> MapiProperties::valueAt(uint32_t index) const {
    if (index < overrides_.size() && overrides_[index].kind != PropertyOverride::Kind::kNone) {
        return overrides_[index].value;
    }
    const MAPIProperty& property = asList(list_)->properties[index];
    if (property.count == 0 || !property.data || property.data[0].size <= 0) {
        return ValueBytes();
    }
    return ValueBytes::InMemory(property.data[0].data,
                                static_cast<uint64_t>(property.data[0].size));
}

std::optional<ValueBytes> MapiProperties::find(uint32_t tag) const {
    if (!list_)
        return std::nullopt;
    MAPIProps* list = const_cast<MAPIProps*>(asList(list_));
    const variableLength* found = MAPIFindProperty(list, tag);
    if (found == MAPI_UNDEFINED)
        return std::nullopt;
    // The library hands back the value; its position tells which property it belongs to.
    for (uint32_t i = 0; i < list->count; ++i) {
        if (list->properties[i].data == found)
            return valueAt(i);
    }
    return std::nullopt;
}

std::vector<ValueBytes> MapiProperties::findAllNamed(uint32_t tag) const {
    for (const MultiValuedProperty& property : multiValued_) {
        if (property.named && property.tag == tag)
            return property.values;
    }
    return {};
}

std::optional<ValueBytes> MapiProperties::findNamed(uint32_t tag) const {
    if (!list_)
        return std::nullopt;
    // Not MAPIFindUserProp: it also matches properties named by a string whose stream id
    // happens to equal the number asked for.
    const MAPIProps* list = asList(list_);
    for (uint32_t i = 0; i < list->count; ++i) {
        const MAPIProperty& property = list->properties[i];
        if (property.custom == 1 && property.namedproperty == 0 && property.id == tag) {
            return valueAt(i);
        }
    }
    return std::nullopt;
}

}  // namespace parcelo
