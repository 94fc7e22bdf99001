// Build configuration: which edition this binary is. Kept in one header so
// every window sees the same answer at compile time.
#pragma once

// The freely distributed edition (start-up shows the title instead of the
// information dialog).
constexpr bool Public = true;

// The school edition with the extra drill button.
constexpr bool Professional = false;

inline constexpr const char* Version = "1.00";
