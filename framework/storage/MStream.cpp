#include "framework/storage/MStream.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/MException.h"

namespace corvane {

// ---- MStream: services a stream class may lack -------------------------------------------------

void MStream::NotImplemented(const char* service) {
    throw MException(std::string("Service \"") + service + "\" is not implemented.");
}

MStream* MStream::Substream() { NotImplemented("return substream"); }
void MStream::Write(const void*, size_t) { NotImplemented("write to stream"); }
size_t MStream::Read(void*, size_t) { NotImplemented("read from stream"); }
int64_t MStream::Position() { NotImplemented("get stream position"); }
void MStream::Flush() { NotImplemented("flush stream"); }
bool MStream::AtEnd() { NotImplemented("end of stream test"); }
void MStream::Truncate() { NotImplemented("truncate stream"); }
int64_t MStream::Size() { NotImplemented("stream size detection"); }

void MStream::WriteFiller(uint8_t filler, size_t count) {
    uint8_t block[1024];
    std::memset(block, filler, sizeof block);
    while (count > 0) {
        const size_t piece = std::min(count, sizeof block);
        Write(block, piece);
        count -= piece;
    }
}

int MStream::ReadLine(char* buffer, size_t capacity) {
    if (capacity == 0) return 1;
    size_t stored = 0;
    bool any = false;
    while (stored + 1 < capacity) {
        char c;
        if (Read(&c, 1) != 1) {
            buffer[stored] = '\0';
            return any ? 0 : 2;
        }
        any = true;
        if (c == '\0' || c == '\n') break;
        if (c == '\r') continue;
        buffer[stored++] = c;
    }
    buffer[stored] = '\0';
    return stored + 1 >= capacity ? 1 : 0;
}

void MStream::WriteText(const std::string& text) { Write(text.data(), text.size()); }

void MStream::WriteLine(const std::string& text) {
    WriteText(text);
    Write("\n", 1);
}

void MStream::Seek(int64_t offset, int origin) {
    if (origin < FromStart || origin > FromEnd) throw MException("Invalid seek origin.");
    int64_t target = offset;
    if (origin == FromCurrent) target = Position() + offset;
    if (origin == FromEnd) target = Size() + offset;
    const int64_t here = Position();
    if (target < here) NotImplemented("backward seek in a stream");
    uint8_t scratch[1024];
    for (int64_t left = target - here; left > 0;) {
        const size_t got = Read(scratch, static_cast<size_t>(std::min<int64_t>(left, sizeof scratch)));
        if (got == 0) break;
        left -= static_cast<int64_t>(got);
    }
}

// ---- MMemoryStream -----------------------------------------------------------------------------

MMemoryStream::Buffer::~Buffer() {
    if (!notOwned) delete[] data;
}

MMemoryStream::MMemoryStream() : buffer_(std::make_shared<Buffer>()) {}

MMemoryStream::MMemoryStream(void* memory, size_t size) : buffer_(std::make_shared<Buffer>()), size_(size) {
    buffer_->data = static_cast<uint8_t*>(memory);
    buffer_->capacity = size;
    buffer_->notOwned = true;
}

MMemoryStream::MMemoryStream(const MMemoryStream& other)
    : MStream(), buffer_(other.buffer_), size_(other.size_), position_(0) {}

void MMemoryStream::MakeOwnCopy() {
    if (buffer_->notOwned || buffer_.use_count() == 1) return;
    auto copy = std::make_shared<Buffer>();
    copy->capacity = buffer_->capacity;
    copy->data = copy->capacity ? new uint8_t[copy->capacity] : nullptr;
    if (size_) std::memcpy(copy->data, buffer_->data, size_);
    buffer_ = copy;
}

void MMemoryStream::Reserve(size_t needed) {
    if (needed <= buffer_->capacity) return;
    if (buffer_->notOwned) throw MException("Error writing to memory stream.");
    size_t capacity = buffer_->capacity == 0 ? needed : buffer_->capacity;
    while (capacity < needed) capacity *= 2;
    uint8_t* data = new uint8_t[capacity];
    if (size_) std::memcpy(data, buffer_->data, size_);
    delete[] buffer_->data;
    buffer_->data = data;
    buffer_->capacity = capacity;
}

void MMemoryStream::Write(const void* bytes, size_t count) {
    if (count == 0) return;
    MakeOwnCopy();
    Reserve(position_ + count);
    std::memcpy(buffer_->data + position_, bytes, count);
    position_ += count;
    size_ = std::max(size_, position_);
}

size_t MMemoryStream::Read(void* buffer, size_t count) {
    const size_t available = position_ < size_ ? size_ - position_ : 0;
    const size_t n = std::min(count, available);
    if (n) std::memcpy(buffer, buffer_->data + position_, n);
    position_ += n;
    return n;
}

void MMemoryStream::Seek(int64_t offset, int origin) {
    int64_t target;
    switch (origin) {
        case FromStart:
            target = std::min<int64_t>(std::max<int64_t>(offset, 0), static_cast<int64_t>(size_));
            break;
        case FromCurrent:
            target = std::min<int64_t>(static_cast<int64_t>(position_) + offset, static_cast<int64_t>(size_));
            target = std::max<int64_t>(target, 0);
            break;
        case FromEnd:
            target = std::min<int64_t>(std::max<int64_t>(static_cast<int64_t>(size_) + offset, 0),
                                       static_cast<int64_t>(size_));
            break;
        default:
            throw MException("Invalid seek origin.");
    }
    position_ = static_cast<size_t>(target);
}

// ---- MStdFileStream ----------------------------------------------------------------------------

MStdFileStream::MStdFileStream(const std::string& path, Mode mode) : path_(path) {
    file_ = FileSystem::Open(path, mode == ForReading ? "rb" : "wb");
    if (file_ != nullptr) return;
    if (mode == ForReading) throw MException("File \"" + path + "\" could not be open. Make sure it exists.");
    throw MException("File \"" + path +
                     "\" could not be created. Make sure there is no write-protected file already existing.");
}

MStdFileStream::~MStdFileStream() {
    if (file_ != nullptr) std::fclose(file_);
}

void MStdFileStream::Write(const void* bytes, size_t count) {
    if (std::fwrite(bytes, 1, count, file_) != count)
        throw MException("Error writing to file \"" + path_ + "\". Probably disk full.");
}

size_t MStdFileStream::Read(void* buffer, size_t count) {
    const size_t got = std::fread(buffer, 1, count, file_);
    if (got < count && std::ferror(file_)) throw MException("Error reading from file \"" + path_ + "\".");
    return got;
}

void MStdFileStream::Seek(int64_t offset, int origin) {
    if (origin < FromStart || origin > FromEnd) throw MException("Invalid seek origin.");
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (std::fseek(file_, static_cast<long>(offset), whence[origin]) != 0)
        throw MException("Could not perform file seek.");
}

int64_t MStdFileStream::Position() { return std::ftell(file_); }

void MStdFileStream::Flush() {
    if (std::fflush(file_) != 0) throw MException("Error writing to file \"" + path_ + "\". Probably disk full.");
}

bool MStdFileStream::AtEnd() { return std::feof(file_) != 0; }

int64_t MStdFileStream::Size() {
    const long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    const long size = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return size;
}

// ---- MZLibStream -------------------------------------------------------------------------------

int MZLibStream::LevelForQuality(int quality) { return std::min(std::max((quality - 1) / 10, 0), 9); }

MZLibStream::MZLibStream(MStream& target, bool compress, int quality) : target_(target), compress_(compress) {
    if (compress_) {
        level_ = LevelForQuality(quality);
        if (deflateInit2(&zlib_, level_, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw MException("Could not initialize deflating.");
        zlib_.next_out = output_;
        zlib_.avail_out = sizeof output_;
    } else {
        if (inflateInit(&zlib_) != Z_OK) throw MException("Could not initialize inflating.");
    }
}

MZLibStream::~MZLibStream() {
    // An unfinished compressing stream is a programming error: say so, and
    // release zlib regardless.
    if (compress_) {
        if (!finished_) {
            DiagnosticLog::Write("ZLIB stream has not been terminated.");
            deflateEnd(&zlib_);
        }
    } else {
        inflateEnd(&zlib_);
    }
}

void MZLibStream::Write(const void* bytes, size_t count) {
    if (!compress_ || finished_) NotImplemented("write to stream");
    zlib_.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(bytes));
    zlib_.avail_in = static_cast<uInt>(count);
    total_ += count;
    do {
        zlib_.next_out = output_;
        zlib_.avail_out = sizeof output_;
        deflate(&zlib_, Z_NO_FLUSH);
        const size_t produced = sizeof output_ - zlib_.avail_out;
        if (produced) target_.Write(output_, produced);
    } while (zlib_.avail_out == 0);
}

void MZLibStream::Finish() {
    if (!compress_ || finished_) return;
    zlib_.next_in = nullptr;
    zlib_.avail_in = 0;
    int result;
    do {
        zlib_.next_out = output_;
        zlib_.avail_out = sizeof output_;
        result = deflate(&zlib_, Z_FINISH);
        const size_t produced = sizeof output_ - zlib_.avail_out;
        if (produced) target_.Write(output_, produced);
    } while (result == Z_OK || (result != Z_STREAM_END && zlib_.avail_out == 0));
    deflateEnd(&zlib_);
    finished_ = true;
}

size_t MZLibStream::Read(void* buffer, size_t count) {
    if (compress_) NotImplemented("read from stream");
    if (ended_ || count == 0) return 0;
    zlib_.next_out = static_cast<Bytef*>(buffer);
    zlib_.avail_out = static_cast<uInt>(count);
    while (zlib_.avail_out > 0) {
        if (zlib_.avail_in == 0) {
            const size_t got = target_.Read(input_, sizeof input_);
            if (got == 0) throw MException("Source compressed stream has invalid content.");
            zlib_.next_in = input_;
            zlib_.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&zlib_, Z_SYNC_FLUSH);
        if (result == Z_STREAM_END) {
            ended_ = true;
            break;
        }
        if (result == Z_DATA_ERROR || result == Z_STREAM_ERROR || result == Z_MEM_ERROR || result == Z_NEED_DICT)
            throw MException("Source compressed stream has invalid content.");
    }
    const size_t delivered = count - zlib_.avail_out;
    total_ += delivered;
    if (total_ > outputLimit_) throw MException("Source compressed stream has invalid content.");
    return delivered;
}

// ---- MHexaStream -------------------------------------------------------------------------------

void MHexaStream::Write(const void* bytes, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    char text[256];
    while (count > 0) {
        const size_t piece = std::min(count, sizeof text / 2);
        for (size_t i = 0; i < piece; ++i) {
            text[2 * i] = digits[in[i] >> 4];
            text[2 * i + 1] = digits[in[i] & 0x0F];
        }
        target_.Write(text, piece * 2);
        in += piece;
        count -= piece;
    }
}

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw MException("Invalid character to be converted to a number.");
}
}  // namespace

size_t MHexaStream::Read(void* buffer, size_t count) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    char pair[2];
    while (done < count) {
        const size_t got = target_.Read(pair, 2);
        if (got < 2) {
            // An odd final character cannot make a byte.
            if (got == 1) throw MException("Invalid character to be converted to a number.");
            break;
        }
        out[done++] = static_cast<uint8_t>(HexValue(pair[0]) << 4 | HexValue(pair[1]));
    }
    return done;
}

}  // namespace corvane
