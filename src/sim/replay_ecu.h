#pragma once
// A capture played back as an ECU: the wake-up burst at its captured time after
// the ignition goes on, then each request answered with what the captured ECU
// answered to that request at that point of the session, at the captured delay.
//
// A cursor runs through the captured requests: a request that matches the one
// at the cursor, or one a little further on (the program skipped a channel),
// is answered from there and moves the cursor past it. A request not found
// there is answered as the capture last answered it (or, failing that, as it
// answered it later); one the capture never holds gets no answer. The ECU
// hears only at the rate the capture had in force, and the adapter echoes only
// if the captured one did. Each ignition on plays the next opening of the port
// in the capture, round again after the last.

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "capture/captured_session.h"
#include "protocol/families.h"
#include "sim/simulated_ecu.h"

namespace velarin {

inline constexpr char kFamilyNoteKey[] = "family";

// The family's name as the window shows it ("15Rc"), for the capture's note.
std::string FamilyNoteValue(EcuFamily family);

class Replay : public std::enable_shared_from_this<Replay> {
 public:
  // Requests looked ahead of the cursor for a match: more than one frame.
  static constexpr size_t kLookAhead = 32;
  // Distinct notes kept; a long replay of a strange program must stay bounded.
  static constexpr size_t kMaxNotes = 200;

  explicit Replay(const Capture& capture);
  // nullptr with *error ("<path>: line 12: ...") for a file that is not a good capture.
  // A capture cut short is played up to its last whole row; its first note says so.
  static std::shared_ptr<Replay> Load(const std::string& path, std::string* error);

  // The family the capture names in its note, else the one its traffic shows
  // (a burst and 0x0B: 16m; a burst: 15m; the wake-up answer without a burst:
  // 15Rc; requests at 7812 from the start: P8); nullopt for an empty capture.
  std::optional<EcuFamily> family() const;
  const std::vector<CapturedSegment>& segments() const { return segments_; }

  // The ECU a host runs (SimulatedLine, PtyHost); keeps this replay alive.
  EcuFactory Factory();

  // What the replay did beyond the capture since the last call, oldest first
  // ("replay: 0x3A never captured; no answer"). Thread-safe.
  std::vector<std::string> TakeNotes();
  void AddNote(const std::string& text);

 private:
  std::vector<CapturedSegment> segments_;
  std::optional<std::string> family_note_;

  std::mutex mutex_;
  std::set<std::string> said_;
  std::vector<std::string> notes_;
};

}  // namespace velarin
