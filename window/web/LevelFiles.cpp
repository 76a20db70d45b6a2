// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelFiles.h"

#include "GameError.h"
#include "PathText.h"

namespace vornak::web {

namespace {

class RefusedReader : public FileReader {
  public:
    RefusedReader(std::filesystem::path file, std::string reason)
        : file_(std::move(file)), reason_(std::move(reason)) {}
    std::size_t Read(char* /*buffer*/, std::size_t /*size*/) override {
        throw GameError(file_, "cannot be read: " + reason_);
    }

  private:
    std::filesystem::path file_;
    std::string reason_;
};

}  // namespace

Picture DecodedPictures::Get(const std::string& name, PictureFormat format,
                             const std::function<Picture()>& decode) {
    for (auto held = decoded_.begin(); held != decoded_.end(); ++held) {
        if (held->name == name && held->format == format) {
            decoded_.splice(decoded_.begin(), decoded_, held);
            if (held->refusal) {
                std::rethrow_exception(held->refusal);
            }
            return held->picture;
        }
    }
    Decoded made{name, format, {}, nullptr, sizeof(Decoded) + name.size()};
    try {
        made.picture = decode();
        made.bytes += made.picture.pixels.size() * sizeof(std::uint32_t);
    } catch (const GameError&) {
        made.refusal = std::current_exception();  // the file's verdict; anything else may pass
    }
    if (made.refusal) {
        const std::exception_ptr refusal = made.refusal;
        Keep(std::move(made));
        std::rethrow_exception(refusal);
    }
    // A picture too large to keep is handed over without a copy.
    return Keep(std::move(made)) ? decoded_.front().picture : std::move(made.picture);
}

bool DecodedPictures::Keep(Decoded&& made) {
    if (made.bytes > PixelByteBudget) {
        return false;
    }
    while (bytes_ + made.bytes > PixelByteBudget) {
        bytes_ -= decoded_.back().bytes;
        decoded_.pop_back();
    }
    bytes_ += made.bytes;
    decoded_.push_front(std::move(made));
    return true;
}

void DecodedPictures::Clear() {
    decoded_.clear();
    bytes_ = 0;
}

void LevelFiles::Reserve(const std::string& name, std::size_t size) {
    if (size > BytesLeft()) {
        RefuseTooLarge(name);
    }
    bytesHeld_ += size;
    reserved_[name] += size;
}

void LevelFiles::Put(const std::string& name, std::string bytes) {
    std::size_t& reserved = reserved_[name];
    if (bytes.size() > reserved) {
        Reserve(name, bytes.size() - reserved);
    }
    reserved = 0;
    files_.Put(name, std::move(bytes));
    names_.emplace_back(name);
    pictures_.Clear();
}

void LevelFiles::RefuseTooLarge(const std::string& name) {
    throw GameError(name, "does not fit: the files of one level may hold " +
                              std::to_string(ByteBudget / (std::size_t{1024} * 1024)) +
                              " MiB at most");
}

void LevelFiles::PutUnreadable(const std::string& name, const std::string& reason) {
    unreadable_[name] = reason;
    names_.emplace_back(name);
    pictures_.Clear();
}

void LevelFiles::Clear() {
    files_ = MemoryFileOpener();
    unreadable_.clear();
    names_.clear();
    reserved_.clear();
    bytesHeld_ = 0;
    pictures_.Clear();
}

Picture LevelFiles::Decoded(const std::filesystem::path& file, PictureFormat format,
                            const std::function<Picture()>& decode) {
    return pictures_.Get(PathText(file), format, decode);
}

OpenedFile LevelFiles::Open(const std::filesystem::path& file) {
    const auto refused = unreadable_.find(PathText(file));
    if (refused != unreadable_.end()) {
        OpenedFile opened;
        opened.kind = FileKind::PlainFile;
        opened.reader = std::make_unique<RefusedReader>(file, refused->second);
        return opened;
    }
    return files_.Open(file);
}

int LevelLoads::Begin() {
    files_.Clear();
    stopped_ = false;
    return ++current_;
}

// Nothing can be written on a web server; the page reads a missing map as empty instead.
void LevelFiles::CreateEmpty(const std::filesystem::path& file) {
    throw GameError(file, "is missing, and a page cannot create it");
}

}  // namespace vornak::web
