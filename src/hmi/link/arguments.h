// SPDX-License-Identifier: GPL-3.0-or-later
// The arguments of one board message: up to 11 texts, an absent one empty.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace korvani::hmi::link {

inline constexpr std::size_t kMaxArguments = 11;
using Arguments = std::array<std::string, kMaxArguments>;

}  // namespace korvani::hmi::link
