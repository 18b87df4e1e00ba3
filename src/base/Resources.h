#pragma once

namespace kilvaro {

/// Registers the built-in resources (default text files, help pages). The core library is
/// static, so they are not registered by themselves; safe to call more than once.
void initResources();

} // namespace kilvaro
