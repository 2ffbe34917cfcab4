#include "msg_builder.h"

#include <gsf/gsf.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace parcelo::testing {

namespace {

constexpr std::array<uint8_t, 16> kPsMapi = {0x28, 0x03, 0x02, 0, 0, 0, 0, 0,
                                             0xC0, 0,    0,    0, 0, 0, 0, 0x46};
constexpr std::array<uint8_t, 16> kPsPublicStrings = {0x29, 0x03, 0x02, 0, 0, 0, 0, 0,
                                                      0xC0, 0,    0,    0, 0, 0, 0, 0x46};

std::string le32(uint32_t value) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>(value >> (8 * i));
    return out;
}

std::string le16(uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string utf16(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += le16(c);
    return out;
}

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string substg(uint32_t tag) {
    return "__substg1.0_" + hex8(tag);
}

void writeStream(GsfOutfile* outfile, const std::string& name, const std::string& bytes) {
    GsfOutput* out = gsf_outfile_new_child(outfile, name.c_str(), FALSE);
    if (!out || !gsf_output_write(out, bytes.size(), reinterpret_cast<const guint8*>(bytes.data())))
        throw std::runtime_error("cannot write stream " + name);
    gsf_output_close(out);
    g_object_unref(out);
}

}  // namespace

MsgBuilder& MsgBuilder::entry(uint32_t tag, const std::string& fixed) {
    entries_.push_back({tag, fixed});
    return *this;
}

MsgBuilder& MsgBuilder::string8(uint16_t id, const std::string& bytes) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x001E;
    streams_[substg(tag)] = bytes;
    return entry(tag, le32(static_cast<uint32_t>(bytes.size() + 1)) + le32(0));
}

MsgBuilder& MsgBuilder::unicode(uint16_t id, const std::u16string& text) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x001F;
    streams_[substg(tag)] = utf16(text);
    return entry(tag, le32(static_cast<uint32_t>(text.size() * 2 + 2)) + le32(0));
}

MsgBuilder& MsgBuilder::binary(uint16_t id, const std::string& bytes) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x0102;
    streams_[substg(tag)] = bytes;
    return entry(tag, le32(static_cast<uint32_t>(bytes.size())) + le32(0));
}

MsgBuilder& MsgBuilder::long32(uint16_t id, int32_t value) {
    return entry(static_cast<uint32_t>(id) << 16 | 0x0003,
                 le32(static_cast<uint32_t>(value)) + le32(0));
}

MsgBuilder& MsgBuilder::multiLong(uint16_t id, const std::vector<int32_t>& values) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x1003;
    std::string bytes;
    for (int32_t value : values)
        bytes += le32(static_cast<uint32_t>(value));
    streams_[substg(tag)] = bytes;
    return entry(tag, le32(static_cast<uint32_t>(bytes.size())) + le32(0));
}

MsgBuilder& MsgBuilder::multiString8(uint16_t id, const std::vector<std::string>& values) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x101E;
    std::string lengths;
    for (size_t i = 0; i < values.size(); ++i) {
        lengths += le32(static_cast<uint32_t>(values[i].size() + 1));
        streams_[substg(tag) + "-" + hex8(static_cast<uint32_t>(i))] = values[i];
    }
    streams_[substg(tag)] = lengths;
    return entry(tag, le32(static_cast<uint32_t>(lengths.size())) + le32(0));
}

MsgBuilder& MsgBuilder::multiBinary(uint16_t id, const std::vector<std::string>& values) {
    const uint32_t tag = static_cast<uint32_t>(id) << 16 | 0x1102;
    std::string lengths;
    for (size_t i = 0; i < values.size(); ++i) {
        lengths += le32(static_cast<uint32_t>(values[i].size())) + le32(0);
        streams_[substg(tag) + "-" + hex8(static_cast<uint32_t>(i))] = values[i];
    }
    streams_[substg(tag)] = lengths;
    return entry(tag, le32(static_cast<uint32_t>(lengths.size())) + le32(0));
}

MsgBuilder& MsgBuilder::missingStream(uint16_t id, uint16_t type) {
    return entry(static_cast<uint32_t>(id) << 16 | type, le32(100) + le32(0));
}

uint16_t MsgBuilder::name(const std::array<uint8_t, 16>& set, uint32_t number) {
    names_.push_back({set, number, {}});
    return static_cast<uint16_t>(0x8000 + names_.size() - 1);
}

uint16_t MsgBuilder::name(const std::array<uint8_t, 16>& set, const std::u16string& text) {
    names_.push_back({set, std::nullopt, text});
    return static_cast<uint16_t>(0x8000 + names_.size() - 1);
}

