// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "FileOpener.h"
#include "MemoryFileOpener.h"
#include "Picture.h"

namespace vornak::web {

// Pictures decoded from a level's files, each file once, with its verdict: in the page the files
// are fixed bytes for the level's whole life, so decoding one again could only give the same.
// A 4096 x 4096 tile on 300 cells, or such a car at every move start, then costs one decoding.
// The least recently used give way beyond a budget of decoded pixels, which keeps a level of
// hundreds of large distinct tiles within a tab's memory.
class DecodedPictures {
  public:
    static constexpr std::size_t PixelByteBudget = std::size_t{128} * 1024 * 1024;

    // The picture, decoded by decode the first time; a GameError it threw is thrown again.
    Picture Get(const std::string& name, PictureFormat format,
                const std::function<Picture()>& decode);
    void Clear();
    std::size_t BytesHeld() const { return bytes_; }

  private:
    struct Decoded {
        std::string name;
        PictureFormat format;
        Picture picture;
        std::exception_ptr refusal;
        std::size_t bytes;
    };
    // Holds what was decoded unless it alone passes the budget, making room for it.
    bool Keep(Decoded&& made);

    std::list<Decoded> decoded_;  // the most recently used first
    std::size_t bytes_ = 0;
};

// The level's files as the page fetched them or the player picked them, held in memory under
// their bare names. A file that was not found is missing; one the server refused reads as an
// error that says why.
class LevelFiles : public FileOpener {
  public:
    // All the files of one level together: far above any real level, and far below what brings
    // a browser tab down.
    static constexpr std::size_t ByteBudget = std::size_t{64} * 1024 * 1024;

    // Counts bytes of a file against the budget as they arrive, before they are all read, so
    // that the files fetched side by side are bounded together. Throws GameError naming the file
    // whose bytes cross the budget.
    void Reserve(const std::string& name, std::size_t size);
    // Takes a file's bytes, reserving what was not reserved for it yet, as Reserve does.
    void Put(const std::string& name, std::string bytes);
    // The server answered with an error other than "not found".
    void PutUnreadable(const std::string& name, const std::string& reason);
    // What is left of the budget, so that a large file is refused before it is all fetched.
    std::size_t BytesLeft() const { return ByteBudget - bytesHeld_; }
    // Throws the GameError of a file that would pass the budget.
    [[noreturn]] static void RefuseTooLarge(const std::string& name);
    void Clear();
    // The names of the files the level has, as a folder would list them.
    const std::vector<std::filesystem::path>& Names() const { return names_; }

    OpenedFile Open(const std::filesystem::path& file) override;
    void CreateEmpty(const std::filesystem::path& file) override;

    // A picture of these files, decoded once while they stay as they are.
    Picture Decoded(const std::filesystem::path& file, PictureFormat format,
                    const std::function<Picture()>& decode);

  private:
    MemoryFileOpener files_;
    DecodedPictures pictures_;
    std::map<std::string, std::string> unreadable_;
    std::vector<std::filesystem::path> names_;
    std::map<std::string, std::size_t> reserved_;
    std::size_t bytesHeld_ = 0;
};

// One level load at a time. Each load is an attempt with files and a budget of its own; a new
// one abandons the last at once, freeing its files, and whatever of the old one still arrives is
// ignored, so that only the latest can start a game.
class LevelLoads {
  public:
    // A new attempt, whose number the page passes back with each of its files.
    int Begin();
    // Whether what an attempt hands over still counts: it is the latest and has not stopped.
    bool Counts(int attempt) const { return attempt == current_ && !stopped_; }
    // The attempt has said why it cannot go on; the rest of it is ignored.
    void Stop() { stopped_ = true; }
    LevelFiles& Files() { return files_; }

  private:
    int current_ = 0;
    bool stopped_ = false;
    LevelFiles files_;
};

}  // namespace vornak::web
