#pragma once

#include <nlohmann/json.hpp>
#include <optional>

typedef struct _JSCValue JSCValue;

namespace pelko::gtk {

struct JscConversion {
    std::optional<nlohmann::json> value;  // none for undefined
    bool unsupported = false;             // a value JSON cannot hold (a function, a symbol)
};

// The JSON form of a script value, as the engine serialises it.
JscConversion jsonFromJscValue(JSCValue* value);

}  // namespace pelko::gtk
