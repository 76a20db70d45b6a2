// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "KeyboardLayout.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>
#include <QGuiApplication>
#include <bitset>

namespace vornak {

namespace {

// The XKB event codes that replace the keyboard map.
constexpr std::uint8_t NewKeyboardNotify = 0;
constexpr std::uint8_t MapNotify = 1;

xcb_connection_t* X11Connection() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

}  // namespace

void KeyboardLayout::KeymapDeleter::operator()(xkb_keymap* keymap) const {
    xkb_keymap_unref(keymap);
}
void KeyboardLayout::ContextDeleter::operator()(xkb_context* context) const {
    xkb_context_unref(context);
}

bool TypesLatinLetters(xkb_keymap* keymap, unsigned layout) {
    std::bitset<26> typed;
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap);
         ++key) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &symbols);
        for (int i = 0; i < count; ++i) {
            if (symbols[i] >= XKB_KEY_a && symbols[i] <= XKB_KEY_z) {
                typed.set(symbols[i] - XKB_KEY_a);
            }
        }
    }
    return typed.all();
}

KeyboardLayout::KeyboardLayout() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (QCoreApplication* application = QCoreApplication::instance();
        application != nullptr && X11Connection() != nullptr) {
        application->installNativeEventFilter(this);
    }
}

KeyboardLayout::~KeyboardLayout() {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
}

LayoutLetters KeyboardLayout::LettersFor(unsigned nativeModifiers) {
    if (fromServer_ && stale_) {
        ReadServerKeymap();
    }
    if (!keymap_) {
        return LayoutLetters::Unknown;
    }
    const unsigned layouts = xkb_keymap_num_layouts(keymap_.get());
    const unsigned layout = layouts == 0 ? 0 : ((nativeModifiers >> 13U) & 3U) % layouts;
    auto known = lettersByLayout_.find(layout);
    if (known == lettersByLayout_.end()) {
        const LayoutLetters letters = TypesLatinLetters(keymap_.get(), layout)
                                          ? LayoutLetters::Latin
                                          : LayoutLetters::NonLatin;
        known = lettersByLayout_.emplace(layout, letters).first;
    }
    return known->second;
}

bool KeyboardLayout::UseLayoutNamed(const char* layout, const char* variant) {
    const xkb_rule_names names{nullptr, nullptr, layout, variant, nullptr};
    keymap_.reset(
        context_ ? xkb_keymap_new_from_names(context_.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
                 : nullptr);
    lettersByLayout_.clear();
    fromServer_ = false;
    return keymap_ != nullptr;
}

void KeyboardLayout::ReadServerKeymap() {
    stale_ = false;
    lettersByLayout_.clear();
    keymap_.reset();
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || !context_) {
        return;
    }
    std::uint8_t eventBase = 0;
    if (xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventBase, nullptr) == 0) {
        return;
    }
    xkbEventBase_ = eventBase;
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device >= 0) {
        keymap_.reset(xkb_x11_keymap_new_from_device(context_.get(), connection, device,
                                                     XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
}

// Qt asks the server for these events on its own connection, for its own keyboard map, so they
// pass through here as well.
bool KeyboardLayout::nativeEventFilter(const QByteArray& eventType, void* message,
                                       qintptr* /*result*/) {
    if (xkbEventBase_ < 0 || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (static_cast<int>(event->response_type & 0x7FU) == xkbEventBase_) {
        // The XKB event's own type follows the response type.
        const std::uint8_t xkbType = event->pad0;
        if (xkbType == NewKeyboardNotify || xkbType == MapNotify) {
            stale_ = true;
        }
    }
    return false;
}

}  // namespace vornak
