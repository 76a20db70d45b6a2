// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "WebRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>

#include "LevelLoader.h"
#include "PathText.h"
#include "UnseenWindow.h"
#include "WindowLayout.h"

namespace vornak::web {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 27> NamedKeys{{
    {"Backspace", 8},
    {"Tab", 9},
    {"Enter", 13},
    {"Shift", 16},
    {"Control", 17},
    {"Alt", 18},
    {"Escape", 27},
    {" ", 32},
    {"PageUp", 33},
    {"PageDown", 34},
    {"End", 35},
    {"Home", 36},
    {"ArrowLeft", 37},
    {"ArrowUp", 38},
    {"ArrowRight", 39},
    {"ArrowDown", 40},
    // Punctuation gets Windows' OEM codes, which steer nothing, as on Windows.
    {";", 186},
    {"=", 187},
    {",", 188},
    {"-", 189},
    {".", 190},
    {"/", 191},
    {"`", 192},
    {"[", 219},
    {"\\", 220},
    {"]", 221},
    {"'", 222},
}};

// The upper-case code of a key that types one Latin letter a to z, or 0.
int LatinLetter(std::string_view typed) {
    if (typed.size() != 1) {
        return 0;
    }
    const char letter = typed[0];
    if (letter >= 'a' && letter <= 'z') {
        return letter - 'a' + 'A';
    }
    if (letter >= 'A' && letter <= 'Z') {
        return letter;
    }
    return 0;
}

// The letter at a key's place on a US keyboard, from its code "KeyA" to "KeyZ", or 0.
int UsLetterAt(std::string_view code) {
    if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z') {
        return code[3];
    }
    return 0;
}

// A single character that is no ASCII: a letter of another script, or a symbol beyond ASCII.
bool TypesAnotherScript(std::string_view typed) {
    if (typed.empty() || static_cast<unsigned char>(typed[0]) < 0x80) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(typed[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return typed.size() == length;
}

int OtherKey(std::string_view code, std::string_view key) {
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') {
        return key[0];
    }
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F' && key[1] >= '1' && key[1] <= '9') {
        const int number = std::stoi(std::string(key.substr(1)));
        if (number >= 1 && number <= 12) {
            return 111 + number;
        }
    }
    for (const auto& [name, virtualKey] : NamedKeys) {
        if (name == key) {
            return virtualKey;
        }
    }
    (void)code;
    return 0;
}

// Records the pictures the loader asks for, without reading them.
class PictureNames : public UnseenWindow {
  public:
    void SetTilePicture(int /*tileIndex*/, const std::filesystem::path& picture) override {
        names.insert(PathText(picture));
    }
    void SetCarPicture(int /*car*/, const std::filesystem::path& picture) override {
        names.insert(PathText(picture));
    }
    std::set<std::string> names;
};

}  // namespace

std::string PercentEncodeName(std::string_view utf8Name) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    // A '/' that stays inside the level's folder is a real one, as on the desktop; any other is
    // escaped, so that no name can climb out of the folder.
    const bool slashesStay = StaysInItsFolder(utf8Name);
    std::string encoded;
    for (const char byte : utf8Name) {
        const auto value = static_cast<unsigned char>(byte);
        const bool plain = (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z') ||
                           (value >= '0' && value <= '9') || value == '-' || value == '.' ||
                           value == '_' || value == '~' || (value == '/' && slashesStay);
        if (plain) {
            encoded += byte;
        } else {
            encoded += '%';
            encoded += Hex[value >> 4U];
            encoded += Hex[value & 0xFU];
        }
    }
    return encoded;
}

int PageZoom(double viewportDeviceWidth, double viewportDeviceHeight) {
    const double fits = std::min(std::floor(viewportDeviceWidth / ClientWidth),
                                 std::floor(viewportDeviceHeight / ClientHeight));
    return std::isfinite(fits) && fits > 1 ? static_cast<int>(std::min(fits, 1000.0)) : 1;
}