MsgBuilder& MsgBuilder::attach(MsgBuilder attachment) {
    attachments_.push_back(std::move(attachment));
    return *this;
}

MsgBuilder& MsgBuilder::recipient(MsgBuilder row) {
    recipients_.push_back(std::move(row));
    return *this;
}

MsgBuilder& MsgBuilder::object(MsgBuilder inner) {
    return storage("__substg1.0_3701000D", std::move(inner));
}

MsgBuilder& MsgBuilder::stream(const std::string& name, const std::string& bytes) {
    streams_[name] = bytes;
    return *this;
}

MsgBuilder& MsgBuilder::storage(const std::string& name, MsgBuilder inner) {
    storages_.emplace_back(name, std::move(inner));
    return *this;
}

MsgBuilder& MsgBuilder::claimCounts(uint32_t recipients, uint32_t attachments) {
    counts_ = {recipients, attachments};
    return *this;
}

MsgBuilder& MsgBuilder::noProperties() {
    properties_ = false;
    return *this;
}

void MsgBuilder::write(void* handle) const {
    GsfOutfile* outfile = static_cast<GsfOutfile*>(handle);
    if (properties_) {
        std::string header(8, '\0');
        if (kind_ != Kind::kRow) {
            const auto [recipients, attachments] =
                counts_.value_or(std::pair{static_cast<uint32_t>(recipients_.size()),
                                           static_cast<uint32_t>(attachments_.size())});
            header += le32(static_cast<uint32_t>(recipients_.size())) +
                      le32(static_cast<uint32_t>(attachments_.size())) + le32(recipients) +
                      le32(attachments);
            if (kind_ == Kind::kMessage)
                header += std::string(8, '\0');
        }
        std::string properties = header;
        for (const Entry& e : entries_)
            properties += le32(e.tag) + le32(6) + e.fixed;
        writeStream(outfile, "__properties_version1.0", properties);
    }
    for (const auto& [name, bytes] : streams_)
        writeStream(outfile, name, bytes);
    if (!names_.empty()) {
        std::string guids, entries, strings;
        for (size_t i = 0; i < names_.size(); ++i) {
            const Named& n = names_[i];
            uint16_t guidIndex;
            if (n.set == kPsMapi) {
                guidIndex = 1;
            } else if (n.set == kPsPublicStrings) {
                guidIndex = 2;
            } else {
                guidIndex = static_cast<uint16_t>(3 + guids.size() / 16);
                guids.append(reinterpret_cast<const char*>(n.set.data()), 16);
            }
            uint32_t first = n.number.value_or(static_cast<uint32_t>(strings.size()));
            if (!n.number) {
                strings += le32(static_cast<uint32_t>(n.text.size() * 2)) + utf16(n.text);
                strings.resize((strings.size() + 3) / 4 * 4, '\0');
            }
            entries += le32(first) +
                       le16(static_cast<uint16_t>(guidIndex << 1 | (n.number ? 0 : 1))) +
                       le16(static_cast<uint16_t>(i));
        }
        GsfOutput* storage = gsf_outfile_new_child(outfile, "__nameid_version1.0", TRUE);
        writeStream(GSF_OUTFILE(storage), "__substg1.0_00020102", guids);
        writeStream(GSF_OUTFILE(storage), "__substg1.0_00030102", entries);
        writeStream(GSF_OUTFILE(storage), "__substg1.0_00040102", strings);
        gsf_output_close(storage);
        g_object_unref(storage);
    }
    auto child = [&](const std::string& name, const MsgBuilder& inner) {
        GsfOutput* storage = gsf_outfile_new_child(outfile, name.c_str(), TRUE);
        inner.write(storage);
        gsf_output_close(storage);
        g_object_unref(storage);
    };
    for (size_t i = 0; i < recipients_.size(); ++i)
        child("__recip_version1.0_#" + hex8(static_cast<uint32_t>(i)), recipients_[i]);
    for (size_t i = 0; i < attachments_.size(); ++i)
        child("__attach_version1.0_#" + hex8(static_cast<uint32_t>(i)), attachments_[i]);
    for (const auto& [name, inner] : storages_)
        child(name, inner);
}

std::string MsgBuilder::bytes() const {
    GsfOutput* sink = gsf_output_memory_new();
    GsfOutfile* outfile = gsf_outfile_msole_new(sink);
    write(outfile);
    gsf_output_close(GSF_OUTPUT(outfile));
    g_object_unref(outfile);
    const std::string out(
        reinterpret_cast<const char*>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink))),
        static_cast<size_t>(gsf_output_size(sink)));
    g_object_unref(sink);
    return out;
}

}  // namespace parcelo::testing
