#pragma once

// The recoil data of one gun, "ShootData_<gun>.Shoot": a JSON object whose
// "Events" array holds the gun's 30 bullets as macro steps, six per bullet.
// Bullet b occupies entries 6b .. 6b + 5:
//   left button down (delay 10), left button up (delay 0),
//   X move by the X amount (delay 5), Y move by the Y amount (the bullet's
//   delay), then an X move and a Y move of 0 (delay 0).
// "Action" is text ("down"/"up"), "Button", "Delay" and "Type" are integers.
// For X, "down" moves left and "up" right; for Y, "down" moves up and "up"
// down. The working copies live in the mouse's data folder, the defaults of
// the same names in the program's default folder.

#include <string>

#include <json/value.h>

#include "platform/ui/dui_string.h"

inline constexpr int kShootGunCount = 4;
inline constexpr int kShootBulletCount = 30;
inline constexpr int kShootStepsPerBullet = 6;
inline constexpr int kShootMaxEvents = kShootBulletCount * kShootStepsPerBullet;  // 180
// The mouse takes a move of one byte and a delay of 16 bits.
inline constexpr int kShootMaxAmount = 255;
inline constexpr int kShootMaxDelay = 65535;

// One bullet as the editor shows it.
struct ShootBullet {
    bool left = false;  // X direction: true moves left ("down"), false right
    int x = 0;          // X amount
    bool up = false;    // Y direction: true moves up ("down"), false down
    int y = 0;          // Y amount
    int delay = 0;      // the pause after the bullet's Y move
    friend bool operator==(const ShootBullet&, const ShootBullet&) = default;
};

// "ShootData_<gun>.Shoot".
DuiLib::CDuiString ShootFileName(int gun);

// A document the editor accepts as a gun: a JSON object whose "Events" is an
// array of at most 180 objects.
bool IsShootDocument(const Json::Value& document);

// A JSON object whose "Events" is an array (of any length or content): a
// working file a bullet can be written into.
bool HasShootEvents(const Json::Value& document);

// A "Button" or "Delay" value as a number: an integer as it is (a fraction
// cut towards zero, held to the int range), text as its leading optionally
// signed decimal number (0 when it has none), anything else 0.
int ShootNumber(const Json::Value& value);

// Bullet `bullet` (0..29) of the document; entries that are missing or not
// objects read as amount 0, delay 0, directions right and down.
ShootBullet ReadShootBullet(const Json::Value& document, int bullet);

// Step `step` (0..5) of a bullet with these values, amounts and delay held
// to the ranges the mouse takes.
Json::Value ShootBulletStep(int step, const ShootBullet& bullet);

// Stores the bullet (0..29) in the document's "Events" with its amounts held
// to 0..255 and its delay to 0..65535. A document that is not an object
// becomes one; "Events" that is not an array becomes one. Entries before the
// bullet that are missing or not objects become the steps of a bullet of
// zeros, so no step the mouse would play is left empty. Other members of the
// document and other entries stay as they are.
void WriteShootBullet(Json::Value& document, int bullet, const ShootBullet& value);

// The bullet with its amounts and delay held to the mouse's ranges.
ShootBullet ClampShootBullet(const ShootBullet& bullet);
