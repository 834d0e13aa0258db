// Identifiers of the program's resources, shared by tollivar.rc and the code.
#pragma once

#define IDI_TOLLIVAR 1
