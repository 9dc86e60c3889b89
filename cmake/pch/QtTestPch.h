// A Qt test program's sources: Qt Widgets and GoogleTest.
#pragma once

#include "QtPch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
