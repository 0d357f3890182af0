#pragma once

// Included first by the core's headers outside platform/ (the ports there
// include nothing but the standard library and each other). Inside the core
// build, a platform toolkit header included before it stops the build.
#if defined(PELKO_CORE_BUILD)
#if defined(__OBJC__) || defined(GTK_MAJOR_VERSION) || defined(__GTK_H__) || defined(__WEBKIT_H__) || \
    defined(__GLIB_H__) || defined(G_BEGIN_DECLS)
#error "The portable core must not include a platform header."
#endif
#endif
