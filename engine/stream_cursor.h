// Sequential reading of little-endian fields from a range of a source, through a small
// window so that walking many short fields does not cost a system call each.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "byte_source.h"

namespace parcelo {

class StreamCursor {
  public:
    StreamCursor(const ByteSource& source, uint64_t begin, uint64_t end)
        : source_(source), position_(begin), end_(std::min(end, source.size())) {}

    uint64_t position() const { return position_; }
    uint64_t remaining() const { return end_ - position_; }

    bool u8(uint8_t& value) { return bytes(&value, 1); }
    bool u16(uint16_t& value) {
        unsigned char b[2];
        if (!bytes(b, 2))
            return false;
        value = static_cast<uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool u32(uint32_t& value) {
        unsigned char b[4];
        if (!bytes(b, 4))
            return false;
        value = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
    bool skip(uint64_t count) {
        if (count > remaining())
            return false;
        position_ += count;
        return true;
    }
    bool bytes(void* destination, size_t count) {
        if (count > remaining())
            return false;
        auto* out = static_cast<unsigned char*>(destination);
        while (count > 0) {
            if (position_ < windowStart_ || position_ >= windowStart_ + window_.size()) {
                if (count >= kWindow) {
                    // Large reads bypass the window.
                    if (!source_.read(position_, out, count))
                        return false;
                    position_ += count;
                    return true;
                }
                if (!fill())
                    return false;
            }
            const size_t at = static_cast<size_t>(position_ - windowStart_);
            const size_t n = std::min(count, window_.size() - at);
            std::memcpy(out, window_.data() + at, n);
            out += n;
            position_ += n;
            count -= n;
        }
        return true;
    }
    bool append(std::string& out, size_t count) {
        const size_t at = out.size();
        out.resize(at + count);
        if (bytes(out.data() + at, count))
            return true;
        out.resize(at);
        return false;
    }

  private:
    static constexpr size_t kWindow = 64 * 1024;

    bool fill() {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kWindow, end_ - position_));
        window_.resize(n);
        windowStart_ = position_;
        return source_.read(position_, window_.data(), n);
    }

    const ByteSource& source_;
    uint64_t position_;
    uint64_t end_;
    std::string window_;
    uint64_t windowStart_ = 0;
};

}  // namespace parcelo
