// The Objective-C runtime's basic types. <objc/objc.h>
#pragma once

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

typedef struct objc_class *Class;
typedef struct objc_object *id;
typedef struct objc_selector *SEL;

// BOOL is `bool` on arm64 and `signed char` on x86_64: clang tells which
// through __OBJC_BOOL_IS_BOOL on Apple targets. Elsewhere the stricter of
// the two is declared.
#if defined(__OBJC_BOOL_IS_BOOL) && __OBJC_BOOL_IS_BOOL
typedef bool BOOL;
#else
typedef signed char BOOL;
#endif
#define YES __objc_yes
#define NO __objc_no

#ifndef nil
#define nil nullptr
#endif
