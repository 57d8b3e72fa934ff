#include "view/packed_text.h"

namespace tarvo {
namespace {

constexpr size_t kChunk = 1 << 16;
constexpr int kGzipWindow = 15 + 16;  // the largest window, with a gzip header and trailer
// The fastest level: the data is written once per page, and level 6 saves a
// fifth of the size for three times the time.
constexpr int kLevel = 1;
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

PackedTextBuffer::PackedTextBuffer(std::ostream& out) : out_(out), text_(kChunk), bytes_(kChunk) {
    ok_ = deflateInit2(&zlib_, kLevel, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    // The same page on every system: zlib would name the one it runs on.
    header_.os = 255;
    ok_ = ok_ && deflateSetHeader(&zlib_, &header_) == Z_OK;
    setp(text_.data(), text_.data() + text_.size());
}

PackedTextBuffer::~PackedTextBuffer() {
    deflateEnd(&zlib_);
}

PackedTextBuffer::int_type PackedTextBuffer::overflow(int_type c) {
    if (!compress(Z_NO_FLUSH)) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

// Compresses the text given so far; with Z_FINISH, to the end.
bool PackedTextBuffer::compress(int flush) {
    if (!ok_) return false;
    zlib_.next_in = reinterpret_cast<Bytef*>(pbase());
    zlib_.avail_in = static_cast<uInt>(pptr() - pbase());
    int status = Z_OK;
    do {
        zlib_.next_out = bytes_.data();
        zlib_.avail_out = static_cast<uInt>(bytes_.size());
        status = deflate(&zlib_, flush);
        if (status == Z_STREAM_ERROR) return ok_ = false;
        encode(bytes_.data(), bytes_.size() - zlib_.avail_out);
    } while (zlib_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    setp(text_.data(), text_.data() + text_.size());
    return ok_ = ok_ && static_cast<bool>(out_);
}

void PackedTextBuffer::encode(const unsigned char* bytes, size_t count) {
    char group[4];
    for (size_t i = 0; i < count; ++i) {
        carry_[carried_++] = bytes[i];
        if (carried_ < 3) continue;
        group[0] = kBase64[carry_[0] >> 2];
        group[1] = kBase64[((carry_[0] & 3) << 4) | (carry_[1] >> 4)];
        group[2] = kBase64[((carry_[1] & 15) << 2) | (carry_[2] >> 6)];
        group[3] = kBase64[carry_[2] & 63];
        out_.write(group, 4);
        carried_ = 0;
    }
}

bool PackedTextBuffer::finish() {
    if (!compress(Z_FINISH)) return false;
    if (carried_ > 0) {
        const unsigned char a = carry_[0];
        const unsigned char b = carried_ > 1 ? carry_[1] : 0;
        const char group[4] = {kBase64[a >> 2], kBase64[((a & 3) << 4) | (b >> 4)],
                               carried_ > 1 ? kBase64[(b & 15) << 2] : '=', '='};
        out_.write(group, 4);
        carried_ = 0;
    }
    return static_cast<bool>(out_);
}

}  // namespace tarvo
