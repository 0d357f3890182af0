#include "voice/ReplyWatcherScript.h"

namespace pelko {

// Follows the page's stop button through arm -> running <-> settle, then
// clicks the newest read-aloud button. Time comes only from Date.now() and
// ticks only from setInterval, so a test page can drive it with fakes.
//
// The page flag holds this watcher's own token rather than a bare true: when
// the flag is cleared and a new watcher starts before the old one's next
// tick, the old one sees a token that is not its own and stops, so two
// watchers never run (and click) at once.
const std::string& replyWatcherScript() {
    static const std::string script = R"JS((function () {
  if (window.__pelkoVoiceWatcher) { return true; }
  var token = {};
  window.__pelkoVoiceWatcher = token;

  var TICK_MS = 400;
  var ARM_LIMIT_MS = 15000;
  var RUNNING_LIMIT_MS = 240000;
  var SETTLE_MS = 1500;

  var phase = 'arm';
  var t0 = Date.now();
  var interval = null;

  function titledButtons() {
    return Array.prototype.slice.call(document.querySelectorAll('button[title]'));
  }
  function titleOf(button) {
    return button.getAttribute('title') || '';
  }
  function stopButton() {
    var buttons = titledButtons();
    for (var i = 0; i < buttons.length; i++) {
      if (/^stop (generating|the run)/i.test(titleOf(buttons[i]))) { return buttons[i]; }
    }
    return null;
  }
  function readAloudButtons() {
    return titledButtons().filter(function (button) { return /read aloud/i.test(titleOf(button)); });
  }
  function post(event, extra) {
    var message = { type: 'voice', event: event };
    for (var key in extra) { message[key] = extra[key]; }
    try {
      window.webkit.messageHandlers.pelko.postMessage(message);
    } catch (e) {
      // No bridge in this page: the controller keeps waiting until the next toggle.
    }
  }
  // The flag is cleared before the last message, so the next watcher can
  // start as soon as the controller reacts to it.
  function finish() {
    clearInterval(interval);
    window.__pelkoVoiceWatcher = false;
  }

  interval = setInterval(function () {
    if (window.__pelkoVoiceWatcher !== token) {
      clearInterval(interval);
      return;
    }
    var now = Date.now();
    if (phase === 'arm') {
      if (stopButton()) {
        phase = 'running';
      } else if (now - t0 > ARM_LIMIT_MS) {
        finish();
        post('replyTimeout', { phase: 'arm' });
      }
    } else if (phase === 'running') {
      if (!stopButton()) {
        phase = 'settle';
        t0 = now;
      } else if (now - t0 > RUNNING_LIMIT_MS) {
        finish();
        post('replyTimeout', { phase: 'running' });
      }
    } else if (phase === 'settle') {
      if (stopButton()) {
        // A follow-up run; t0 stays the moment the previous run ended.
        phase = 'running';
      } else if (now - t0 > SETTLE_MS) {
        finish();
        var readAloud = readAloudButtons();
        if (readAloud.length > 0) {
          readAloud[readAloud.length - 1].click();
          post('replyStarted', {});
        } else {
          post('replyFailed', { reason: 'no-read-aloud' });
        }
      }
    }
  }, TICK_MS);
  return true;
})();
)JS";
    return script;
}

}  // namespace pelko
