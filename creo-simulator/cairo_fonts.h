// cairo and fontconfig keep their font caches for the life of the process.
#pragma once

namespace creosim {

// Hands the caches back at exit, so that a leak checker sees only real leaks.
void releaseFontCachesAtExit();

}  // namespace creosim
