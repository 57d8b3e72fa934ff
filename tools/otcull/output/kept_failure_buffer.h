// An output buffer in front of another that keeps why the first write
// failed: a stream says only that it went bad, and a message must say why
// (a full disk, a closed pipe, a file-size limit). The reason is taken the
// moment the write fails, before anything else can change it.
#pragma once

#include <array>
#include <ostream>
#include <streambuf>
#include <string>

namespace tarvo {

class KeptFailureBuffer : public std::streambuf {
public:
    explicit KeptFailureBuffer(std::streambuf& target);
    ~KeptFailureBuffer() override;
    KeptFailureBuffer(const KeptFailureBuffer&) = delete;
    KeptFailureBuffer& operator=(const KeptFailureBuffer&) = delete;

    // Empty while every write has gone through; after a failure, its
    // reason ("No space left on device"), and nothing more is written.
    const std::string& failure() const { return failure_; }
    // Records a failure found outside the buffer, such as closing the file.
    void keepFailure();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    std::streambuf& target_;
    std::array<char, 1 << 16> buffer_;
    std::string failure_;
};

// Why out cannot take more: the reason its KeptFailureBuffer kept, or a
// general one for another stream; empty when it is fine. Flushes out first.
std::string outputFailure(std::ostream& out);

}  // namespace tarvo
