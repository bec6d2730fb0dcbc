// The domains shown on the service radio buttons, from this build's
// services file.
#pragma once

#include "config/services_config.h"

namespace quenmark::ui {

// The caption of `单选框N` is the domain of service N, at index N - 1.
inline constexpr const auto& service_domains = config::service_caption;

// The two domains that `单选框1`'s tooltip names.
inline constexpr const auto& service1_tooltip_domains = config::service1_tooltip_domains;

} // namespace quenmark::ui
