#include "platform/UrlSession.h"

namespace pelko {

std::string describeUrlError(const UrlError& error) {
    switch (error.kind) {
    case UrlError::Kind::invalidAddress: return "The address is not one the application can request.";
    case UrlError::Kind::tooLarge: return "The answer is larger than the application accepts.";
    case UrlError::Kind::platform: break;
    }
    return error.localizedDescription.empty() ? "The request failed." : error.localizedDescription;
}

}  // namespace pelko
