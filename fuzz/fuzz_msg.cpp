// libFuzzer target: any bytes through the .msg reader, every value it gives read back, so
// that a value pointing outside what the message keeps alive shows under ASan.
#include <cstddef>
#include <cstdint>

#include "byte_source.h"
#include "msg_file.h"

namespace {

uint64_t touch(const parcelo::MapiPropertyList& properties) {
    uint64_t sum = 0;
    for (const parcelo::MapiProperty& property : properties.all()) {
        for (const parcelo::ValueBytes& value : property.values)
            sum += value.load().size();
    }
    return sum;
}

uint64_t touch(const parcelo::MapiMessage& message) {
    uint64_t sum =
        touch(message.properties) + (message.subject ? message.subject->load().size() : 0);
    for (const parcelo::MapiPropertyList& row : message.recipients)
        sum += touch(row);
    for (const parcelo::MapiAttachment& attachment : message.attachments) {
        sum += touch(attachment.properties) + attachment.data.load().size();
        if (attachment.embedded)
            sum += touch(*attachment.embedded);
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const parcelo::MemorySource source(data, size);
    parcelo::LooksLikeMsgFile(source);
    if (const auto message = parcelo::ReadMsgFile(source)) {
        volatile uint64_t sum = touch(*message);
        (void)sum;
    }
    return 0;
}
