// Identifiers of the program's own resources, shared by the resource script and the code.
#pragma once

#define IDI_RUNLENS 1
#define IDI_SYSTEM_EMBLEM 101
#define IDI_PROGRAM 102

// The view buttons' glyphs.
#define IDI_GLYPH_LARGE 201
#define IDI_GLYPH_SMALL 202
#define IDI_GLYPH_REPORT 203
