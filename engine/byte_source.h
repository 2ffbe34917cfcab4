// Random access to the bytes of a TNEF stream, wherever they live: a file, memory, or a
// range of another source (a stream nested in an attachment).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace parcelo {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Reads exactly `length` bytes at `offset`; false when the range is not all there.
    virtual bool read(uint64_t offset, void* destination, size_t length) const = 0;
    // Copies a range to an open file descriptor; false when not everything was written.
    virtual bool copyTo(uint64_t offset, uint64_t length, int fd) const;
    // The whole source when it lies contiguously in memory, else null.
    virtual const unsigned char* memory() const { return nullptr; }
};

// Bytes in memory that outlive the source.
class MemorySource : public ByteSource {
  public:
    MemorySource(const void* data, uint64_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* destination, size_t length) const override;
    bool copyTo(uint64_t offset, uint64_t length, int fd) const override;
    const unsigned char* memory() const override { return data_; }

  private:
    const unsigned char* data_;
    uint64_t size_;
};

// Bytes in memory owned by the source (a stream read from a pipe, say).
class OwnedMemorySource : public ByteSource {
  public:
    explicit OwnedMemorySource(std::string bytes)
        : bytes_(std::move(bytes)), view_(bytes_.data(), bytes_.size()) {}
    OwnedMemorySource(const OwnedMemorySource&) = delete;
    OwnedMemorySource& operator=(const OwnedMemorySource&) = delete;
    uint64_t size() const override { return view_.size(); }
    bool read(uint64_t offset, void* destination, size_t length) const override {
        return view_.read(offset, destination, length);
    }
    bool copyTo(uint64_t offset, uint64_t length, int fd) const override {
        return view_.copyTo(offset, length, fd);
    }
    const unsigned char* memory() const override { return view_.memory(); }

  private:
    std::string bytes_;
    MemorySource view_;
};

// A regular file, read with pread so that nothing of it is held in memory.
class FileSource : public ByteSource {
  public:
    // Takes ownership of `fd`.
    FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* destination, size_t length) const override;
    bool copyTo(uint64_t offset, uint64_t length, int fd) const override;

  private:
    int fd_;
    uint64_t size_;
};

// A range of another source, which must outlive it.
class RangeSource : public ByteSource {
  public:
    RangeSource(const ByteSource& parent, uint64_t offset, uint64_t size)
        : parent_(parent), offset_(offset), size_(size) {}
    uint64_t size() const override { return size_; }
    bool read(uint64_t offset, void* destination, size_t length) const override;
    bool copyTo(uint64_t offset, uint64_t length, int fd) const override;
    const unsigned char* memory() const override;

  private:
    const ByteSource& parent_;
    uint64_t offset_;
    uint64_t size_;
};

// Opens a file for reading as a source: regular files are read in place, anything else
// that can be read (a pipe) is read into memory. Null when the path cannot be opened or
// names a directory.
std::unique_ptr<ByteSource> OpenByteSource(const std::string& path);

// Writes all of `data` to `fd`, retrying short writes; false on an error.
bool WriteAll(int fd, const void* data, size_t length);

}  // namespace parcelo
