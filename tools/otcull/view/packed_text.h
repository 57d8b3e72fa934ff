// A stream whose text reaches another stream gzip-compressed and then
// base64-encoded: how the page carries its data, which at 100,000 nodes is
// tens of megabytes of JSON and a few once compressed. Browsers inflate it
// themselves (DecompressionStream), so the page stays one file.
#pragma once

#include <zlib.h>

#include <ostream>
#include <streambuf>
#include <vector>

namespace tarvo {

class PackedTextBuffer : public std::streambuf {
public:
    explicit PackedTextBuffer(std::ostream& out);
    ~PackedTextBuffer() override;
    PackedTextBuffer(const PackedTextBuffer&) = delete;
    PackedTextBuffer& operator=(const PackedTextBuffer&) = delete;

    // Writes what is left; false when compressing or writing failed.
    bool finish();

protected:
    int_type overflow(int_type c) override;

private:
    bool compress(int flush);
    void encode(const unsigned char* bytes, size_t count);

    std::ostream& out_;
    z_stream zlib_{};
    gz_header header_{};  // read by deflate until the header is out
    bool ok_ = true;
    std::vector<char> text_;            // what the stream was given, not yet compressed
    std::vector<unsigned char> bytes_;  // compressed, not yet encoded
    unsigned char carry_[3]{};          // bytes waiting for a full group of three
    size_t carried_ = 0;
};

}  // namespace tarvo
