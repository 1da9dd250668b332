#pragma once

// The version comes from the build (the CMake project version) and nowhere else.
namespace Version {

inline constexpr int kMajor = LORVANE_VERSION_MAJOR;
inline constexpr int kMinor = LORVANE_VERSION_MINOR;
inline constexpr int kRevision = LORVANE_VERSION_PATCH;

} // namespace Version
