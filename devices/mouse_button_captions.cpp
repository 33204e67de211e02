#include "devices/mouse_button_captions.h"

#include <cstddef>
#include <cstdint>

#include "pages/key_search.h"
#include "link/base/key_tables.h"

const wchar_t* const kUnknownFunctionCaption = L"\u5173\u95ed";

namespace {

constexpr size_t kGunNames = 4;

class CaptionMaker {
public:
    CaptionMaker(const KeyFunction& f, const MouseCaptionTexts& texts, DuiLib::CDuiString* out)
        : f_(f), texts_(texts), out_(out) {}

    bool Make() {
        switch (f_.code) {
            case kFunctionNone:
            case kFunctionKeyboardKey:
                return KeyboardKey();
            case kFunctionMouseButton:
                return FirstRow(MouseKeyTable, kMouseKeyTableCount, kMouseKeyNameBase, Match::P1);
            case kFunctionSwing:
                return Name(kSwingNameBase + ((f_.param2 & 0x80) ? 1 : 0));
            case kFunctionWheel:
                return Name(kWheelNameBase + ((f_.param2 & 0x80) ? 1 : 0));
            case kFunctionDpiStep:
                return FirstRow(DpiKeyTable, kDpiKeyTableCount, kDpiNameBase, Match::P1);
            case kFunctionFire:
                return Name(kFireName);
            case kFunctionDpiShift:
                return MouseFunction(Match::Code);
            case kFunctionShortcut:
                return FirstRow(ShortcutKeyTable, kShortcutKeyTableCount, kShortcutNameBase, Match::P1P2);
            case kFunctionShowWindow:
                return MouseFunction(Match::P1P2);
            case kFunctionConsumer:
                return FirstRow(MediaKeyTable, kMediaKeyTableCount, kMediaNameBase, Match::P1P2);
            case kFunctionSystem:
                return FirstRow(SystemKeyTable, kSystemKeyTableCount, kSystemNameBase, Match::P1P2);
            case kFunctionMacro:
            case kFunctionMacroRepeat:
                return MacroName();
            case kFunctionGun:
                // Only the gun names: a larger index would name something else.
                return f_.param1 < kGunNames && Name(kGunNameBase + f_.param1);
            case kFunctionDeviceKey:
                return MouseFunction(Match::P1) || FirstRow(KeyTable, kKeyTableCount, kKeyNameBase, Match::P1P2);
            case 0x15:
            case 0x21:
            case 0x50:
            case 0x60:
            case kFunctionCombo:
            case 0xC0:
                return false;
            default:
                *out_ = kUnknownFunctionCaption;
                return true;
        }
    }

private:
    // Which fields of a row must equal the function's (the code always does,
    // except in the keyboard-key search by parameters).
    enum class Match { Code, P1, P1P2 };

    bool Matches(const KeyFunction& row, Match m) const {
        if (row.code != f_.code) return false;
        if (m == Match::Code) return true;
        if (row.param1 != f_.param1) return false;
        return m == Match::P1 || row.param2 == f_.param2;
    }

    bool Name(size_t index) {
        const wchar_t* key = KeyNameAt(index);
        if (!key) return false;
        *out_ = Translate(key);
        return true;
    }

    DuiLib::CDuiString Translate(const wchar_t* key) const {
        return texts_.translate ? texts_.translate(key) : DuiLib::CDuiString(key);
    }

    bool FirstRow(const KeyCodeEntry* table, size_t count, size_t base, Match m) {
        for (size_t row = 0; row < count; ++row)
            if (Matches(table[row].function, m)) return Name(base + row);
        return false;
    }

    bool MouseFunction(Match m) {
        return FirstRow(MouseFunctionTable, kMouseFunctionTableCount, kMouseFunctionNameBase, m);
    }

    bool MacroName() {
        const auto* names = texts_.macroNames;
        if (!names || f_.param1 >= names->size()) return false;
        *out_ = (*names)[f_.param1];
        return true;
    }

    bool KeyboardKey() {
        // The row with these parameters names the key, whatever its code.
        const int row = FindRowByParams(KeyTable, kKeyTableCount, f_);
        if (row >= 0) return Name(kKeyNameBase + size_t(row));
        if (f_.param1 == 0 && f_.param2 == 0) {
            *out_ = Translate(L"close_text");
            return true;
        }
        // A modifier with a key: the rows sharing the modifier byte or the key
        // byte, joined in table order.
        DuiLib::CDuiString joined;
        for (size_t r = 0; r < kKeyTableCount; ++r) {
            const KeyFunction& k = KeyTable[r].function;
            if (k.code != f_.code || (k.param1 != f_.param1 && k.param2 != f_.param2)) continue;
            if (!joined.IsEmpty()) joined += L"+";
            joined += Translate(KeyNameAt(kKeyNameBase + r));
        }
        if (joined.IsEmpty()) return false;
        *out_ = joined;
        return true;
    }

    const KeyFunction& f_;
    const MouseCaptionTexts& texts_;
    DuiLib::CDuiString* out_;
};

}  // namespace

bool MouseButtonCaption(const KeyFunction& function, const MouseCaptionTexts& texts, DuiLib::CDuiString* caption) {
    DuiLib::CDuiString made;
    if (!CaptionMaker(function, texts, &made).Make()) return false;
    if (caption) *caption = made;
    return true;
}
