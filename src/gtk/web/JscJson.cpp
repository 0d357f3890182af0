#include "gtk/web/JscJson.h"

#include <jsc/jsc.h>

#include "gtk/system/GObjectRef.h"
#include "platform/BoundedJson.h"

namespace pelko::gtk {

JscConversion jsonFromJscValue(JSCValue* value) {
    JscConversion out;
    if (!value || jsc_value_is_undefined(value)) return out;
    OwnedGString text(jsc_value_to_json(value, 0));
    // Clear any exception the conversion raised (a cycle, a BigInt) so it
    // does not surface in a later evaluation.
    if (JSCContext* context = jsc_value_get_context(value)) jsc_context_clear_exception(context);
    if (!text) {
        out.unsupported = true;
        return out;
    }
    out.value = parseBoundedJson(text.get());
    if (!out.value) out.unsupported = true;
    return out;
}

}  // namespace pelko::gtk