LayoutLetters LayoutLettersOf(const std::vector<std::string>& lettersOfKeys) {
    if (lettersOfKeys.size() != 26) {
        return LayoutLetters::Unknown;
    }
    // Windows decides the same way: a layout whose keys type every letter a to z gives those
    // letters to the keys that type them.
    std::set<int> typed;
    for (const std::string& letter : lettersOfKeys) {
        if (const int code = LatinLetter(letter)) {
            typed.insert(code);
        }
    }
    return typed.size() == 26 ? LayoutLetters::Latin : LayoutLetters::NonLatin;
}

int VirtualKeyOf(std::string_view code, std::string_view key, std::string_view typedOnLayout,
                 LayoutLetters letters) {
    switch (letters) {
        case LayoutLetters::Latin:
            // The key's own letter on the layout, whatever Shift or AltGr make it type now.
            if (const int letter = LatinLetter(typedOnLayout.empty() ? key : typedOnLayout)) {
                return letter;
            }
            break;
        case LayoutLetters::NonLatin:
            if (const int letter = UsLetterAt(code)) {
                return letter;
            }
            break;
        case LayoutLetters::Unknown:
            if (const int letter = LatinLetter(key)) {
                return letter;
            }
            if (TypesAnotherScript(key)) {
                return UsLetterAt(code);
            }
            break;
    }
    return LatinLetter(key) != 0 ? 0 : OtherKey(code, key);
}

bool ScrollsThePage(std::string_view key) {
    for (const std::string_view scrolling : {"ArrowLeft", "ArrowUp", "ArrowRight", "ArrowDown", " ",
                                             "PageUp", "PageDown", "Home", "End"}) {
        if (key == scrolling) {
            return true;
        }
    }
    return false;
}

bool PreventsBrowserAction(std::string_view key, bool alt, bool control, bool meta) {
    return !alt && !control && !meta && ScrollsThePage(key);
}

std::string UnreadableReason(Unreadable cause, int status, std::string_view detail) {
    // Appended rather than added up: GCC 12 warns falsely of overlap on " " + string.
    std::string because;
    if (!detail.empty()) {
        because.append(" (").append(detail).append(")");
    }
    switch (cause) {
        case Unreadable::ServerStatus: {
            std::string answered = "the web server answered " + std::to_string(status);
            if (!detail.empty()) {
                answered.append(" ").append(detail);
            }
            return answered;
        }
        case Unreadable::BrokenTransfer:
            return "the transfer broke off before its end" + because;
        case Unreadable::Blocked:
            return "it was sent to an address this page may not read";
        case Unreadable::PickedFile:
            return "the browser can no longer read it; it may have been moved, changed or "
                   "removed since the folder was picked" +
                   because;
        case Unreadable::NoAnswer:
            break;
    }
    return "the web server did not answer";
}

std::string NotALevelFolderMessage(bool droppedAFile) {
    return std::string(droppedAFile ? "That is a file, not a level folder."
                                    : "That folder has no files in it.") +
           " A level folder holds TilesMap.txt, BlocksMap.txt and Cars.txt, with the tile and car "
           "pictures they name beside them. Pick or drop the folder itself.";
}

std::string WithWhatToDo(const std::string& message) {
    return message +
           "\n\nThis level cannot be played as it is. Mend its files and pick its folder again, "
           "or choose another level below.";
}

std::optional<std::string> BundledLevelFolder(std::string_view name) {
    if (name.empty() || name == "circuit") {
        return std::string();
    }
    for (const std::string_view bundled : {"oval", "maze", "figure8"}) {
        if (name == bundled) {
            return "levels/" + std::string(name) + "/";
        }
    }
    return std::nullopt;
}

std::vector<std::string> PicturesToFetch(FileOpener& files) {
    PictureNames names;
    GameState state;
    try {
        LevelLoader(state, names, files, {}, MissingMapFile::ReadAsEmpty);
    } catch (const std::exception&) {
        // The real load says what is wrong; fetching what can be named is all that matters here.
    }
    for (int car = 1; car <= CarCount; ++car) {
        for (const char* heading : {"up", "down", "left", "right"}) {
            names.names.insert(PathText(CarPicturePath({}, car, heading)));
        }
    }
    return {names.names.begin(), names.names.end()};
}

}  // namespace vornak::web
