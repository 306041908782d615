// The .tr2 archive writer: a KEYVALUE description and members, each LZSS-compressed or raw.
#include "tools/writers/archive_writer.h"

#include <cstdio>
#include <limits>

#include "archive/archive_directory.h"
#include "archive/key_value.h"
#include "tools/writers/byte_writer.h"
#include "tools/writers/lzss_writer.h"

namespace {
struct StoredEntry {
    std::string_view name;
    std::vector<uint8_t> stored;  // empty when the data is stored raw
    const uint8_t* data;
    size_t size;
    bool raw;
    size_t storedSize() const { return raw ? size : stored.size(); }
};

StoredEntry storeEntry(std::string_view name, const uint8_t* data, size_t size, bool forceRaw) {
    StoredEntry entry{name, {}, data, size, true};
    if (!forceRaw) {
        std::vector<uint8_t> packed = compressLzss(data, size);
        // Equal sizes would read back as raw, so LZSS must be strictly smaller.
        if (packed.size() < size) {
            entry.stored = std::move(packed);
            entry.raw = false;
        }
    }
    return entry;
}

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

bool checkInputs(std::string_view description, const std::vector<ArchiveMember>& members,
                 std::string* error) {
    if (description.find('\0') != std::string_view::npos)
        return fail(error, "the description holds a NUL byte");
    std::string problem;
    if (!checkKeyValueText(std::string(description).c_str(), &problem))
        return fail(error, "the description does not parse: " + problem);
    for (size_t i = 0; i < members.size(); ++i) {
        const std::string& name = members[i].name;
        problem = memberNameProblem(name);
        if (!problem.empty()) return fail(error, "member '" + name + "': " + problem);
        for (size_t j = 0; j < i; ++j)
            if (memberNamesEqual(members[j].name.c_str(), name.c_str()))
                return fail(error, "members '" + members[j].name + "' and '" + name +
                                       "' have the same name");
    }
    return true;
}
}  // namespace

ArchiveMember archiveMember(std::string name, std::string_view bytes, bool forceRaw) {
    return {std::move(name), std::vector<uint8_t>(bytes.begin(), bytes.end()), forceRaw};
}

std::string fileListDescription(const std::vector<ArchiveMember>& members, std::string_view extra) {
    std::string text(extra);
    if (!text.empty() && text.back() != '\n') text += '\n';
    for (size_t i = 0; i < members.size(); ++i)
        text += "FILE_" + std::to_string(i) + "=" + members[i].name + "\n";
    return text;
}

std::string memberNameProblem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    if (name.size() >= kArchiveNameSize) return "the name is longer than 31 bytes";
    for (unsigned char c : name) {
        if (c == 0) return "the name holds a NUL byte";
        if (c == '/' || c == '\\') return "the name holds a folder separator";
    }
    return {};
}

std::vector<uint8_t> writeArchive(std::string_view description,
                                  const std::vector<ArchiveMember>& members, std::string* error) {
    if (!checkInputs(description, members, error)) return {};
    std::vector<StoredEntry> entries;
    entries.reserve(members.size() + 1);
    entries.push_back(storeEntry("KEYVALUE", reinterpret_cast<const uint8_t*>(description.data()),
                                 description.size(), false));
    for (const ArchiveMember& m : members)
        entries.push_back(storeEntry(m.name, m.data.data(), m.data.size(), m.forceRaw));

    uint64_t offset = kArchiveHeaderSize + uint64_t{entries.size()} * kArchiveEntrySize;
    uint64_t total = offset;
    for (const StoredEntry& e : entries) total += e.storedSize();
    for (const StoredEntry& e : entries)
        if (e.size > std::numeric_limits<uint32_t>::max()) total = UINT64_MAX;
    if (total > std::numeric_limits<uint32_t>::max()) {
        fail(error, "the archive would be larger than 4 GiB");
        return {};
    }

    ByteWriter out;
    out.bytes.reserve(static_cast<size_t>(total));
    out.zeros(kArchiveHeaderSize);
    for (const StoredEntry& e : entries) {
        out.fixedText(e.name, kArchiveNameSize);
        out.u32le(static_cast<uint32_t>(offset));
        out.u32le(static_cast<uint32_t>(e.storedSize()));
        out.u32le(static_cast<uint32_t>(e.size));
        out.u32le(0);
        offset += e.storedSize();
    }
    for (const StoredEntry& e : entries) {
        if (e.raw) {
            out.raw(e.data, e.size);
        } else {
            out.raw(e.stored.data(), e.stored.size());
        }
    }
    return std::move(out.bytes);
}

bool writeArchiveFile(const std::filesystem::path& path, std::string_view description,
                      const std::vector<ArchiveMember>& members, std::string* error) {
    const std::vector<uint8_t> bytes = writeArchive(description, members, error);
    if (bytes.empty()) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return fail(error, "cannot write " + path.string());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return fail(error, "cannot write " + path.string());
    }
    return true;
}
