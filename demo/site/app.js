(function () {
  "use strict";

  var shell = (typeof window.__pelkoDesktop === "object" && window.__pelkoDesktop !== null) ? window.__pelkoDesktop : null;
  var $ = function (id) { return document.getElementById(id); };
  var messagesEl = $("messages");
  var input = $("composer-input");
  var sendButton = $("send");
  var answerAtOnce = $("answer-at-once");
  var dictateButton = $("dictate");

  function post(message) {
    var handlers = window.webkit && window.webkit.messageHandlers;
    if (!handlers || !handlers.pelko) return false;
    handlers.pelko.postMessage(message);
    return true;
  }

  // ---- Messages -----------------------------------------------------------

  var speakerIcon = '<svg viewBox="0 0 24 24" aria-hidden="true"><path d="M4 9h4l5-4v14l-5-4H4z"/><path d="M16 9a4 4 0 0 1 0 6M18.5 6.5a8 8 0 0 1 0 11"/></svg>';

  function addMessage(role, text) {
    var row = document.createElement("div");
    row.className = "message " + role;
    var who = document.createElement("div");
    who.className = "who";
    who.textContent = role === "user" ? "SR" : "P";
    var wrap = document.createElement("div");
    wrap.className = "bubble-wrap";
    var bubble = document.createElement("div");
    bubble.className = "bubble";
    bubble.textContent = text;
    var actions = document.createElement("div");
    actions.className = "message-actions";
    var read = document.createElement("button");
    read.type = "button";
    read.className = "read-aloud";
    read.title = "Read aloud";
    read.setAttribute("aria-label", "Read aloud");
    read.innerHTML = speakerIcon + '<span class="read-label">Reading aloud…</span>';
    read.addEventListener("click", function () { readAloud(read, bubble.textContent); });
    actions.appendChild(read);
    wrap.appendChild(bubble);
    wrap.appendChild(actions);
    row.appendChild(who);
    row.appendChild(wrap);
    messagesEl.appendChild(row);
    messagesEl.scrollTop = messagesEl.scrollHeight;
    return { row: row, bubble: bubble };
  }

  // ---- Reading aloud ------------------------------------------------------

  var reading = null;

  function stopReading() {
    if (!reading) return;
    clearTimeout(reading.timer);
    reading.button.classList.remove("reading");
    if (window.speechSynthesis) { try { window.speechSynthesis.cancel(); } catch (e) { /* nothing to stop */ } }
    window.__pelkoDemoReading = null;
    reading = null;
  }

  // The reading state shows for at least as long as saying the text would
  // take, and for as long as the engine is actually speaking: an engine
  // without a usable voice may end at once, or never start.
  function readAloud(button, text) {
    var same = reading && reading.button === button;
    stopReading();
    if (same) return;
    button.classList.add("reading");
    var current = { button: button, estimatePassed: false, speaking: false };
    current.timer = setTimeout(function () {
      current.estimatePassed = true;
      if (reading === current && !current.speaking) stopReading();
    }, 1500 + text.split(/\s+/).length * 320);
    reading = current;
    window.__pelkoDemoReading = text;
    var synthesis = window.speechSynthesis;
    if (!synthesis || !window.SpeechSynthesisUtterance) return;
    try {
      var utterance = new SpeechSynthesisUtterance(text);
      utterance.onstart = function () { current.speaking = true; };
      utterance.onend = utterance.onerror = function (event) {
        current.speaking = false;
        if (reading !== current) return;
        // Stopped from outside (the desktop app silences the page when the
        // user starts speaking): the reading is over, whatever the estimate.
        var stopped = event.type === "error" && (event.error === "canceled" || event.error === "interrupted");
        if (stopped || current.estimatePassed) stopReading();
      };
      synthesis.speak(utterance);
    } catch (e) { /* the visible state stays for the estimate */ }
  }

  // ---- Sending and the streamed echo --------------------------------------

  var streaming = null;

  function replyFor(text, atOnce) {
    var short = text.length > 160 ? text.slice(0, 157) + "…" : text;
    return "You said: “" + short + "”. I'm the demo service, so all I can do is echo you — " +
      (atOnce ? "this time all at once, as a short or cached answer comes." : "but I stream it word by word, like a real reply.");
  }

  // A streamed reply gets a word every 70 ms; one answered at once arrives
  // whole, in one chunk, 100 ms after sending: its stop button shows for less
  // than the desktop app's 400 ms look at the page, which must notice it anyway.
  var WORD_DELAY_MS = 70;
  var ONE_CHUNK_DELAY_MS = 100;
  var wordDelayMs = WORD_DELAY_MS;
  // Called once when the reply being streamed has ended.
  var afterReply = null;

  // The stop button exists only while a reply is being written: anything
  // that watches the page (the desktop app does) sees it come and go.
  function makeStopButton() {
    var button = document.createElement("button");
    button.type = "button";
    button.className = "stop-button";
    button.title = "Stop generating";
    button.innerHTML = '<svg viewBox="0 0 24 24" aria-hidden="true"><rect x="7" y="7" width="10" height="10" rx="2"/></svg>Stop';
    button.addEventListener("click", finishStreaming);
    return button;
  }

  function finishStreaming() {
    if (!streaming) return;
    clearInterval(streaming.timer);
    streaming.message.row.classList.remove("streaming");
    streaming.stop.remove();
    streaming = null;
    sendButton.hidden = false;
    if (afterReply) {
      var next = afterReply;
      afterReply = null;
      setTimeout(next, 0);
    }
  }

  function send() {
    var text = input.value.trim();
    if (!text) return;
    finishStreaming();
    addMessage("user", text);
    input.value = "";
    input.dispatchEvent(new Event("input", { bubbles: true }));
    var atOnce = answerAtOnce.checked;
    var words = replyFor(text, atOnce).split(" ");
    var message = addMessage("assistant", "");
    message.row.classList.add("streaming");
    var stop = makeStopButton();
    sendButton.parentNode.insertBefore(stop, sendButton);
    sendButton.hidden = true;
    var index = 0;
    streaming = {
      message: message,
      stop: stop,
      timer: setInterval(function () {
        var chunk = atOnce ? words.slice(index) : [words[index]];
        message.bubble.textContent += (index ? " " : "") + chunk.join(" ");
        index += chunk.length;
        messagesEl.scrollTop = messagesEl.scrollHeight;
        if (index >= words.length) finishStreaming();
      }, atOnce ? ONE_CHUNK_DELAY_MS : wordDelayMs)
    };
  }

  Array.prototype.forEach.call(document.querySelectorAll("#suggestions .chip"), function (chip) {
    chip.addEventListener("click", function () {
      input.value = chip.textContent;
      input.focus();
    });
  });
  $("composer").addEventListener("submit", function (event) { event.preventDefault(); send(); });
  input.addEventListener("keydown", function (event) {
    if (event.key === "Enter" && (event.metaKey || event.ctrlKey)) {
      event.preventDefault();
      send();
    }
  });
  $("new-chat").addEventListener("click", function () {
    finishStreaming();
    stopReading();
    messagesEl.textContent = "";
    greet();
    input.focus();
  });

  // ---- Dictation ----------------------------------------------------------

  var dictateLabel = $("dictate-label");
  function showVoiceState(state) {
    dictateButton.classList.toggle("listening", state === "recording");
    dictateButton.classList.toggle("transcribing", state === "transcribing");
    dictateLabel.textContent = state === "recording" ? "Listening…" : state === "transcribing" ? "Transcribing…" : "";
    dictateButton.title = state === "recording" ? "Stop dictating" : "Dictate";
  }
  if (shell && shell.canDictate) {
    dictateButton.addEventListener("click", function () { post({ type: "voice", event: "dictate" }); });
  } else {
    dictateButton.disabled = true;
    dictateButton.title = "Dictation needs the Pelko desktop app";
  }
  window.addEventListener("pelko:voice", function (event) {
    var state = event.detail && typeof event.detail.state === "string" ? event.detail.state : "idle";
    window.__pelkoDemoVoiceState = state;
    showVoiceState(state);
  });

  // ---- Desktop shell panel ------------------------------------------------

  function fact(name, value) {
    var dt = document.createElement("dt");
    dt.textContent = name;
    var dd = document.createElement("dd");
    if (typeof value === "boolean") {
      dd.textContent = value ? "yes" : "no";
      dd.className = value ? "yes" : "no";
    } else {
      dd.textContent = String(value);
    }
    $("desktop-facts").appendChild(dt);
    $("desktop-facts").appendChild(dd);
  }
  if (shell) {
    fact("Version", shell.version);
    fact("Platform", shell.platform);
    fact("iMessage setup", !!shell.canSetupIMessage);
    fact("Dictation", !!shell.canDictate);
    $("desktop-note").textContent = "Defined by the app before this page's scripts ran.";
    $("shell-badge").textContent = "Desktop app · " + shell.platform + " " + shell.version;
    $("shell-badge").hidden = false;
  } else {
    fact("Running in", "a browser");
    $("desktop-note").textContent = "Open this page in Pelko Desktop to see what the app tells it.";
  }

  // ---- iMessage -----------------------------------------------------------

  function pairingCode() {
    var letters = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    var code = "";
    for (var i = 0; i < 6; i += 1) code += letters[Math.floor(Math.random() * letters.length)];
    return code.slice(0, 3) + "-" + code.slice(3);
  }
  var code = pairingCode();

  function showIMessageStatus(text, connected) {
    $("imessage-status").textContent = text;
    $("imessage-status").className = "integration-status" + (connected ? " connected" : "");
  }

  // Once "Connect iMessage" is clicked, the agent's helper announces itself
  // to the service under this code. The page asks whether it has, about once
  // a second for a minute; nothing polls otherwise.
  var pairingWatch = null;
  function stopWatchingPairing() {
    if (pairingWatch) clearTimeout(pairingWatch.timer);
    pairingWatch = null;
  }
  function watchPairing() {
    stopWatchingPairing();
    var watch = { deadline: Date.now() + 60000, timer: 0 };
    pairingWatch = watch;
    function askLater() {
      if (Date.now() >= watch.deadline) {
        stopWatchingPairing();
        showIMessageStatus("No answer from the helper", false);
        return;
      }
      watch.timer = setTimeout(ask, 1000);
    }
    function ask() {
      fetch("/api/imessage/status?code=" + encodeURIComponent(code), { cache: "no-store" })
        .then(function (response) { return response.json(); })
        .then(function (status) {
          if (pairingWatch !== watch) return;
          if (!status || !status.paired) return askLater();
          stopWatchingPairing();
          showIMessageStatus("Connected · " + status.host, true);
        })
        .catch(function () { if (pairingWatch === watch) askLater(); });
    }
    askLater();
  }

  if (shell && shell.canSetupIMessage) {
    $("imessage-controls").hidden = false;
    $("pairing-code").textContent = code;
    $("imessage-connect").addEventListener("click", function () {
      post({ type: "setupIMessage", pairingCode: code, apiBase: location.origin + "/api" });
      showIMessageStatus("Setting up…", true);
      watchPairing();
    });
    $("imessage-disconnect").addEventListener("click", function () {
      stopWatchingPairing();
      post({ type: "disconnectIMessage" });
      showIMessageStatus("Not connected", false);
    });
  } else {
    $("imessage-unavailable").hidden = false;
    $("imessage-unavailable").textContent = shell
      ? "iMessage isn't available on this platform."
      : "Connect iMessage from the Pelko desktop app on a Mac.";
    $("imessage-status").textContent = "Unavailable";
  }

  // ---- Update manifest --------------------------------------------------

  $("publish-update").addEventListener("click", function () {
    fetch("/api/demo/publish", { method: "POST", cache: "no-store" })
      .then(function (response) { return response.json(); })
      .then(function (answer) {
        $("manifest-version").textContent = "latest desktop app: " + answer.latestDesktopVersion;
        $("publish-note").textContent = "published; choose Check for Updates";
      });
  });

  // ---- Service status -----------------------------------------------------

  // ---- Bench mode (pelko-demo --bench) ------------------------------------

  // A long chat for bench/compare-apps: asked through the event stream, the
  // page sends messages through the composer one after the other, each once
  // the reply before it has streamed in full, and tells the service when
  // the last reply has ended.
  function chat(replies, wordMs) {
    var sent = 0;
    wordDelayMs = wordMs > 0 ? wordMs : WORD_DELAY_MS;
    answerAtOnce.checked = false;
    function next() {
      if (sent === replies) {
        wordDelayMs = WORD_DELAY_MS;
        fetch("/bench/done", { method: "POST", body: JSON.stringify({ replies: replies }) });
        return;
      }
      sent += 1;
      input.value = "Bench message " + sent + " of " + replies;
      afterReply = next;
      send();
    }
    next();
  }

  function listenToBench() {
    var commands = new EventSource("/bench/commands");
    commands.onmessage = function (event) {
      var command = null;
      try { command = JSON.parse(event.data); } catch (e) { return; }
      if (command && command.chat > 0) chat(command.chat, command.wordMs);
    };
  }

  fetch("/api", { cache: "no-store" }).then(function (response) { return response.json(); }).then(function (api) {
    $("service-status").classList.add("online");
    $("service-status").lastChild.textContent = "Service online";
    if (api && api.latestDesktopVersion) $("manifest-version").textContent = "latest desktop app: " + api.latestDesktopVersion;
    // The desktop app on Linux reads a manifest of its own, naming a Debian package.
    if (api && api.linuxUpdateManifest && shell && shell.platform === "linux") $("link-manifest").href = api.linuxUpdateManifest;
    document.documentElement.dataset.ready = "true";
    if (api && api.bench === true) listenToBench();
  }).catch(function () {
    $("service-status").lastChild.textContent = "Service offline";
  });

  function greet() {
    addMessage("assistant", "Hi! I'm the Pelko demo assistant. Write something and press Ctrl+Enter — " +
      "I'll echo it back, streamed word by word. Every message can be read aloud.");
  }
  greet();
  addMessage("user", "What does the desktop app add to the web page?");
  addMessage("assistant", "Push-to-talk voice messages (Shift+Ctrl+Space), dictation into this box, downloads " +
    "saved straight to your Downloads folder, and update checks. On a Mac it can also connect iMessage.");
})();
