#pragma once
// Byte streams beneath every stored form: memory, files, zlib and hexadecimal.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <zlib.h>

namespace corvane {

class MStream {
public:
    enum SeekOrigin { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    virtual ~MStream() = default;
    virtual MStream* Substream();
    virtual void Write(const void* bytes, size_t count);
    // Writes count copies of a filler byte, at most 1024 at a time.
    virtual void WriteFiller(uint8_t filler, size_t count);
    // Bytes read; fewer than count at the end of the stream.
    virtual size_t Read(void* buffer, size_t count);
    // 0, 1 when the buffer filled up, 2 when the stream ended before any byte.
    virtual int ReadLine(char* buffer, size_t capacity);
    virtual void WriteText(const std::string& text);
    virtual void WriteLine(const std::string& text);
    virtual void Seek(int64_t offset, int origin);
    virtual int64_t Position();
    virtual void Flush();
    virtual bool AtEnd();
    virtual void Truncate();
    virtual int64_t Size();
    virtual int32_t Reserved() { return 0; }

protected:
    [[noreturn]] static void NotImplemented(const char* service);
};

// A growable buffer, shared between streams until one of them writes.
class MMemoryStream : public MStream {
public:
    MMemoryStream();
    // Over memory the caller owns: reads and writes stay inside it.
    MMemoryStream(void* memory, size_t size);
    MMemoryStream(const MMemoryStream& other);  // shares the buffer

    void Write(const void* bytes, size_t count) override;
    size_t Read(void* buffer, size_t count) override;
    void Seek(int64_t offset, int origin) override;
    int64_t Position() override { return static_cast<int64_t>(position_); }
    void Flush() override {}
    bool AtEnd() override { return position_ >= size_; }
    void Truncate() override { size_ = position_; }
    int64_t Size() override { return static_cast<int64_t>(size_); }

    const uint8_t* Data() const { return buffer_ ? buffer_->data : nullptr; }
    size_t Capacity() const { return buffer_ ? buffer_->capacity : 0; }
    bool SharesBufferWith(const MMemoryStream& other) const { return buffer_ == other.buffer_; }

private:
    struct Buffer {
        uint8_t* data = nullptr;
        size_t capacity = 0;
        bool notOwned = false;
        ~Buffer();
    };
    void MakeOwnCopy();
    void Reserve(size_t needed);

    std::shared_ptr<Buffer> buffer_;
    size_t size_ = 0;
    size_t position_ = 0;
};

class MStdFileStream : public MStream {
public:
    enum Mode { ForReading, ForWriting };
    MStdFileStream(const std::string& path, Mode mode);
    ~MStdFileStream() override;

    void Write(const void* bytes, size_t count) override;
    size_t Read(void* buffer, size_t count) override;
    void Seek(int64_t offset, int origin) override;
    int64_t Position() override;
    void Flush() override;
    bool AtEnd() override;
    int64_t Size() override;

private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

// Deflates what is written to it into the target, or inflates what is read
// from the target.
class MZLibStream : public MStream {
public:
    // Compressing at quality 0..100 (level = (quality - 1) / 10, within 0..9), or decompressing.
    MZLibStream(MStream& target, bool compress, int quality = 100);
    ~MZLibStream() override;

    void Write(const void* bytes, size_t count) override;
    size_t Read(void* buffer, size_t count) override;
    // Compressing: flushes the rest and ends the deflater. Required before destruction.
    void Finish();
    static int LevelForQuality(int quality);
    // Inflating never delivers more than this, so a hostile stream cannot exhaust memory.
    void SetOutputLimit(uint64_t bytes) { outputLimit_ = bytes; }

private:
    MStream& target_;
    bool compress_;
    bool finished_ = false;
    bool ended_ = false;
    z_stream zlib_{};
    uint8_t input_[4096];
    uint8_t output_[4096];
    uint64_t total_ = 0;
    uint64_t outputLimit_ = UINT64_MAX;
    int level_ = 9;
};

// Two hexadecimal characters per byte, upper case on writing.
class MHexaStream : public MStream {
public:
    explicit MHexaStream(MStream& target) : target_(target) {}
    void Write(const void* bytes, size_t count) override;
    size_t Read(void* buffer, size_t count) override;
    void Seek(int64_t offset, int origin) override { target_.Seek(offset, origin); }
    int64_t Position() override { return target_.Position(); }
    int64_t Size() override { return target_.Size(); }

private:
    MStream& target_;
};

}  // namespace corvane
