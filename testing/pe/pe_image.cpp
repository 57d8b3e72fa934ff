#include "pe/pe_image.h"

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

    void fail() { ok_ = false; }

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
constexpr uint32_t kVersion = 16;

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

// The one data entry of each (name, language) under a resource type.
struct ResourceData {
    uint32_t name, language, rva, size;
};

std::vector<ResourceData> resourcesOfType(Reader& r, size_t root, uint32_t typeEntry) {
    std::vector<ResourceData> found;
    for (const auto& [name, nameEntry] : directoryEntries(r, root + (typeEntry & ~kSubdirectory))) {
        if (!(nameEntry & kSubdirectory)) continue;
        for (const auto& [language, dataEntry] :
             directoryEntries(r, root + (nameEntry & ~kSubdirectory))) {
            if (dataEntry & kSubdirectory) continue;
            const size_t data = root + dataEntry;
            found.push_back({name, language, r.at<uint32_t>(data), r.at<uint32_t>(data + 4)});
        }
    }
    return found;
}

StringBlock readStringBlock(Reader& r, const ResourceData& resource) {
    size_t at = r.fileOffset(resource.rva);
    const size_t end = at + resource.size;
    StringBlock strings{resource.name, resource.language, {}};
    for (int i = 0; i < 16 && r.ok(); ++i) {
        std::u16string text;
        const uint16_t length = at < end ? r.at<uint16_t>(at) : 0;
        at += 2;
        for (uint16_t c = 0; c < length && r.ok(); ++c, at += 2) {
            text += static_cast<char16_t>(r.at<uint16_t>(at));
        }
        strings.strings.push_back(text);
    }
    return strings;
}

// One node of a version resource: length, value length, type, key, value,
// children, each start aligned to 32 bits from the resource's start.
struct VersionBlock {
    uint16_t valueLength = 0;
    uint16_t type = 0;  // 1: the value is text
    std::u16string key;
    size_t value = 0, children = 0, end = 0;
};

size_t alignFrom(size_t base, size_t at) {
    return base + ((at - base + 3) & ~size_t{3});
}

std::u16string wideText(Reader& r, size_t at, size_t end) {
    std::u16string text;
    for (; at + 2 <= end && r.ok(); at += 2) {
        const char16_t c = static_cast<char16_t>(r.at<uint16_t>(at));
        if (c == 0) break;
        text += c;
    }
    return text;
}

VersionBlock readVersionBlock(Reader& r, size_t base, size_t at, size_t limit) {
    VersionBlock block;
    const uint16_t length = r.at<uint16_t>(at);
    block.end = std::min(limit, at + length);
    if (length < 6 || at + length > limit) {
        r.fail();
        return block;
    }
    block.valueLength = r.at<uint16_t>(at + 2);
    block.type = r.at<uint16_t>(at + 4);
    block.key = wideText(r, at + 6, block.end);
    block.value = alignFrom(base, at + 6 + (block.key.size() + 1) * 2);
    const size_t valueBytes = block.type == 1 ? size_t{block.valueLength} * 2 : block.valueLength;
    block.children = alignFrom(base, block.value + valueBytes);
    return block;
}

// Calls visit for each child of the block, in order.
template <typename Visit>
void eachChild(Reader& r, size_t base, const VersionBlock& parent, Visit visit) {
    for (size_t at = parent.children; at + 6 <= parent.end && r.ok();) {
        const VersionBlock child = readVersionBlock(r, base, at, parent.end);
        if (!r.ok()) return;
        visit(child);
        at = alignFrom(base, child.end);
    }
}

VersionResource readVersion(Reader& r, const ResourceData& resource) {
    VersionResource version;
    version.name = resource.name;
    version.language = resource.language;
    const size_t base = r.fileOffset(resource.rva);
    const VersionBlock root = readVersionBlock(r, base, base, base + resource.size);
    if (!r.ok() || root.key != u"VS_VERSION_INFO") return version;
    if (root.valueLength >= 52 && r.at<uint32_t>(root.value) == 0xFEEF04BDu) {
        version.fixedInfo = true;
        version.fileVersion[0] = r.at<uint32_t>(root.value + 8);
        version.fileVersion[1] = r.at<uint32_t>(root.value + 12);
        version.productVersion[0] = r.at<uint32_t>(root.value + 16);
        version.productVersion[1] = r.at<uint32_t>(root.value + 20);
        version.fileFlags = r.at<uint32_t>(root.value + 28);
        version.fileType = r.at<uint32_t>(root.value + 36);
    }
    eachChild(r, base, root, [&](const VersionBlock& info) {
        if (info.key != u"StringFileInfo") return;
        eachChild(r, base, info, [&](const VersionBlock& table) {
            version.stringTableKey = table.key;
            eachChild(r, base, table, [&](const VersionBlock& value) {
                version.strings[value.key] = wideText(r, value.value, value.end);
            });
        });
    });
    return version;
}

void readResources(Reader& r, size_t root, Image& image) {
    for (const auto& [type, typeEntry] : directoryEntries(r, root)) {
        image.resourceTypes.push_back(type);
        if (!(typeEntry & kSubdirectory)) continue;
        for (const ResourceData& resource : resourcesOfType(r, root, typeEntry)) {
            if (type == kStringTable) image.stringBlocks.push_back(readStringBlock(r, resource));
            if (type == kVersion) image.versions.push_back(readVersion(r, resource));
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
    if (const uint32_t resources = directory(2)) readResources(r, r.fileOffset(resources), image);
    if (!r.ok()) return fail("a table points outside the file");
    return image;
}

}  // namespace tarvo::pe
