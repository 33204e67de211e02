// The keyboard's key-press lighting effects: the seeds that a key event of
// the keyboard plants (listener thread), the ripple planes they and the
// ambient ripples share, and the steps of modes 4, 6, 8 and 25 (light thread).
// Seeds and steps run under the page's effect lock.
#include <algorithm>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_effect_paint.h"

using namespace keyboard_fx;

namespace {

enum Plane { A, B, C, D };
constexpr int kLastColumn = kMatrixColumns - 1;

struct MatrixCell {
    int column = -1;
    int row = -1;
    bool Found() const { return column >= 0; }
};

// The first cell holding the key, columns in order and rows in order within a column.
MatrixCell FindKey(const KeyMatrixTable& matrix, int key) {
    if (key < 0 || key >= kNoKeySequenceEntry) return {};
    for (int c = 0; c < kMatrixColumns; ++c)
        for (int r = 0; r < kMatrixRows; ++r)
            if (matrix[size_t(c)][size_t(r)] == key) return {c, r};
    return {};
}

// The key at (c, r), or 255 outside the matrix.
uint8_t KeyAt(int c, int r) {
    if (c < 0 || c >= kMatrixColumns || r < 0 || r >= kMatrixRows) return kNoKeyMatrixCell;
    return KeyMatrix[size_t(c)][size_t(r)];
}

// The neighbourhood of a key of mode 25, in the order near, far, side.
struct Offset {
    int dc, dr;
    uint8_t add, sub;
};
constexpr Offset kNeighbours[] = {
    {0, -1, 150, 15}, {0, 1, 150, 15}, {-1, 0, 150, 15}, {1, 0, 150, 15},                                   // near
    {0, -2, 90, 90},  {0, 2, 90, 90},  {-1, -1, 90, 90}, {-1, 1, 90, 90}, {1, -1, 90, 90}, {1, 1, 90, 90},  // far
    {-2, 0, 60, 90},  {2, 0, 60, 90},                                                                       // side
};

constexpr uint8_t kPressModeSpread = 25;
constexpr uint8_t kPressModeRipple = 6;
constexpr uint8_t kPressModeFade = 8;
constexpr uint8_t kPressModeKeys = 4;
constexpr int kLayoutAltLanguage = 5;
constexpr uint8_t kRising = 1;
constexpr uint8_t kFalling = 2;

}  // namespace

// --- Key events ----------------------------------------------------------------

void CCorvaneKeyboardDevice::OnKeyEvent(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    // A device key no position maps to (the map's own "none" included) changes nothing.
    if (key < 0 || key >= kNoKeyPosition) return;
    const auto& keys = m_positions.keyIndex;
    const auto found = std::find(keys.begin(), keys.end(), uint8_t(key));
    if (found == keys.end()) return;
    if (kind == 1 || kind == 2) TriggerKeyEffect(int(found - keys.begin()), kind);
}

void CCorvaneKeyboardDevice::TriggerKeyEffect(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    switch (CurrentLightSetting().mode) {
        case kPressModeSpread:
            SpreadFromKey(key, kind);
            break;
        case kPressModeRipple:
            SeedRippleAtKey(key, kind);
            break;
        case kPressModeFade:
            LightPressedKey(key, kind);
            break;
        case kPressModeKeys:
            SeedRippleAtKeyLayout(key, kind);
            break;
        default:
            break;
    }
}

// --- Ripple planes -------------------------------------------------------------

void CCorvaneKeyboardDevice::LightRippleBits() {
    const bool colorful = CurrentLightSetting().colorful != 0;
    const auto& planes = m_effects.m_rippleBits;
    for (int c = 0; c < kMatrixColumns; ++c) {
        const uint8_t bits = planes[A][size_t(c)] | planes[B][size_t(c)] | planes[C][size_t(c)] | planes[D][size_t(c)];
        if (!bits) continue;
        for (int r = 0; r < kMatrixRows; ++r) {
            const uint8_t n = KeyMatrix[size_t(c)][size_t(r)];
            if (!(bits & (1u << r)) || !IsKey(n)) continue;
            m_leds.m_keyLevel[n] = 255;
            if (colorful) m_leds.m_keyHue[n] = uint8_t(Random() % 192);
        }
    }
}

void CCorvaneKeyboardDevice::ShiftRippleBits() {
    auto& p = m_effects.m_rippleBits;
    const auto old = p;
    for (int c = 0; c < kMatrixColumns; ++c) {
        const size_t i = size_t(c);
        p[A][i] = uint8_t((old[A][i] >> 1) | (c < kLastColumn ? old[A][i + 1] : 0));
        p[B][i] = uint8_t((old[B][i] >> 1) | (c > 0 ? old[B][i - 1] : 0));
        p[C][i] = uint8_t((old[C][i] << 1) | (c > 0 ? old[C][i - 1] : 0));
        p[D][i] = uint8_t((old[D][i] << 1) | (c < kLastColumn ? old[D][i + 1] : 0));
    }
}

