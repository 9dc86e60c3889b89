// The EDMX multicast groups the editor offers for a node's "EDMX_Multicast_IP", in
// the order they are offered.
#pragma once

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 16> kEdmxMulticastGroups = {
    "236.001.000.054", "236.001.000.058", "236.001.000.059", "236.001.000.060",
    "236.001.000.061", "236.001.000.062", "236.001.000.063", "236.001.000.070",
    "236.001.000.071", "236.001.000.072", "236.001.000.074", "236.001.000.075",
    "236.001.000.076", "236.001.000.078", "236.001.000.079", "236.001.000.083",
};
