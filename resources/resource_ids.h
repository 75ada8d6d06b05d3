// Identifiers of the program's own resources, shared by the resource script and the code.
#pragma once

#define IDI_RUNLENS 1
#define IDI_SYSTEM_EMBLEM 101
#define IDI_PROGRAM 102
