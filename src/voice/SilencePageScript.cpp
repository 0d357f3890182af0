#include "voice/SilencePageScript.h"

namespace pelko {

// Every <audio> element is paused, also one that does not play yet: one
// still loading with autoplay would start reading a moment later. Pausing an
// element that is paused changes nothing else.
const std::string& silencePageScript() {
    static const std::string script = R"JS((function () {
  try {
    if (window.speechSynthesis) { window.speechSynthesis.cancel(); }
  } catch (e) {
    // A page that broke its speech synthesis still gets its audio paused.
  }
  Array.prototype.forEach.call(document.querySelectorAll('audio'), function (audio) {
    try {
      audio.pause();
    } catch (e) {
      // The next element still gets paused.
    }
  });
  return true;
})();
)JS";
    return script;
}

}  // namespace pelko
