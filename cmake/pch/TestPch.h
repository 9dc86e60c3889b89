// What a test program's sources parse first: the standard headers and GoogleTest.
#pragma once

#include "StdPch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
