// md2ex.dll: MD2 models in numbered slots, drawn with OpenGL 1.1.
// Every call is __stdcall with C linkage and an undecorated export name.
//
// Threads. The slots are one table for the whole process, without a lock:
// calls may come from any thread, never from two at once. MD2_Draw draws in
// the GL context current on the calling thread, which must own the slot's
// texture (or share objects with its context); the other calls use no GL.
// A refused file is named on the debug output.
//
// Compatibility. Within a major version (MD2EX_VERSION_MAJOR) the calls' names
// and export ordinals and what each call returns never change: later
// versions only add calls. The header is plain C (C99 and later) and C++
// (C++11 and later).
#pragma once

#include <windows.h>
#include <stdint.h>

// The version of the library this header describes; its file's version
// resource carries the same numbers.
#define MD2EX_VERSION_MAJOR 1
#define MD2EX_VERSION_MINOR 0
#define MD2EX_VERSION_PATCH 0

#ifdef __cplusplus
extern "C" {
#endif

// Slots are numbered 1..MD2_MAX_SLOTS; a call with any other slot is ignored.
#define MD2_MAX_SLOTS 64

// Loads the model file at path (text in the process's ANSI code page) into
// slot, to be drawn with the GL texture name texture whose picture is width
// x height pixels, uploaded bottom row first (its top row at t = 1).
// Texture coordinates are scaled by the skin size the file's header declares,
// so a skin at any resolution maps the same; width and height serve only for
// a side the header leaves at 0. A model in the slot is replaced; a file
// that fails validation (or is missing, or over 32 MB) leaves the slot empty.
// Non-zero on success.
int32_t WINAPI MD2_Load(int32_t slot, const char* path, uint32_t texture, int32_t width,
                        int32_t height);

// The same with a UTF-16 path, whatever the process's code page: the one
// implementation behind both, which MD2_Load (its path in the process's ANSI
// code page, CP_ACP) reaches by converting its path.
int32_t WINAPI MD2_LoadW(int32_t slot, const wchar_t* path, uint32_t texture, int32_t width,
                         int32_t height);

// Number of frames of the slot's model; 0 for an empty slot.
int32_t WINAPI MD2_GetFrameCount(int32_t slot);

// Draws the slot's model at a 1-based, fractional frame position, blending
// stored frames floor(frame) and floor(frame) + 1. Positions past the last
// frame draw the last frame; below 1, NaN or infinite positions are clamped.
// An empty slot draws nothing. Uses the current modelview matrix, lighting,
// material and current colour; normals are renormalised for the draw, so the
// caller may scale the model. Leaves GL state as found except the bound
// texture. Non-zero when something was drawn; 0 also when no GL context is
// current on the calling thread.
int32_t WINAPI MD2_Draw(int32_t slot, float frame);

// Frees the slot (harmless when empty). Non-zero when a model was freed.
int32_t WINAPI MD2_Delete(int32_t slot);

// Function-pointer types of the calls, for a program that loads the library
// with LoadLibrary and takes its calls with GetProcAddress.
typedef int32_t (WINAPI *PFN_MD2_Load)(int32_t slot, const char* path, uint32_t texture, int32_t width,
                                       int32_t height);
typedef int32_t (WINAPI *PFN_MD2_LoadW)(int32_t slot, const wchar_t* path, uint32_t texture, int32_t width,
                                        int32_t height);
typedef int32_t (WINAPI *PFN_MD2_GetFrameCount)(int32_t slot);
typedef int32_t (WINAPI *PFN_MD2_Draw)(int32_t slot, float frame);
typedef int32_t (WINAPI *PFN_MD2_Delete)(int32_t slot);

#ifdef __cplusplus
}
#endif
