// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "MemoryFileOpener.h"

#include <algorithm>
#include <cstring>

#include "GameError.h"

namespace vornak {

namespace {

// Reads a copy, so that a file replaced while open reads as it was when opened, as on disk.
class CopyReader : public FileReader {
  public:
    explicit CopyReader(std::string bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min(size, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }

  private:
    std::string bytes_;
    std::size_t position_ = 0;
};

}  // namespace

void MemoryFileOpener::Put(const std::filesystem::path& file, std::string bytes) {
    entries_[file] = Entry{FileKind::PlainFile, std::move(bytes)};
}

void MemoryFileOpener::PutKind(const std::filesystem::path& file, FileKind kind) {
    entries_[file] = Entry{kind, {}};
}

void MemoryFileOpener::Remove(const std::filesystem::path& file) {
    entries_.erase(file);
}

OpenedFile MemoryFileOpener::Open(const std::filesystem::path& file) {
    OpenedFile opened;
    const auto entry = entries_.find(file);
    if (entry == entries_.end()) {
        opened.kind = FileKind::Missing;
        return opened;
    }
    opened.kind = entry->second.kind;
    if (opened.kind == FileKind::PlainFile) {
        opened.reader = std::make_unique<CopyReader>(entry->second.bytes);
    }
    return opened;
}

void MemoryFileOpener::CreateEmpty(const std::filesystem::path& file) {
    if (!entries_.emplace(file, Entry{}).second) {
        throw GameError(file, "is missing and cannot be created: something else stands there");
    }
}

}  // namespace vornak
