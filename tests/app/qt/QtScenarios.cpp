// The window scenarios of every window (scenarios/), here on the Qt window.
#include "QtWindowDriver.h"
#include "ScenarioTest.h"

CORVATONE_SCENARIOS_ON(Qt, MakeQtWindowDriver);
