// The fonts Debian ships that stand in for the faces the game asks for (the set-up scripts
// install them); every face of the runtime and its forms comes from here.
#pragma once

namespace platform {

inline constexpr const char* kSansFamily = "Liberation Sans";   // for "Arial", and the forms
inline constexpr const char* kMonoFamily = "DejaVu Sans Mono";  // for the 8-px fixed-pitch faces

}  // namespace platform
