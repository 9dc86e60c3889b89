// Hands the cell controls built on the stand-alone controls (date-time, currency) to the
// library's control factory. A program that uses them calls this once at start-up, before its
// grids meet those control ids.
#pragma once

void GXRegisterExtrasCellControls();
