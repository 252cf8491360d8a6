// The scenario driver of the Qt window (QtWindowDriver.cpp), for every test program that runs
// scenarios on that window.
#pragma once

#include "WindowDriver.h"

#include <memory>

std::unique_ptr<TWindowDriver> MakeQtWindowDriver();
