#pragma once

#include "window_test.h"
