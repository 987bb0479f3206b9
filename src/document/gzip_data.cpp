#include "document/gzip_data.h"

#include <zlib.h>

#include "runtime/failure.h"
#include "store/text_buffer.h"

namespace vtome {

namespace {

constexpr std::size_t kChunk = 1 << 16;

}  // namespace

bool isGzipData(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B;
}

std::optional<std::string> gunzip(std::string_view bytes) {
    if (!isGzipData(bytes)) return std::nullopt;
    if (bytes.size() > TextBuffer::kMaxLength) fail(FailureCode::FileTooLarge);
    z_stream stream{};
    // 16 + the largest window: a gzip header and trailer, not a zlib one.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) fail(FailureCode::MemoryAllocationFailure);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    std::string chunk(kChunk, '\0');
    int status = Z_OK;
    while (true) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(kChunk);
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = kChunk - stream.avail_out;
        if (out.size() + produced > TextBuffer::kMaxLength) {
            inflateEnd(&stream);
            fail(FailureCode::FileTooLarge);
        }
        out.append(chunk.data(), produced);
        if (status == Z_OK) continue;
        if (status == Z_STREAM_END && stream.avail_in > 0 &&
            isGzipData(std::string_view(reinterpret_cast<const char*>(stream.next_in), stream.avail_in))) {
            // Concatenated members are one file, as gzip itself reads them.
            inflateReset(&stream);
            continue;
        }
        break;  // the end, or data that is broken or cut short
    }
    inflateEnd(&stream);
    if (status == Z_MEM_ERROR) fail(FailureCode::MemoryAllocationFailure);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

}  // namespace vtome
