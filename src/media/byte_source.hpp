// Where the date reader gets a clip's bytes: a file in the program, memory in tests and in the
// fuzzer. The reader asks only for ranges inside size(): the box headers, the few payloads that
// hold dates, and a bounded read ahead (see ClipReader), so a clip of gigabytes costs what a small
// one costs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace media {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads into.size() bytes at `offset`, fewer only where the source ends, and puts their number
    // in `got`. Returns 0, or the error number of the failed read.
    // REQUIRES: offset + into.size() <= size().
    virtual int read_at(std::uint64_t offset, std::span<char> into, std::size_t& got) = 0;
    virtual std::uint64_t size() const = 0;
};

// Bytes at the start and at the end of a source of any size, zeros between: a small clip, or a
// huge one whose middle is never meant to be read. It counts the reads and bytes asked for, and
// stops the program when asked for one past its end, so that a test or the fuzzer sees the reader's
// fault. It can fail reads as a bad sector does.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::string bytes);
    MemorySource(std::string head, std::uint64_t size, std::string tail);

    int read_at(std::uint64_t offset, std::span<char> into, std::size_t& got) override;
    std::uint64_t size() const override { return size_; }
    std::uint64_t bytes_asked() const { return asked_; }
    std::uint64_t reads() const { return reads_; }
    // From now on, a read that reaches `offset` fails with EIO.
    void fail_from(std::uint64_t offset) { failing_from_ = offset; }

  private:
    std::string head_;
    std::string tail_;
    std::uint64_t size_;
    std::uint64_t asked_ = 0;
    std::uint64_t reads_ = 0;
    std::uint64_t failing_from_ = UINT64_MAX;
};

}  // namespace media
