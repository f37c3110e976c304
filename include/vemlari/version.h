#pragma once
namespace vemlari {
// Version of the library and of the program.
inline constexpr const char* version = "1.0.0";
}  // namespace vemlari
