// The press: shows the launcher menu and carries out the choice (dispatch.h).
#pragma once
#include "plugin/dispatch.h"
