// A value of a parsed message: bytes held in memory, or a range of the stream left in
// place so that large attachments are copied to their files without being loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "byte_source.h"

namespace parcelo {

class ValueBytes {
  public:
    ValueBytes() = default;
    static ValueBytes InMemory(const void* data, uint64_t size);
    static ValueBytes InSource(const ByteSource& source, uint64_t offset, uint64_t size);

    uint64_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // All the bytes; empty when they cannot be read.
    std::string load() const;
    // The first `count` bytes, or all of them when there are fewer.
    std::string prefix(uint64_t count) const;
    // The value without its first `count` bytes.
    ValueBytes withoutPrefix(uint64_t count) const;
    bool writeTo(int fd) const;
    // The bytes as a source of their own, for a stream nested in an attachment. The
    // value's own storage must outlive it.
    std::unique_ptr<ByteSource> asSource() const;

  private:
    const unsigned char* memory_ = nullptr;
    const ByteSource* source_ = nullptr;
    uint64_t offset_ = 0;
    uint64_t size_ = 0;
};

}  // namespace parcelo
