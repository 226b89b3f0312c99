// Numeric ids of the windows, controls, commands and texts of the panel. Tests and tools find
// each control by its name (objectName) or by these ids (the "controlId" property).
#pragma once

#include "ControlIds.h"

// Window-menu command of this panel only: the frame view.
inline constexpr unsigned IDM_FRAMEVIEW = 0x0020;

// Property holding a control's numeric id.
inline constexpr char kControlIdProperty[] = "controlId";
