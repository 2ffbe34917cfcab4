#include "msg_file.h"

#include <gsf/gsf.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>

#include "code_page.h"

namespace parcelo {

namespace {

constexpr unsigned char kOle2Signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr const char* kPropertiesStream = "__properties_version1.0";
constexpr const char* kNameIdStorage = "__nameid_version1.0";
constexpr std::string_view kAttachPrefix = "__attach_version1.0_#";
constexpr std::string_view kRecipientPrefix = "__recip_version1.0_#";

// The property stream's header before its entries, by what the storage holds.
constexpr size_t kMessageHeaderSize = 32;
constexpr size_t kEmbeddedHeaderSize = 24;
constexpr size_t kRowHeaderSize = 8;
constexpr size_t kEntrySize = 16;

constexpr uint32_t kPrMessageClass8 = 0x001A001E;
constexpr uint32_t kPrMessageClassW = 0x001A001F;
constexpr uint32_t kPrSubject8 = 0x0037001E;
constexpr uint32_t kPrSubjectW = 0x0037001F;
constexpr uint32_t kPrMessageCodePage = 0x3FFD0003;
constexpr uint32_t kPrMessageLocaleId = 0x3FF10003;
constexpr uint32_t kPrAttachMethod = 0x37050003;
constexpr uint32_t kPrAttachDataObj = 0x3701000D;
constexpr uint32_t kPrAttachDataBin = 0x37010102;
constexpr uint32_t kAttachEmbeddedMessage = 5;
constexpr uint32_t kAttachOle = 6;

constexpr uint16_t kMultiValued = 0x1000;
constexpr uint16_t kPtObject = 0x000D;
constexpr uint16_t kPtString8 = 0x001E;
constexpr uint16_t kPtUnicode = 0x001F;
constexpr uint16_t kPtClsid = 0x0048;
constexpr uint16_t kPtBinary = 0x0102;

// Deeper than any real forward chain, as for nested TNEF.
constexpr int kMaxEmbeddingDepth = 32;
// What the reader may hold beyond the file itself: a damaged file can claim streams of any
// size, and the same storage may be reached from several entries of a broken directory.
constexpr uint64_t kFixedAllowance = 16 << 20;
constexpr uint64_t kAllowancePerInputByte = 3;

// The stored interface identifier before an OLE object's compound file, IID_IStorage, as
// TNEF streams hold PR_ATTACH_DATA_OBJ.
constexpr unsigned char kIidIStorage[16] = {0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr PropertySetGuid kPsMapi = {0x28, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr PropertySetGuid kPsPublicStrings = {0x29, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// libgsf speaks through GLib's log about every damaged file it meets (some of it with no
// domain of its own); the reader reports damage itself, and standard error is the command
// line's. Held while a file is read, so that nothing else's messages are lost.
class QuietLibrary {
  public:
    QuietLibrary() {
        for (size_t i = 0; i < std::size(kDomains); ++i)
            ids_[i] = g_log_set_handler(kDomains[i], kLevels, ignore, nullptr);
    }
    ~QuietLibrary() {
        for (size_t i = 0; i < std::size(kDomains); ++i)
            g_log_remove_handler(kDomains[i], ids_[i]);
    }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;

  private:
    static constexpr const char* kDomains[] = {nullptr, "libgsf", "libgsf:msole"};
    static constexpr GLogLevelFlags kLevels =
        static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING |
                                    G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG);
    static void ignore(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
    guint ids_[std::size(kDomains)] = {};
};

template <typename T>
struct Unref {
    void operator()(T* object) const {
        if (object)
            g_object_unref(object);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref<T>>;

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool isStorage(GsfInput* input) {
    return GSF_IS_INFILE(input) && gsf_infile_num_children(GSF_INFILE(input)) >= 0;
}

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

struct NameMap {
    std::vector<std::optional<PropertyName>> byIndex;  // named property 0x8000 + index
};

class Reader {
  public:
    explicit Reader(uint64_t inputSize)
        : allowance_(kFixedAllowance + kAllowancePerInputByte * inputSize) {}

    std::shared_ptr<MapiMessage> readMessage(GsfInfile* storage, size_t headerSize,
                                             uint32_t fallbackCodePage, int depth);
    void readNames(GsfInfile* root);
    // Whether a stream broke off before the size its directory entry gives.
    bool cutShort() const { return cutShort_; }

  private:
    // The whole of a child stream, cut to what can be read; nothing when it is absent or
    // a storage.
    std::optional<std::string> readStream(GsfInfile* storage, const std::string& name);
    ValueBytes keep(MapiMessage& message, std::string bytes);
    // The properties of a storage's property stream; `header` gets the stream's header.
    MapiPropertyList readProperties(GsfInfile* storage, size_t headerSize, MapiMessage& message,
                                    std::string* header = nullptr);
    void readValues(GsfInfile* storage, uint32_t tag, const unsigned char* value,
                    MapiMessage& message, MapiProperty& property);
    std::optional<std::string> copyStorage(GsfInfile* storage);
    bool copyChildren(GsfInfile* from, GsfOutfile* to, int depth);
    void note(MapiMessage& message) { ++message.damage.damagedBlocks; }

    NameMap names_;
    uint64_t allowance_;
    bool cutShort_ = false;
};

std::optional<std::string> Reader::readStream(GsfInfile* storage, const std::string& name) {
    GPtr<GsfInput> child(gsf_infile_child_by_name(storage, name.c_str()));
    if (!child || isStorage(child.get()))
        return std::nullopt;
    const gsf_off_t claimed = gsf_input_size(child.get());
    std::string bytes;
    uint64_t left = claimed > 0 ? static_cast<uint64_t>(claimed) : 0;
    // A stream claiming more than may be held is read no further than that.
    left = std::min(left, allowance_);
    constexpr size_t kChunk = 64 * 1024;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
        const guint8* data = gsf_input_read(child.get(), n, nullptr);
        if (!data) {
            cutShort_ = true;
            break;
        }
        bytes.append(reinterpret_cast<const char*>(data), n);
        left -= n;
    }
    allowance_ -= bytes.size();
    return bytes;
}

ValueBytes Reader::keep(MapiMessage& message, std::string bytes) {
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    const ValueBytes value = ValueBytes::InMemory(owned->data(), owned->size());
    message.storage.push_back(std::move(owned));
    return value;
}

void Reader::readNames(GsfInfile* root) {
    GPtr<GsfInput> storage(gsf_infile_child_by_name(root, kNameIdStorage));
    if (!storage || !isStorage(storage.get()))
        return;
    GsfInfile* names = GSF_INFILE(storage.get());
    const std::string guids = readStream(names, "__substg1.0_00020102").value_or("");
    const std::string entries = readStream(names, "__substg1.0_00030102").value_or("");
    const std::string strings = readStream(names, "__substg1.0_00040102").value_or("");
    const auto* s = reinterpret_cast<const unsigned char*>(strings.data());
    for (size_t at = 0; at + 8 <= entries.size(); at += 8) {
        const auto* e = reinterpret_cast<const unsigned char*>(entries.data() + at);
        const uint32_t nameOrOffset = le32(e);
        const uint16_t guidAndKind = le16(e + 4);
        const uint16_t index = le16(e + 6);
        PropertyName name;
        const uint16_t guidIndex = guidAndKind >> 1;
        if (guidIndex == 1) {
            name.set = kPsMapi;
        } else if (guidIndex == 2) {
            name.set = kPsPublicStrings;
        } else if (guidIndex >= 3 && (guidIndex - 3u + 1) * 16 <= guids.size()) {
            std::memcpy(name.set.data(), guids.data() + (guidIndex - 3) * 16, 16);
        } else {
            continue;  // a set the file does not hold
        }
        if (guidAndKind & 1) {
            if (nameOrOffset > strings.size() || strings.size() - nameOrOffset < 4)
                continue;
            const uint32_t length = le32(s + nameOrOffset);
            const size_t available = strings.size() - nameOrOffset - 4;
            name.text = ConvertUtf16LeToUtf8(std::string_view(strings).substr(
                nameOrOffset + 4, std::min<size_t>(length, available)));
        } else {
            name.number = nameOrOffset;
        }
        if (names_.byIndex.size() <= index)
            names_.byIndex.resize(index + 1u);
        names_.byIndex[index] = std::move(name);
    }
}

// The size of one value of a fixed-size type as the model holds it (TNEF's sizes: 16-bit
// values and booleans padded to 32 bits), or 0 for a variable-size type.
size_t fixedSize(uint16_t type) {
    switch (type) {
        case 0x0002:
        case 0x0003:
        case 0x0004:
        case 0x000A:
        case 0x000B:
            return 4;
        case 0x0005:
        case 0x0006:
        case 0x0007:
        case 0x0014:
        case 0x0040:
            return 8;
        default:
            return 0;
    }
}

// The size of one value of a multi-valued fixed-size type as a .msg stream packs it.
size_t packedSize(uint16_t type) {
    switch (type) {
        case 0x0002:
            return 2;
        case kPtClsid:
            return 16;
        default:
            return fixedSize(type);
    }
}

void Reader::readValues(GsfInfile* storage, uint32_t tag, const unsigned char* value,
                        MapiMessage& message, MapiProperty& property) {
    const uint16_t type = tag & 0xFFFF;
    const uint16_t single = type & ~kMultiValued;
    const std::string stream = "__substg1.0_" + hex8(tag);
    if (!(type & kMultiValued)) {
        if (const size_t size = fixedSize(type)) {
            property.values.push_back(
                keep(message, std::string(reinterpret_cast<const char*>(value), size)));
            return;
        }
        std::optional<std::string> bytes = readStream(storage, stream);
        if (!bytes) {
            note(message);
            return;
        }
        property.values.push_back(keep(message, std::move(*bytes)));
        return;
    }
    std::optional<std::string> bytes = readStream(storage, stream);
    if (!bytes) {
        note(message);
        return;
    }
    if (const size_t size = packedSize(single)) {
        for (size_t at = 0; at + size <= bytes->size(); at += size) {
            std::string one = bytes->substr(at, size);
            if (single == 0x0002)
                one.append(2, '\0');
            property.values.push_back(keep(message, std::move(one)));
        }
        return;
    }
    if (single != kPtString8 && single != kPtUnicode && single != kPtBinary)
        return;
    // The stream holds the lengths; each value has a stream of its own.
    const size_t lengthSize = single == kPtBinary ? 8 : 4;
    const size_t count = bytes->size() / lengthSize;
    for (size_t i = 0; i < count; ++i) {
        std::optional<std::string> one =
            readStream(storage, stream + "-" + hex8(static_cast<uint32_t>(i)));
        if (!one) {
            note(message);
            break;
        }
        property.values.push_back(keep(message, std::move(*one)));
    }
}

MapiPropertyList Reader::readProperties(GsfInfile* storage, size_t headerSize, MapiMessage& message,
                                        std::string* header) {
    MapiPropertyList list;
    const std::optional<std::string> stream = readStream(storage, kPropertiesStream);
    if (!stream)
        return list;
    if (stream->size() < headerSize || (stream->size() - headerSize) % kEntrySize != 0)
        note(message);
    if (header)
        *header = stream->substr(0, headerSize);
    const auto* bytes = reinterpret_cast<const unsigned char*>(stream->data());
    for (size_t at = headerSize; at + kEntrySize <= stream->size(); at += kEntrySize) {
        const uint32_t tag = le32(bytes + at);
        const uint16_t id = tag >> 16;
        const uint16_t type = tag & 0xFFFF;
        if (type == kPtObject)
            continue;  // storages: attachments' data objects, read by their reader
        MapiProperty property;
        property.tag = tag;
        if (id >= 0x8000) {
            const size_t index = id - 0x8000u;
            if (index < names_.byIndex.size() && names_.byIndex[index])
                property.name = names_.byIndex[index];
        }
        readValues(storage, tag, bytes + at + 8, message, property);
        if (!property.values.empty() || (type & kMultiValued))
            list.add(std::move(property));
    }
    return list;
}

bool Reader::copyChildren(GsfInfile* from, GsfOutfile* to, int depth) {
    if (depth > kMaxEmbeddingDepth)
        return false;
    const int count = gsf_infile_num_children(from);
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(from, i);
        GPtr<GsfInput> child(gsf_infile_child_by_index(from, i));
        if (!name || !child)
            return false;
        const bool storage = isStorage(child.get());
        GPtr<GsfOutput> out(gsf_outfile_new_child(to, name, storage));
        if (!out)
            return false;
        bool ok = true;
        if (storage) {
            guint8 clsid[16];
            if (GSF_IS_INFILE_MSOLE(child.get()) &&
                gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child.get()), clsid))
                gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(out.get()), clsid);
            ok = copyChildren(GSF_INFILE(child.get()), GSF_OUTFILE(out.get()), depth + 1);
        } else {
            const std::optional<std::string> bytes = readStream(from, name);
            ok = bytes && gsf_output_write(out.get(), bytes->size(),
                                           reinterpret_cast<const guint8*>(bytes->data()));
        }
        ok = gsf_output_close(out.get()) && ok;
        if (!ok)
            return false;
    }
    return true;
}

// The storage as a compound file of its own, the form an OLE object has in a TNEF stream.
std::optional<std::string> Reader::copyStorage(GsfInfile* storage) {
    GPtr<GsfOutput> sink(gsf_output_memory_new());
    GPtr<GsfOutfile> file(gsf_outfile_msole_new(sink.get()));
    if (!file)
        return std::nullopt;
    guint8 clsid[16];
    if (GSF_IS_INFILE_MSOLE(storage) &&
        gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(storage), clsid))
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(file.get()), clsid);
    const bool copied = copyChildren(storage, file.get(), 0);
    const bool closed = gsf_output_close(GSF_OUTPUT(file.get()));
    if (!copied || !closed)
        return std::nullopt;
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    if (size < 0 || static_cast<uint64_t>(size) > allowance_ || (size > 0 && !bytes))
        return std::nullopt;
    allowance_ -= static_cast<uint64_t>(size);
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

// The storages of `storage` whose names begin with `prefix`, in the order of the number
// after it.
std::vector<GPtr<GsfInput>> numberedStorages(GsfInfile* storage, std::string_view prefix) {
    std::vector<std::pair<unsigned long, GPtr<GsfInput>>> found;
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(storage, i);
        if (!name || std::string_view(name).substr(0, prefix.size()) != prefix)
            continue;
        GPtr<GsfInput> child(gsf_infile_child_by_index(storage, i));
        if (!child || !isStorage(child.get()))
            continue;
        found.emplace_back(std::strtoul(name + prefix.size(), nullptr, 16), std::move(child));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<GPtr<GsfInput>> out;
    for (auto& entry : found)
        out.push_back(std::move(entry.second));
    return out;
}

uint32_t integerOf(const MapiPropertyList& properties, uint32_t tag, uint32_t otherwise) {
    const std::optional<ValueBytes> value = properties.find(tag);
    if (!value || value->size() < 4)
        return otherwise;
    const std::string bytes = value->prefix(4);
    return le32(reinterpret_cast<const unsigned char*>(bytes.data()));
}

std::shared_ptr<MapiMessage> Reader::readMessage(GsfInfile* storage, size_t headerSize,
                                                 uint32_t fallbackCodePage, int depth) {
    auto message = std::make_shared<MapiMessage>();
    std::string header;
    message->properties = readProperties(storage, headerSize, *message, &header);
    const MapiPropertyList& properties = message->properties;

    uint32_t codePage = integerOf(properties, kPrMessageCodePage, 0);
    if (codePage == 0 || IconvNameOfCodePage(codePage).empty()) {
        const uint32_t locale = integerOf(properties, kPrMessageLocaleId, 0);
        codePage = locale != 0 ? CodePageOfLocale(locale) : fallbackCodePage;
    }
    message->codePage = codePage;

    if (const std::optional<ValueBytes> cls = properties.find(kPrMessageClass8)) {
        const std::string text = cls->load();
        message->messageClass = text.substr(0, text.find('\0'));
    } else if (const std::optional<ValueBytes> wide = properties.find(kPrMessageClassW)) {
        message->messageClass = ConvertUtf16LeToUtf8(wide->load());
    }
    if (const std::optional<ValueBytes> subject = properties.find(kPrSubject8)) {
        message->subject = *subject;
    } else if (const std::optional<ValueBytes> wide = properties.find(kPrSubjectW)) {
        // A subject the code page cannot spell is left to the PT_UNICODE property, which
        // the writers fall back to.
        if (std::optional<std::string> bytes = ConvertUtf16LeToCodePage(wide->load(), codePage))
            message->subject = keep(*message, std::move(*bytes));
    }

    for (const GPtr<GsfInput>& row : numberedStorages(storage, kRecipientPrefix))
        message->recipients.push_back(
            readProperties(GSF_INFILE(row.get()), kRowHeaderSize, *message));

    for (const GPtr<GsfInput>& row : numberedStorages(storage, kAttachPrefix)) {
        GsfInfile* attachmentStorage = GSF_INFILE(row.get());
        MapiAttachment attachment;
        attachment.properties = readProperties(attachmentStorage, kRowHeaderSize, *message);
        if (const std::optional<ValueBytes> data = attachment.properties.find(kPrAttachDataBin))
            attachment.data = *data;
        GPtr<GsfInput> object(gsf_infile_child_by_name(attachmentStorage, "__substg1.0_3701000D"));
        if (object && isStorage(object.get())) {
            const uint32_t method = integerOf(attachment.properties, kPrAttachMethod, 0);
            GsfInfile* objectStorage = GSF_INFILE(object.get());
            GPtr<GsfInput> inner(gsf_infile_child_by_name(objectStorage, kPropertiesStream));
            if (method == kAttachEmbeddedMessage || (method != kAttachOle && inner)) {
                if (depth < kMaxEmbeddingDepth)
                    attachment.embedded =
                        readMessage(objectStorage, kEmbeddedHeaderSize, codePage, depth + 1);
                else
                    note(*message);
            } else if (std::optional<std::string> file = copyStorage(objectStorage)) {
                std::string bytes(reinterpret_cast<const char*>(kIidIStorage), sizeof kIidIStorage);
                bytes += *file;
                const ValueBytes value = keep(*message, std::move(bytes));
                attachment.properties.add({kPrAttachDataObj, std::nullopt, {value}});
                attachment.data = value.withoutPrefix(sizeof kIidIStorage);
            } else {
                note(*message);
            }
        }
        message->attachments.push_back(std::move(attachment));
    }

    // The header counts the recipients and attachments the writer stored; storages lost to
    // damage (or counts written wrong) show as a difference.
    if (header.size() >= 24) {
        const auto* h = reinterpret_cast<const unsigned char*>(header.data());
        if (le32(h + 16) != message->recipients.size() ||
            le32(h + 20) != message->attachments.size())
            note(*message);
    }
    message->partsRead = int(std::min<size_t>(
        properties.all().size() + message->recipients.size() + message->attachments.size(),
        INT_MAX));
    return message;
}

GPtr<GsfInfile> openCompoundFile(const ByteSource& source, std::string& copy,
                                 GPtr<GsfInput>& input) {
    const unsigned char* bytes = source.memory();
    if (!bytes) {
        copy.resize(source.size());
        if (!source.read(0, copy.data(), copy.size()))
            return nullptr;
        bytes = reinterpret_cast<const unsigned char*>(copy.data());
    }
    input.reset(gsf_input_memory_new(bytes, static_cast<gsf_off_t>(source.size()), FALSE));
    if (!input)
        return nullptr;
    GError* error = nullptr;
    GPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
    if (error)
        g_error_free(error);
    return root;
}

bool hasSignature(const ByteSource& source) {
    unsigned char head[sizeof kOle2Signature];
    return source.size() >= 512 && source.read(0, head, sizeof head) &&
           std::memcmp(head, kOle2Signature, sizeof head) == 0;
}

bool hasPropertyStream(GsfInfile* root) {
    GPtr<GsfInput> properties(gsf_infile_child_by_name(root, kPropertiesStream));
    return properties && !isStorage(properties.get());
}

}  // namespace

bool LooksLikeMsgFile(const ByteSource& source) {
    if (!hasSignature(source))
        return false;
    const QuietLibrary quiet;
    std::string copy;
    GPtr<GsfInput> input;
    const GPtr<GsfInfile> root = openCompoundFile(source, copy, input);
    return root && hasPropertyStream(root.get());
}

std::shared_ptr<const MapiMessage> ReadMsgFile(const ByteSource& source) {
    if (!hasSignature(source))
        return nullptr;
    const QuietLibrary quiet;
    std::string copy;
    GPtr<GsfInput> input;
    const GPtr<GsfInfile> root = openCompoundFile(source, copy, input);
    if (!root || !hasPropertyStream(root.get()))
        return nullptr;
    Reader reader(source.size());
    reader.readNames(root.get());
    std::shared_ptr<MapiMessage> message =
        reader.readMessage(root.get(), kMessageHeaderSize, kDefaultCodePage, 0);
    message->damage.cutShort = reader.cutShort();
    return message;
}

}  // namespace parcelo
