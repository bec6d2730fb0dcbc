// The domains shown on the service radio buttons.
#pragma once

#include <array>
#include <string_view>

namespace quenmark::ui {

// The caption of `单选框N` is the domain of service N, at index N - 1, and
// `单选框1`'s tooltip names service 1's two domains. These are stand-ins
// until the service catalogue provides the real ones: short enough for the
// narrowest button, under a top-level name that does not exist, so they can
// never be taken for a real service. This table is the only place that
// knows them.
inline constexpr std::array<std::string_view, 6> service_domains{
    "s1.lo", "s2.lo", "s3.lo", "s4.lo", "s5.lo", "s6.lo"};
inline constexpr std::string_view service1_other_domain = "s1b.lo";

} // namespace quenmark::ui
