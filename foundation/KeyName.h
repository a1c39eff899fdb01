#pragma once

#include "Export.h"

#include "CString.h"

namespace tnUI {

/// The keys of the keyboard. None (-1) stands for no key or an unknown one;
/// every other key has a value from 0 up, in the order of the table below.
// clang-format off
enum class KeyName : int {
    None = -1,
    /// Letters and digits of the main keyboard.
    A = 0, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    /// Function keys.
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    F13, F14, F15, F16, F17, F18, F19, F20, F21, F22, F23, F24,
    /// Navigation.
    Left, Right, Up, Down, Home, End, PageUp, PageDown,
    /// Editing.
    Insert, Delete, Backspace,
    /// White space and escape; Return is the main keyboard's, Enter the keypad's.
    Space, Tab, Return, Enter, Escape,
    /// Punctuation.
    Comma, Period, Slash, Semicolon, Quote, BracketLeft, BracketRight, Backslash, Minus, Equal, Grave, Plus,
    /// Modifiers, locks and system keys.
    Shift, Control, Alt, Meta, CapsLock, NumLock, ScrollLock, Print, Pause, Menu,
    /// Numeric keypad.
    Keypad0, Keypad1, Keypad2, Keypad3, Keypad4, Keypad5, Keypad6, Keypad7, Keypad8, Keypad9,
    KeypadPlus, KeypadMinus, KeypadMultiply, KeypadDivide, KeypadDecimal,
};
// clang-format on

/// The printable name of a key. Every key has a long form, a word ("Comma",
/// "PageUp", "Escape", "Keypad5"), and a short form for menus and
/// keybindings, its symbol or usual abbreviation (",", "PgUp", "Esc",
/// "Num5"); letters, digits and function keys read the same in both ("A",
/// "7", "F1"). short_ chooses the short form. None gives "None"; a value
/// outside the table raises ImplError.
TNUI_EXPORT const char* enumName(KeyName key, bool short_);

/// The key whose long or short name is text, ignoring ASCII case; None for any
/// other text. Both forms that enumName gives read back as their key.
TNUI_EXPORT KeyName keyNameStringToKeyName(const tnString::CString& text);

} // namespace tnUI
