#pragma once

// The slice colours of the pie chart.

#include <array>
#include <cstddef>
#include <cstdint>

// 18 colours as COLORREF words (red in bits 0-7, green 8-15, blue 16-23).
extern const std::array<uint32_t, 18> ChartColorTable;

// The colour of slice j as an opaque ARGB word (the UI's colour form);
// slices past the table's end wrap to its start.
uint32_t ChartSliceColor(std::size_t slice);
