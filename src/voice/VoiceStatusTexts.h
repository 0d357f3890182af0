#pragma once

#include "platform/CoreGuard.h"

// Every text the voice status takes. The shell's window title looks at the
// prefixes "\u25CF", "Waiting", "Sending", "Speaking" and "Transcribing".
namespace pelko::voice_status {

inline constexpr const char* kReady = "Voice ready";
inline constexpr const char* kRecognizerUnavailable = "Speech recognizer unavailable";
inline constexpr const char* kMicrophoneFailed = "Couldn't start the microphone";
inline constexpr const char* kListeningStarted = "\u25CF Listening\u2026 (press \u21E7\u2318Space again to send)";
inline constexpr const char* kListening = "\u25CF Listening\u2026";
inline constexpr const char* kTranscriptPrefix = "\u25CF ";  // followed by the transcript so far
inline constexpr const char* kTranscribing = "Transcribing\u2026";
inline constexpr const char* kCancelled = "Cancelled";
inline constexpr const char* kNoSpeech = "No speech detected";
inline constexpr const char* kSendingPrefix = "Sending: ";  // followed by the transcript
inline constexpr const char* kSentRepliesOff = "Sent (voice replies off)";
inline constexpr const char* kWaitingForReply = "Waiting for the reply\u2026";
inline constexpr const char* kComposerUnreachable = "Couldn't reach the composer \u2014 click into a chat and retry";
inline constexpr const char* kSpeakingReply = "Speaking the reply\u2026";
inline constexpr const char* kReplyTimeout = "Reply took too long \u2014 press the message's speaker icon";
inline constexpr const char* kReplyFailed = "Reply ready \u2014 press the message's speaker icon to hear it";
inline constexpr const char* kMicrophoneNotAuthorized = "Microphone not authorized";
inline constexpr const char* kSpeechNotAuthorized = "Speech recognition not authorized";

}  // namespace pelko::voice_status
