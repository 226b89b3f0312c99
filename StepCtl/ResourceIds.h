// Numeric ids of the windows, controls, commands and texts of the panel. Tests and tools find
// each control by its name (objectName) or by these ids (the "controlId" property).
#pragma once

#include "ControlIds.h"

// Property holding a control's numeric id.
inline constexpr char kControlIdProperty[] = "controlId";
