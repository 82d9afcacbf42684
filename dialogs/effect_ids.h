// The camera's special effects and frames, numbered as the effect channel takes them, with the
// Effect page's radio button and the host's window command for each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/win32.h"
#include "res/resource.h"

// 0 no effect, 1 to 16 image effects, 17 to 26 frames.
using EffectId = std::int32_t;

inline constexpr EffectId kNoEffect = 0;
inline constexpr EffectId kLastEffect = 26;

struct EffectEntry {
    EffectId effect;
    int radio;     // on the Effect page
    UINT command;  // of the host window
};

inline constexpr std::array<EffectEntry, 27> kEffectTable{{
    {0, IDC_NO_EFFECT, ID_NO_EFFECT},
    {1, IDC_EFFECT_AGED_PHOTO, ID_EFFECT_AGED_PHOTO},
    {2, IDC_EFFECT_CANVAS, ID_EFFECT_CANVAS},
    {3, IDC_EFFECT_EMBOSS, ID_EFFECT_EMBOSS},
    {4, IDC_EFFECT_NEON_LIGHT, ID_EFFECT_NEON_LIGHT},
    {5, IDC_EFFECT_INVERT, ID_EFFECT_INVERT},
    {6, IDC_EFFECT_MOTION, ID_EFFECT_MOTION},
    {7, IDC_EFFECT_SPREAD, ID_EFFECT_SPREAD},
    {8, IDC_EFFECT_SHEAR, ID_EFFECT_SHEAR},
    {9, IDC_EFFECT_MONITOR, ID_EFFECT_MONITOR},
    {10, IDC_EFFECT_ELLIPSE, ID_EFFECT_ELLIPSE},
    {11, IDC_EFFECT_ALIEN_MAP, ID_EFFECT_ALIEN_MAP},
    {12, IDC_EFFECT_GLASS_TITLE, ID_EFFECT_GLASS_TITLE},
    {13, IDC_EFFECT_WIND, ID_EFFECT_WIND},
    {14, IDC_EFFECT_MAGIC_MIRROR, ID_EFFECT_MAGIC_MIRROR},
    {15, IDC_EFFECT_MOSAIC, ID_EFFECT_MOSAIC},
    {16, IDC_EFFECT_TV, ID_EFFECT_TV},
    {17, IDC_FRAME_POST_CARD, ID_FRAME_POST_CARD},
    {18, IDC_FRAME_FLOWER, ID_FRAME_FLOWER},
    {19, IDC_FRAME_JUNGLE, ID_FRAME_JUNGLE},
    {20, IDC_FRAME_TELEVISION, ID_FRAME_TELEVISION},
    {21, IDC_FRAME_MAGAZINE, ID_FRAME_MAGAZINE},
    {22, IDC_FRAME_FBI_WANTED, ID_FRAME_FBI_WANTED},
    {23, IDC_FRAME_AIM, ID_FRAME_AIM},
    {24, IDC_FRAME_PAPER, ID_FRAME_PAPER},
    {25, IDC_FRAME_MERRY_XMAS, ID_FRAME_MERRY_XMAS},
    {26, IDC_FRAME_MAGNIFIER, ID_FRAME_MAGNIFIER},
}};

constexpr std::optional<EffectId> EffectOfCommand(UINT command) {
    for (const EffectEntry& entry : kEffectTable) {
        if (entry.command == command) {
            return entry.effect;
        }
    }
    return std::nullopt;
}

constexpr std::optional<EffectId> EffectOfRadio(int radio) {
    for (const EffectEntry& entry : kEffectTable) {
        if (entry.radio == radio) {
            return entry.effect;
        }
    }
    return std::nullopt;
}
