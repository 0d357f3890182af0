// The Objective-C runtime's basic types. <objc/objc.h>
#pragma once

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

typedef struct objc_class *Class;
typedef struct objc_object *id;
typedef struct objc_selector *SEL;

// BOOL is `bool` on arm64 and `signed char` on x86_64; the stricter of the
// two is declared, so code must be right for both.
typedef signed char BOOL;
#define YES __objc_yes
#define NO __objc_no

#ifndef nil
#define nil nullptr
#endif
