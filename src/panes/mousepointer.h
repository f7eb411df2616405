#pragma once

// The mouse pointer shown over the whole program.

namespace dyadix {

// The default pointer, and the hourglass while a listing or an export keeps the window busy.
// The values are those the settings of old programs gave the pointers.
enum class MousePointer : int { Default = 0, Hourglass = 11 };

} // namespace dyadix
