#pragma once

namespace tidemark::linux_platform {

// How long a platform serves. A one-shot command reads the desktop once and follows nothing,
// so it does without event connections, the settings file's watcher and the memory-pressure
// source.
enum class Lifetime { Session, OneShot };

} // namespace tidemark::linux_platform
