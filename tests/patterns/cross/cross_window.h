#pragma once

#include "window_test.h"

namespace qpane::testing {

using CrossWindowTest = WindowTest;

}  // namespace qpane::testing
