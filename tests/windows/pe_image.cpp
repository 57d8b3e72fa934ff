#include "pe_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarvo::pe {
namespace {

struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    template <typename T>
    T at(size_t offset) {
        T value{};
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof value) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return value;
    }

    std::string cString(size_t offset) {
        std::string text;
        while (offset < bytes_.size() && bytes_[offset] != 0)
            text += static_cast<char>(bytes_[offset++]);
        if (offset >= bytes_.size()) ok_ = false;
        return text;
    }

    void setSections(std::vector<Section> sections) { sections_ = std::move(sections); }

    // File offset of a relative virtual address, or a failed read.
    size_t fileOffset(uint32_t rva) {
        for (const Section& s : sections_) {
            const uint32_t size = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva - s.virtualAddress < size) {
                return s.rawOffset + (rva - s.virtualAddress);
            }
        }
        ok_ = false;
        return bytes_.size();
    }

private:
    const std::vector<uint8_t>& bytes_;
    std::vector<Section> sections_;
    bool ok_ = true;
};

constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint32_t kStringTable = 6;

// Entries of one resource directory: (id or name offset, entry offset word).
std::vector<std::pair<uint32_t, uint32_t>> directoryEntries(Reader& r, size_t directory) {
    const uint16_t named = r.at<uint16_t>(directory + 12);
    const uint16_t numbered = r.at<uint16_t>(directory + 14);
    std::vector<std::pair<uint32_t, uint32_t>> entries;
    for (size_t i = 0; i < size_t{named} + numbered && r.ok() && i < 4096; ++i) {
        const size_t entry = directory + 16 + i * 8;
        entries.emplace_back(r.at<uint32_t>(entry), r.at<uint32_t>(entry + 4));
    }
    return entries;
}

void readStringTables(Reader& r, size_t root, Image& image) {
    for (const auto& [type, typeEntry] : directoryEntries(r, root)) {
        if (type != kStringTable || !(typeEntry & kSubdirectory)) continue;
        for (const auto& [block, blockEntry] :
             directoryEntries(r, root + (typeEntry & ~kSubdirectory))) {
            if (!(blockEntry & kSubdirectory)) continue;
            for (const auto& [language, dataEntry] :
                 directoryEntries(r, root + (blockEntry & ~kSubdirectory))) {
                if (dataEntry & kSubdirectory) continue;
                const size_t data = root + dataEntry;
                const uint32_t rva = r.at<uint32_t>(data);
                const uint32_t size = r.at<uint32_t>(data + 4);
                size_t at = r.fileOffset(rva);
                const size_t end = at + size;
                StringBlock strings{block, language, {}};
                for (int i = 0; i < 16 && r.ok(); ++i) {
                    std::u16string text;
                    const uint16_t length = at < end ? r.at<uint16_t>(at) : 0;
                    at += 2;
                    for (uint16_t c = 0; c < length && r.ok(); ++c, at += 2) {
                        text += static_cast<char16_t>(r.at<uint16_t>(at));
                    }
                    strings.strings.push_back(text);
                }
                image.stringBlocks.push_back(std::move(strings));
            }
        }
    }
}

}  // namespace

std::optional<Image> readImage(const std::vector<uint8_t>& bytes, std::string* why) {
    Reader r(bytes);
    const auto fail = [&](const char* reason) -> std::optional<Image> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (r.at<uint16_t>(0) != 0x5A4D) return fail("no MZ header");
    const uint32_t pe = r.at<uint32_t>(0x3C);
    if (r.at<uint32_t>(pe) != 0x00004550) return fail("no PE signature");
    Image image;
    const size_t coff = pe + 4;
    image.machine = r.at<uint16_t>(coff);
    const uint16_t sectionCount = r.at<uint16_t>(coff + 2);
    const uint16_t optionalSize = r.at<uint16_t>(coff + 16);
    image.isDll = (r.at<uint16_t>(coff + 18) & 0x2000) != 0;
    const size_t optional = coff + 20;
    image.optionalMagic = r.at<uint16_t>(optional);
    if (image.optionalMagic != 0x10B) return fail("not PE32");
    const uint32_t directoryCount = r.at<uint32_t>(optional + 92);
    const auto directory = [&](uint32_t index) {
        return index < directoryCount ? r.at<uint32_t>(optional + 96 + index * 8) : 0u;
    };
    std::vector<Section> sections;
    for (size_t i = 0; i < sectionCount; ++i) {
        const size_t s = optional + optionalSize + i * 40;
        sections.push_back({r.at<uint32_t>(s + 12), r.at<uint32_t>(s + 8), r.at<uint32_t>(s + 20),
                            r.at<uint32_t>(s + 16)});
    }
    r.setSections(std::move(sections));
    if (!r.ok()) return fail("truncated headers");

    if (const uint32_t exports = directory(0)) {
        const size_t table = r.fileOffset(exports);
        const uint32_t nameCount = r.at<uint32_t>(table + 24);
        const size_t names = r.fileOffset(r.at<uint32_t>(table + 32));
        for (uint32_t i = 0; i < nameCount && r.ok(); ++i) {
            image.exports.push_back(r.cString(r.fileOffset(r.at<uint32_t>(names + i * 4))));
        }
    }
    if (const uint32_t imports = directory(1)) {
        for (size_t d = r.fileOffset(imports); r.ok(); d += 20) {
            const uint32_t name = r.at<uint32_t>(d + 12);
            if (name == 0) break;
            image.imports.push_back(r.cString(r.fileOffset(name)));
        }
    }
    if (const uint32_t resources = directory(2))
        readStringTables(r, r.fileOffset(resources), image);
    if (!r.ok()) return fail("a table points outside the file");
    return image;
}

}  // namespace tarvo::pe
