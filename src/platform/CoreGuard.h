#pragma once

// Included first by every core header that the backends also see. Inside
// the core build a platform toolkit header must never have been included.
#if defined(PELKO_CORE_BUILD)
#if defined(__OBJC__) || defined(GTK_MAJOR_VERSION) || defined(__GTK_H__) || defined(__WEBKIT_H__) || \
    defined(__GLIB_H__) || defined(G_BEGIN_DECLS)
#error "The portable core must not include a platform header."
#endif
#endif
