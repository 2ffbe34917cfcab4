#include "compressed_rtf.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace parcelo {

namespace {

constexpr uint32_t kCompressed = 0x75465A4C;    // "LZFu"
constexpr uint32_t kUncompressed = 0x414C454D;  // "MELA"
constexpr size_t kHeaderSize = 16;

// The dictionary every compressed body starts from; note CR LF, in that order.
constexpr std::string_view kInitialDictionary =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern "
    "\\fscript \\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0"
    "\\blue0\r\n\\par \\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";
static_assert(kInitialDictionary.size() == 207);

uint32_t readLe32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

std::optional<std::string> DecompressRtf(std::string_view value) {
    if (value.size() < kHeaderSize + 4)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    const uint32_t compSize = readLe32(bytes);
    const uint32_t rawSize = readLe32(bytes + 4);
    const uint32_t compType = readLe32(bytes + 8);
    if (static_cast<uint64_t>(compSize) + 4 != value.size())
        return std::nullopt;
    if (compType != kCompressed && compType != kUncompressed)
        return std::nullopt;

    const unsigned char* in = bytes + kHeaderSize;
    const size_t inSize = value.size() - kHeaderSize;

    // A control byte and eight two-byte references make at most 136 bytes out of 17 in, so
    // a raw size beyond that ratio is a forgery; refusing it bounds what is allocated.
    if (rawSize > static_cast<uint64_t>(inSize) * 8 + 136)
        return std::nullopt;

    if (compType == kUncompressed) {
        std::string out(in, in + (rawSize <= inSize ? rawSize : inSize));
        out.resize(rawSize, '\0');
        return out;
    }

    std::array<unsigned char, 4096> dict{};
    std::memcpy(dict.data(), kInitialDictionary.data(), kInitialDictionary.size());
    size_t write = kInitialDictionary.size();
    std::string out;
    size_t pos = 0;
    bool done = false;
    while (!done && pos < inSize && out.size() < rawSize) {
        const unsigned control = in[pos++];
        for (int bit = 0; bit < 8 && !done && out.size() < rawSize; ++bit) {
            if (control & (1u << bit)) {
                if (pos + 2 > inSize) {
                    done = true;
                    break;
                }
                const unsigned ref = in[pos] << 8 | in[pos + 1];
                pos += 2;
                const size_t offset = ref >> 4;
                const size_t length = (ref & 0x0F) + 2;
                if (offset == write) {
                    done = true;  // the end marker
                    break;
                }
                for (size_t i = 0; i < length && out.size() < rawSize; ++i) {
                    const unsigned char c = dict[(offset + i) % 4096];
                    dict[write] = c;
                    write = (write + 1) % 4096;
                    out += static_cast<char>(c);
                }
            } else {
                if (pos >= inSize) {
                    done = true;
                    break;
                }
                const unsigned char c = in[pos++];
                dict[write] = c;
                write = (write + 1) % 4096;
                out += static_cast<char>(c);
            }
        }
    }
    out.resize(rawSize, '\0');
    return out;
}

}  // namespace parcelo
