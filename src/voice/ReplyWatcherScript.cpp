#include "voice/ReplyWatcherScript.h"

namespace pelko {

// Follows the page's stop button through arm -> running <-> settle, then
// clicks the newest read-aloud button. Time comes only from Date.now() and
// ticks only from setInterval, so a test page can drive it with fakes.
//
// A fast reply can show its stop button and take it away again between two
// ticks. A MutationObserver on the whole document notes every stop button
// that was added, removed or given or stripped of its stop title since the
// last tick; the tick then takes such a run as seen and already over. The
// tick also drains the observer's queue itself, so it never depends on the
// observer's callback having run first.
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
  // A stop button came or went since the last tick.
  var runSeen = false;

  function titledButtons(root) {
    return Array.prototype.slice.call(root.querySelectorAll('button[title]'));
  }
  function titleOf(button) {
    return button.getAttribute('title') || '';
  }
  function isStopTitle(title) {
    return /^stop (generating|the run)/i.test(title || '');
  }
  function stopButton() {
    var buttons = titledButtons(document);
    for (var i = 0; i < buttons.length; i++) {
      if (isStopTitle(titleOf(buttons[i]))) { return buttons[i]; }
    }
    return null;
  }
  function readAloudButtons() {
    return titledButtons(document).filter(function (button) { return /read aloud/i.test(titleOf(button)); });
  }
  // Whether `node` is a stop button or holds one, wherever it is now.
  function holdsStopButton(node) {
    if (node.nodeType !== 1) { return false; }
    if (node.matches('button[title]') && isStopTitle(titleOf(node))) { return true; }
    return titledButtons(node).some(function (button) { return isStopTitle(titleOf(button)); });
  }
  function noteMutations(records) {
    // While running, the tick sees the button itself; nothing to learn.
    if (runSeen || phase === 'running') { return; }
    for (var i = 0; i < records.length && !runSeen; i++) {
      var record = records[i];
      if (record.type === 'attributes') {
        // The title before this change, or as it is now.
        runSeen = record.target.matches('button') && (isStopTitle(record.oldValue) || holdsStopButton(record.target));
        continue;
      }
      var nodes = Array.prototype.slice.call(record.addedNodes).concat(Array.prototype.slice.call(record.removedNodes));
      runSeen = nodes.some(holdsStopButton);
    }
  }
  var observer = new MutationObserver(noteMutations);
  observer.observe(document, {
    childList: true, subtree: true, attributes: true, attributeFilter: ['title'], attributeOldValue: true
  });

  function stop() {
    clearInterval(interval);
    observer.disconnect();
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
    stop();
    window.__pelkoVoiceWatcher = false;
  }

  interval = setInterval(function () {
    if (window.__pelkoVoiceWatcher !== token) {
      stop();
      return;
    }
    noteMutations(observer.takeRecords());
    var seen = runSeen;
    runSeen = false;
    var now = Date.now();
    var button = stopButton();
    if (phase === 'arm') {
      if (!button && !seen) {
        if (now - t0 > ARM_LIMIT_MS) {
          finish();
          post('replyTimeout', { phase: 'arm' });
        }
        return;
      }
      // A run seen only between ticks is over already: on to settle in this tick.
      phase = 'running';
    }
    if (phase === 'running') {
      if (!button) {
        phase = 'settle';
        t0 = now;
      } else if (now - t0 > RUNNING_LIMIT_MS) {
        finish();
        post('replyTimeout', { phase: 'running' });
      }
      return;
    }
    if (button) {
      // A follow-up run; t0 stays the moment the previous run ended.
      phase = 'running';
    } else if (seen) {
      // A follow-up run came and went since the last tick: the quiet starts now.
      t0 = now;
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
  }, TICK_MS);
  return true;
})();
)JS";
    return script;
}

}  // namespace pelko
