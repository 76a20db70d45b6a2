// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QAbstractNativeEventFilter>
#include <map>
#include <memory>

#include "VirtualKeys.h"

struct xkb_context;
struct xkb_keymap;

namespace vornak {

// Which kind of layout the keys come from, read from the X server's keyboard map. The map is
// read at the first key press and again after the server announces a new one (setxkbmap, a
// new keyboard); switching between the layouts of one map needs no new read, since every key
// event carries its layout number.
class KeyboardLayout : public QAbstractNativeEventFilter {
  public:
    KeyboardLayout();
    ~KeyboardLayout() override;
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    // nativeModifiers as a key event carries them: on X11 the core state, whose bits 13 and 14
    // hold the layout number.
    LayoutLetters LettersFor(unsigned nativeModifiers);

    // Uses a layout compiled from its XKB names instead of the server's, e.g. ("us", "dvorak");
    // false when there is no such layout. For tests, which run without an X server.
    bool UseLayoutNamed(const char* layout, const char* variant);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct KeymapDeleter {
        void operator()(xkb_keymap* keymap) const;
    };
    struct ContextDeleter {
        void operator()(xkb_context* context) const;
    };
    void ReadServerKeymap();

    std::unique_ptr<xkb_context, ContextDeleter> context_;
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap_;
    std::map<unsigned, LayoutLetters> lettersByLayout_;
    bool fromServer_ = true;
    bool stale_ = true;
    int xkbEventBase_ = -1;
};

// Whether layout number `layout` of keymap types every letter a to z without Shift.
bool TypesLatinLetters(xkb_keymap* keymap, unsigned layout);

}  // namespace vornak
