#include "value_bytes.h"

#include <algorithm>

namespace parcelo {

ValueBytes ValueBytes::InMemory(const void* data, uint64_t size) {
    ValueBytes v;
    v.memory_ = static_cast<const unsigned char*>(data);
    v.size_ = data ? size : 0;
    return v;
}

ValueBytes ValueBytes::InSource(const ByteSource& source, uint64_t offset, uint64_t size) {
    ValueBytes v;
    v.source_ = &source;
    v.offset_ = offset;
    v.size_ = size;
    return v;
}

std::string ValueBytes::load() const {
    return prefix(size_);
}

std::string ValueBytes::prefix(uint64_t count) const {
    const uint64_t n = std::min(count, size_);
    if (memory_)
        return std::string(reinterpret_cast<const char*>(memory_), n);
    if (!source_ || n == 0)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    if (!source_->read(offset_, out.data(), out.size()))
        return {};
    return out;
}

ValueBytes ValueBytes::withoutPrefix(uint64_t count) const {
    ValueBytes v = *this;
    const uint64_t n = std::min(count, size_);
    if (v.memory_)
        v.memory_ += n;
    v.offset_ += n;
    v.size_ -= n;
    return v;
}

bool ValueBytes::writeTo(int fd) const {
    if (size_ == 0)
        return true;
    if (memory_)
        return WriteAll(fd, memory_, static_cast<size_t>(size_));
    return source_ && source_->copyTo(offset_, size_, fd);
}

std::unique_ptr<ByteSource> ValueBytes::asSource() const {
    if (source_)
        return std::make_unique<RangeSource>(*source_, offset_, size_);
    return std::make_unique<MemorySource>(memory_, size_);
}

}  // namespace parcelo
