#include "output/kept_failure_buffer.h"

#include <cerrno>
#include <system_error>

namespace tarvo {
namespace {

// errno is the C library's word for what failed; a buffer that failed
// without one still failed, for some reason of the device.
std::string reasonOf(int error) {
    return std::generic_category().message(error != 0 ? error : EIO);
}

}  // namespace

KeptFailureBuffer::KeptFailureBuffer(std::streambuf& target) : target_(target) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

KeptFailureBuffer::~KeptFailureBuffer() {
    drain();
}

void KeptFailureBuffer::keepFailure() {
    if (failure_.empty()) failure_ = reasonOf(errno);
}

bool KeptFailureBuffer::drain() {
    const std::streamsize pending = pptr() - pbase();
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (pending == 0 || !failure_.empty()) return failure_.empty();
    errno = 0;
    if (target_.sputn(buffer_.data(), pending) != pending) keepFailure();
    return failure_.empty();
}

KeptFailureBuffer::int_type KeptFailureBuffer::overflow(int_type c) {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int KeptFailureBuffer::sync() {
    if (!drain()) return -1;
    errno = 0;
    if (target_.pubsync() != 0) keepFailure();
    return failure_.empty() ? 0 : -1;
}

std::string outputFailure(std::ostream& out) {
    out.flush();
    if (auto* kept = dynamic_cast<KeptFailureBuffer*>(out.rdbuf());
        kept && !kept->failure().empty())
        return kept->failure();
    return out ? std::string() : reasonOf(0);
}

}  // namespace tarvo
