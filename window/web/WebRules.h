// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileOpener.h"
#include "GameWindow.h"

namespace vornak::web {

// The page's rules that need no browser, so that they are tested natively.

// A file name as it goes into a URL: every byte of its UTF-8 outside A-Z a-z 0-9 - . _ ~
// becomes %XX, and '/' too unless the name stays inside the level's folder. A raw backslash
// would be read as a slash by the browser, and a '#' or '?' would end the path.
std::string PercentEncodeName(std::string_view utf8Name);

// The page is the player's whole view: the largest whole number of device pixels per game pixel
// at which the game area fits the viewport, given in device pixels; at least 1.
int PageZoom(double viewportDeviceWidth, double viewportDeviceHeight);

// Which kind of layout the keys come from, from what the 26 keys KeyA to KeyZ type on it, in
// that order (the browser's layout map); empty when the browser keeps the layout to itself.
LayoutLetters LayoutLettersOf(const std::vector<std::string>& lettersOfKeys);

// The Windows virtual-key code of a key event, by the desktop's rule, or 0 for a key that has
// none here. code is the key's place (KeyboardEvent.code), key what it types (.key), and
// typedOnLayout what the layout map says the key at that place types, where there is a map.
int VirtualKeyOf(std::string_view code, std::string_view key, std::string_view typedOnLayout,
                 LayoutLetters letters);

// Keys that would scroll the page or move the focus away from the game.
bool ScrollsThePage(std::string_view key);

// Whether the page keeps the browser from acting on a key that steers or presses: only the
// unmodified keys that would scroll. With Alt, Ctrl or Meta the key is the browser's (Back,
// Forward, Cmd+Left), though the game still sees it.
bool PreventsBrowserAction(std::string_view key, bool alt, bool control, bool meta);

// What the page is doing, which the button, the key bar's light and the message box all read.
// A program that failed to load is the script's alone: nothing here runs then.
enum class PageState { Loading, Playing, Failed };
constexpr bool RunButtonEnabled(PageState state) {
    return state == PageState::Playing;
}

// Why a file of the level cannot be read, as the page learnt it.
enum class Unreadable {
    NoAnswer = 0,        // the request failed with no answer
    ServerStatus = 1,    // the server answered with an error other than "not found"
    BrokenTransfer = 2,  // the answer broke off mid-body
    Blocked = 3,         // the page's policy blocked the request or where it was sent on to
    PickedFile = 4,      // a file from the player's folder that the browser can no longer read
};
// The reason that follows "NAME cannot be read: "; status and detail as the browser gave them.
std::string UnreadableReason(Unreadable cause, int status, std::string_view detail);

// What a player who dropped a lone file, or picked a folder with nothing in it, is told.
std::string NotALevelFolderMessage(bool droppedAFile);

// What every failure in the page ends with: where the player can go from a stopped game.
std::string WithWhatToDo(const std::string& message);

// The folder, relative to the page, of a level named in ?level=NAME: "" for the page's own
// circuit (and for no name), "levels/NAME/" for the other bundled ones, nothing for any other
// name, which is never fetched.
std::optional<std::string> BundledLevelFolder(std::string_view name);

// The names of the files that a level's loader will open, given its three level files already
// in files (under the empty folder): the tile pictures its map names, every car picture, and the
// pictures its headings name. The fetching happens before the game starts; the loader then runs
// unchanged on what was fetched.
std::vector<std::string> PicturesToFetch(FileOpener& files);

}  // namespace vornak::web
