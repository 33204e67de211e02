#pragma once

// Readable failure messages for recoil bullets.

#include <ostream>

#include "pages/shoot_file.h"

inline void PrintTo(const ShootBullet& b, std::ostream* os) {
    *os << "{" << (b.left ? "left " : "right ") << b.x << ", " << (b.up ? "up " : "down ") << b.y << ", delay "
        << b.delay << "}";
}
