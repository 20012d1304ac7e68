#pragma once
// The Win32 error codes the program itself produces; every other code comes from the platform.

#include <cstdint>

inline constexpr uint32_t ErrorFileNotFound = 2;      // a missing or unopenable file
inline constexpr uint32_t ErrorInvalidData = 13;      // a list control failed to give an entry
inline constexpr uint32_t ErrorOutOfMemory = 14;      // no memory, or a list control without space
inline constexpr uint32_t ErrorWriteFault = 29;       // a write to a list file failed
inline constexpr uint32_t ErrorReadFault = 30;        // a list file failed part-way through a read
inline constexpr uint32_t ErrorInvalidParameter = 87; // a control rejected a request
