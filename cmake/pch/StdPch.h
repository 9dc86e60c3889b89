// The standard headers most of our sources include, compiled once per build (see Pch.cmake).
// Only headers every translation unit may see without changing its meaning belong here.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