void CCorvaneKeyboardDevice::SpreadRippleRow() {
    auto& p = m_effects.m_rippleBits;
    p[A].fill(0);
    p[C].fill(0);
    std::copy_backward(p[B].begin(), p[B].end() - 1, p[B].end());
    p[B][0] = 0;
    std::copy(p[D].begin() + 1, p[D].end(), p[D].begin());
    p[D][kLastColumn] = 0;
}

namespace {

void SeedCell(std::array<std::array<uint8_t, kMatrixColumns>, 4>& planes, MatrixCell cell) {
    if (!cell.Found()) return;
    for (auto& plane : planes) plane[size_t(cell.column)] |= uint8_t(1u << cell.row);
}

}  // namespace

void CCorvaneKeyboardDevice::SeedRippleAtKey(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    if (kind == 1) SeedCell(m_effects.m_rippleBits, FindKey(KeyMatrix, key));
}

void CCorvaneKeyboardDevice::SeedRippleAtKeyLayout(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    const KeyMatrixTable& matrix = GetLanguageIndex() == kLayoutAltLanguage ? KeyMatrixAlt : KeyMatrix;
    if (kind == 1) SeedCell(m_effects.m_rippleBits, FindKey(matrix, key));
}

// --- Steps of modes 4 and 6 ------------------------------------------------------

int CCorvaneKeyboardDevice::StepReactiveKeys() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    LightRippleBits();
    SpreadRippleRow();
    for (int i = 0; i < kLeds; ++i) {
        m_leds.FadeLedState(i, kPressModeKeys);
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::StepReactiveRipple() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    LightRippleBits();
    ShiftRippleBits();
    for (int i = 0; i < kLeds; ++i) {
        m_leds.FadeLedState(i, kPressModeRipple);
        uint8_t& hue = m_leds.m_keyHue[size_t(i)];
        hue = hue + 7 >= 192 ? 0 : uint8_t(hue + 7);
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

// --- Modes 8 and 25 --------------------------------------------------------------

void CCorvaneKeyboardDevice::LightPressedKey(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    if (key < 0 || key >= kLeds) return;
    m_effects.m_keyPressState[size_t(key)] = uint8_t(kind);
    m_leds.m_keyLevel[size_t(key)] = 255;
    m_leds.m_keyHue[size_t(key)] = uint8_t(Random() % 192);
}

int CCorvaneKeyboardDevice::StepKeyPressFade() {
    const LightSetting s = CurrentLightSetting();
    const uint8_t full = BrightnessLevelOf(s.brightness);
    for (int i = 0; i < kLeds; ++i) {
        uint8_t& state = m_effects.m_keyPressState[size_t(i)];
        uint8_t& level = m_leds.m_keyLevel[size_t(i)];
        if (state == kRising) {
            if (level < 255)
                level = uint8_t(std::min(255, level + 15));
            else
                state = kFalling;
        } else if (state == kFalling && level > 0) {
            level = uint8_t(std::max(0, level - 5));
        }
        PaintLevel(m_leds, s, full, i);
    }
    return kLeds;
}

int CCorvaneKeyboardDevice::HasLitNeighbour(int column, int row, int excluded) {
    win::CriticalSectionGuard lock(m_effectLock);
    auto held = [&](int c, int r) {
        const uint8_t n = KeyAt(c, r);
        return IsKey(n) && n != excluded && m_effects.m_keyHeld[n] == 1;
    };
    if (held(column, row)) return 1;
    for (const Offset& o : kNeighbours)
        if (held(column + o.dc, row + o.dr)) return 1;
    return 0;
}

void CCorvaneKeyboardDevice::SpreadFromKey(int key, int kind) {
    win::CriticalSectionGuard lock(m_effectLock);
    const MatrixCell cell = FindKey(KeyMatrix, key);
    if (!cell.Found()) return;
    const size_t k = size_t(key);
    if (kind == 1) {
        m_effects.m_keyPressState[k] = kRising;
        m_effects.m_keyHeld[k] = 1;
        m_leds.m_keyLevel[k] = 255;
        for (const Offset& o : kNeighbours) {
            const uint8_t m = KeyAt(cell.column + o.dc, cell.row + o.dr);
            if (!IsKey(m)) continue;
            m_effects.m_keyPressState[m] = kRising;
            m_leds.m_keyLevel[m] = uint8_t(std::min(255, m_leds.m_keyLevel[m] + o.add));
        }
        return;
    }
    if (kind != 2) return;
    for (const Offset& o : kNeighbours) {
        const int c = cell.column + o.dc;
        const int r = cell.row + o.dr;
        const uint8_t m = KeyAt(c, r);
        if (!IsKey(m) || HasLitNeighbour(c, r, key)) continue;
        m_leds.m_keyLevel[m] = uint8_t(std::max(0, m_leds.m_keyLevel[m] - o.sub));
        m_effects.m_keyPressState[m] = kFalling;
    }
    if (!HasLitNeighbour(cell.column, cell.row, key)) m_effects.m_keyPressState[k] = kFalling;
    m_effects.m_keyHeld[k] = 0;
}
